#pragma once
// File > Save and Save As..., and the question about unsaved changes before
// the document is closed or replaced.
//
// Saving goes through TMPHexEditorEx::SaveToFile: the read-only refusal and
// the backup (FileName + BackupExtension) come first, then an atomic write;
// a failed write leaves the previous content under the document's name.

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

void InstallSaveActions(HexViewWindow& window);

} // namespace hexview
