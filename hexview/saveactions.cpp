// File > Save / Save As..., the modified mark in the title, and the
// Save/Discard/Cancel question on closing or opening another file.

#include "hexview/saveactions.h"

#include "hexview/hexviewwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

namespace hexview {

namespace {

QMessageBox::StandardButton AskWithMessageBox(HexViewWindow& window)
{
    const QString name = QFileInfo(window.Editor().FileName()).fileName();
    return QMessageBox::question(&window, QStringLiteral("hexview"),
                                 HexViewWindow::tr("%1 has unsaved changes. Save them?").arg(name),
                                 QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                 QMessageBox::Save);
}

QString AskWithFileDialog(HexViewWindow& window)
{
    TMPHexEditorEx& editor = window.Editor();
    const QString start = editor.HasFile() ? editor.FileName() : QString();
    return QFileDialog::getSaveFileName(&window, HexViewWindow::tr("Save As"), start,
                                        HexViewWindow::tr("All files (*);;Firmware images (*.bin)"));
}

// Asks before the window closes with unsaved changes.
class CloseGuard : public QObject
{
public:
    explicit CloseGuard(HexViewWindow& window) : QObject(&window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_window && event->type() == QEvent::Close && !ConfirmDiscardChanges(m_window)) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    HexViewWindow& m_window;
};

// The actions go above the separator that precedes Quit.
QAction* InsertionPoint(QMenu* file)
{
    const QList<QAction*> actions = file->actions();
    for (qsizetype i = 0; i < actions.size(); ++i) {
        if (actions[i]->objectName() == QStringLiteral("actionQuit"))
            return i > 0 && actions[i - 1]->isSeparator() ? actions[i - 1] : actions[i];
    }
    return nullptr;
}

} // namespace

std::function<QMessageBox::StandardButton(HexViewWindow&)> AskToSaveChanges = AskWithMessageBox;
std::function<QString(HexViewWindow&)> AskSaveFileName = AskWithFileDialog;

bool SaveDocumentAs(HexViewWindow& window, const QString& path)
{
    if (path.isEmpty())
        return false;
    return window.RunGuarded([&] { window.Editor().SaveToFile(path); });
}

bool SaveDocument(HexViewWindow& window)
{
    TMPHexEditorEx& editor = window.Editor();
    if (!editor.HasFile())
        return SaveDocumentAs(window, AskSaveFileName(window));
    return window.RunGuarded([&] { editor.SaveToFile(); });
}

bool ConfirmDiscardChanges(HexViewWindow& window)
{
    if (!window.Editor().Modified())
        return true;
    switch (AskToSaveChanges(window)) {
    case QMessageBox::Save:
        return SaveDocument(window);
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void InstallSaveActions(HexViewWindow& window)
{
    QMenu* file = window.FileMenu();
    QAction* before = InsertionPoint(file);
    QAction* save = new QAction(HexViewWindow::tr("&Save"), file);
    save->setObjectName(QStringLiteral("actionSave"));
    save->setShortcut(QKeySequence::Save);
    QAction* saveAs = new QAction(HexViewWindow::tr("Save &As..."), file);
    saveAs->setObjectName(QStringLiteral("actionSaveAs"));
    // Ctrl+Shift+S on every desktop (the platform's SaveAs key can be none).
    saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->insertSeparator(before);
    file->insertAction(before, save);
    file->insertAction(before, saveAs);
    QObject::connect(save, &QAction::triggered, &window, [&window] { SaveDocument(window); });
    QObject::connect(saveAs, &QAction::triggered, &window,
                     [&window] { SaveDocumentAs(window, AskSaveFileName(window)); });

    window.installEventFilter(new CloseGuard(window));
    window.CanReplaceDocument = [&window] { return ConfirmDiscardChanges(window); };
}

} // namespace hexview
