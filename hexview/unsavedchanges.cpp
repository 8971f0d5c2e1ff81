// The Discard / Cancel question for unsaved changes.

#include "hexview/unsavedchanges.h"

#include "hexview/hexviewwindow.h"

#include <QCloseEvent>
#include <QFileInfo>

namespace hexview {

TUnsavedChangesGuard::TUnsavedChangesGuard(HexViewWindow& window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("unsavedChangesGuard"));
    window.installEventFilter(this);
}

bool TUnsavedChangesGuard::ConfirmDiscard()
{
    TMPHexEditorEx& editor = m_window.Editor();
    if (!editor.Modified())
        return true;
    const QString name = editor.HasFile() ? QFileInfo(editor.FileName()).fileName() : editor.FileName();
    const QString text = HexViewWindow::tr("%1 has unsaved changes. Discard them?").arg(name);
    QMessageBox::StandardButton answer;
    if (Asker) {
        answer = Asker(text);
    } else {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("hexview"), text,
                        QMessageBox::Discard | QMessageBox::Cancel, &m_window);
        box.setDefaultButton(QMessageBox::Cancel);
        answer = QMessageBox::StandardButton(box.exec());
    }
    return answer == QMessageBox::Discard;
}

bool TUnsavedChangesGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::Close && !ConfirmDiscard()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

TUnsavedChangesGuard* UnsavedChangesGuard(HexViewWindow& window)
{
    return window.findChild<TUnsavedChangesGuard*>(QStringLiteral("unsavedChangesGuard"), Qt::FindDirectChildrenOnly);
}

bool ConfirmDiscardChanges(HexViewWindow& window)
{
    TUnsavedChangesGuard* guard = UnsavedChangesGuard(window);
    return !guard || guard->ConfirmDiscard();
}

void InstallUnsavedChangesGuard(HexViewWindow& window)
{
    new TUnsavedChangesGuard(window);
}

} // namespace hexview
