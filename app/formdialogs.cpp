#include "app/formdialogs.h"

#include "app/apperrors.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>

namespace {

// Message texts keep the line breaks they were raised with ("\r\n"); a Qt box
// wants plain "\n".
QString DisplayText(const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

// Ctrl+C in a box copies its caption, text and buttons as plain text, so that
// an error text (a path, say) can be pasted elsewhere; the box's label itself
// cannot be selected.
void CopyOnCtrlC(QMessageBox& box)
{
    auto* copy = new QShortcut(QKeySequence::Copy, &box);
    QObject::connect(copy, &QShortcut::activated, &box, [&box] {
        const QString rule = QStringLiteral("---------------------------\n");
        QStringList buttons;
        for (const QAbstractButton* button : box.buttons())
            buttons << button->text();
        QGuiApplication::clipboard()->setText(rule + box.windowTitle() + QLatin1Char('\n') + rule + box.text() +
                                              QLatin1Char('\n') + rule + buttons.join(QStringLiteral("   ")) +
                                              QLatin1Char('\n') + rule);
    });
}

void ShowBox(QWidget* owner, QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    QMessageBox box(icon, caption, DisplayText(text), QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    CopyOnCtrlC(box);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

} // namespace

TQtFormDialogs::TQtFormDialogs(QWidget* owner) : m_owner(owner) {}

TQtFormDialogs::~TQtFormDialogs()
{
    delete m_progress;
}

bool TQtFormDialogs::Execute(TFileDialog& dialog)
{
    const bool open = dialog.DialogKind == TFileDialog::dkOpen;
    QFileDialog box(m_owner);
    box.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    box.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The save dialogs overwrite without asking, as the commands expect.
    if (!open)
        box.setOption(QFileDialog::DontConfirmOverwrite, true);
    box.setNameFilter(dialog.Filter);
    if (!dialog.FileName.isEmpty()) {
        const QFileInfo last(dialog.FileName);
        box.setDirectory(last.absolutePath());
        box.selectFile(last.fileName());
    }
    if (box.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = box.selectedFiles();
    if (chosen.isEmpty())
        return false;
    dialog.FileName = chosen.first();
    return true;
}

bool TQtFormDialogs::OpenFile(TFileDialog& dialog)
{
    return Execute(dialog);
}

bool TQtFormDialogs::SaveFile(TFileDialog& dialog)
{
    return Execute(dialog);
}

void TQtFormDialogs::Information(const QString& text)
{
    ShowBox(m_owner, QMessageBox::Information, QStringLiteral("Information"), text);
}

void TQtFormDialogs::Error(const QString& text)
{
    ShowBox(m_owner, QMessageBox::Critical, QStringLiteral("Erreur"), text);
}

void TQtFormDialogs::Plain(const QString& caption, const QString& text)
{
    ShowBox(m_owner, QMessageBox::NoIcon, caption, text);
}

void TQtFormDialogs::UnhandledError(const QString& text)
{
    ShowBox(m_owner, QMessageBox::Critical, editboot::ApplicationTitle(), text);
}

bool TQtFormDialogs::Question(const QString& text)
{
    QMessageBox box(QMessageBox::Question, editboot::ApplicationTitle(), DisplayText(text), QMessageBox::NoButton,
                    m_owner);
    box.setTextFormat(Qt::PlainText);
    CopyOnCtrlC(box);
    QPushButton* yes = box.addButton(QStringLiteral("Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

bool TQtFormDialogs::LoadProgress(const QString& fileName, int percent)
{
    if (!m_progress) {
        // Shown only when the load is expected to take longer than the delay.
        m_progress = new QProgressDialog(QStringLiteral("Loading %1").arg(QFileInfo(fileName).fileName()),
                                         QStringLiteral("Cancel"), 0, 100, m_owner);
        m_progress->setWindowTitle(editboot::ApplicationTitle());
        m_progress->setWindowModality(Qt::WindowModal);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumDuration(ProgressDelayMs);
        m_progress->setValue(0);
    }
    m_progress->setValue(percent);
    return m_progress->wasCanceled();
}

void TQtFormDialogs::LoadFinished()
{
    delete m_progress;
    m_progress = nullptr;
}
