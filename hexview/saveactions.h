#pragma once
// File > Save and Save As..., and the question about unsaved changes before
// the document is closed or replaced.
//
// Saving goes through TMPHexEditorEx::SaveToFile with AtomicBackup on: the
// read-only refusal, then the new contents in a temporary file beside the
// file the name leads to (links followed), then the backup (FileName +
// BackupExtension, a second name of the old file) and the rename. The name
// always holds the old or the new file. A file changed on disk since it was
// loaded or saved here is not overwritten without asking (documentwatch.h).
// A backup that cannot be made is reported with the offer to save without
// one (this save only).

#include <QMessageBox>
#include <functional>

namespace hexview {

class HexViewWindow;

// Saves over the document's file (Save As... for a document without one).
// Errors are shown; true on success.
bool SaveDocument(HexViewWindow& window);
// Saves to path and makes it the document's file. Errors are shown.
bool SaveDocumentAs(HexViewWindow& window, const QString& path);

// With unsaved changes, asks whether to save them: Save (and go on only if
// the save succeeded), Discard (go on) or Cancel (stay). True to go on.
bool ConfirmDiscardChanges(HexViewWindow& window);

// The question's answer; tests replace it. The default shows a message box.
extern std::function<QMessageBox::StandardButton(HexViewWindow&)> AskToSaveChanges;
// The file name for Save As...; empty when cancelled. Tests replace it.
extern std::function<QString(HexViewWindow&)> AskSaveFileName;
// The backup could not be made (reason is the editor's message): true to
// save without one. Tests replace it.
extern std::function<bool(HexViewWindow&, const QString& reason)> AskSaveWithoutBackup;

void InstallSaveActions(HexViewWindow& window);

} // namespace hexview
