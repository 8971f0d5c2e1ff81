// File > Save / Save As..., the modified mark in the title, and the
// Save/Discard/Cancel question on closing or opening another file.

#include "hexview/saveactions.h"

#include "hexview/documentwatch.h"
#include "hexview/hexviewwindow.h"
#include "hexview/menuactions.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>

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

bool AskWithoutBackupBox(HexViewWindow& window, const QString& reason)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("hexview"),
                    HexViewWindow::tr("%1\n\nThe file can still be saved without a backup.").arg(reason),
                    QMessageBox::NoButton, &window);
    QPushButton* without = box.addButton(HexViewWindow::tr("Save without backup"), QMessageBox::AcceptRole);
    box.setDefaultButton(box.addButton(QMessageBox::Cancel));
    box.exec();
    return box.clickedButton() == without;
}

// Saves over the document's own file with CreateBackup off, restored after.
void SaveWithoutBackup(TMPHexEditorEx& editor)
{
    struct TRestore
    {
        TMPHexEditorEx& editor;
        bool value;
        ~TRestore() { editor.SetCreateBackup(value); }
    } restore{editor, editor.CreateBackup()};
    editor.SetCreateBackup(false);
    editor.SaveToFile();
}

// The save over the document's file; a backup that cannot be made is
// offered to be left out for this save. True when saved.
bool SaveOverDocument(HexViewWindow& window)
{
    TMPHexEditorEx& editor = window.Editor();
    QString backupProblem;
    const bool saved = window.RunGuarded([&] {
        try {
            editor.SaveToFile();
        } catch (const EMPHBackupError& e) {
            backupProblem = e.Message();
        }
    });
    if (!saved || backupProblem.isEmpty())
        return saved;
    if (!AskSaveWithoutBackup(window, backupProblem))
        return false;
    return window.RunGuarded([&] { SaveWithoutBackup(editor); });
}

// A file changed on disk since it was loaded or saved here is not
// overwritten without asking. True to go on with the save.
bool MayOverwrite(HexViewWindow& window, TDocumentWatch* watch)
{
    if (!watch || !watch->ChangedOnDisk())
        return true;
    const QString path = window.Editor().FileName();
    const bool exists = QFileInfo::exists(path);
    const QString name = QFileInfo(path).fileName();
    const QString text =
        exists ? HexViewWindow::tr("%1 was changed on disk by another program since it was opened or saved "
                                   "here. Overwrite those changes with what is shown, reload the file (your "
                                   "unsaved changes are lost), or cancel?")
                     .arg(name)
               : HexViewWindow::tr("%1 was removed or renamed on disk since it was opened or saved here. "
                                   "Save what is shown under its name again?")
                     .arg(name);
    switch (AskBeforeOverwritingChangedFile(window, text, exists)) {
    case TChangedFileAnswer::cfOverwrite:
        return true;
    case TChangedFileAnswer::cfReload:
        window.ReloadDocument();
        return false;
    default:
        return false;
    }
}

// Asks before the window closes, for each tab with unsaved changes.
class CloseGuard : public QObject
{
public:
    explicit CloseGuard(HexViewWindow& window) : QObject(&window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_window && event->type() == QEvent::Close && !m_window.ConfirmCloseAll()) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    HexViewWindow& m_window;
};

} // namespace

std::function<QMessageBox::StandardButton(HexViewWindow&)> AskToSaveChanges = AskWithMessageBox;
std::function<QString(HexViewWindow&)> AskSaveFileName = AskWithFileDialog;
std::function<bool(HexViewWindow&, const QString&)> AskSaveWithoutBackup = AskWithoutBackupBox;

bool SaveDocumentAs(HexViewWindow& window, const QString& path)
{
    if (path.isEmpty())
        return false;
    TMPHexEditorEx& editor = window.Editor();
    // Save As... onto the document's own name is a Save.
    if (editor.HasFile() && QFileInfo(path).absoluteFilePath() == QFileInfo(editor.FileName()).absoluteFilePath())
        return SaveDocument(window);
    // Two tabs never hold the same file: the other one would go on showing
    // (and later save) what this save replaced.
    const TDocumentTab* other = window.DocumentOfFile(path);
    if (other && !window.IsCurrentDocument(*other)) {
        window.ShowError(HexViewWindow::tr("%1 is open in another tab. Close it first.").arg(other->Name()));
        return false;
    }
    const bool saved = window.RunGuarded([&] { editor.SaveToFile(path); });
    if (saved && TDocumentWatch::Of(window))
        TDocumentWatch::Of(window)->Saved(editor.SavedFileStamp());
    return saved;
}

bool SaveDocument(HexViewWindow& window)
{
    TMPHexEditorEx& editor = window.Editor();
    if (!editor.HasFile())
        return SaveDocumentAs(window, AskSaveFileName(window));
    TDocumentWatch* watch = TDocumentWatch::Of(window);
    if (!MayOverwrite(window, watch))
        return false;
    const bool saved = SaveOverDocument(window);
    if (saved && watch)
        watch->Saved(editor.SavedFileStamp());
    return saved;
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
    // Saves never leave the document's name without a file, keep links and
    // back up the file a link leads to.
    window.OnEveryEditor([](TMPHexEditorEx& editor) {
        editor.SetAtomicBackup(true);
        // Large files open at once: their bytes are read as they are shown
        // (each tab's document watch tells when the file changes under them).
        editor.SetOpenOnDemand(true);
    });
    QMenu* file = window.FileMenu();
    QAction* before = BeforeQuit(file);
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
