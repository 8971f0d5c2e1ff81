// Backup before overwriting: the document's file is renamed to its backup
// name right before a save writes it anew.

#include "hexeditor/ex/mphexeditorex.h"
#include "hexeditor/ex/mphexstrings.h"

#include "platform/core/exceptions.h"
#include "platform/core/fileutils.h"

void TMPHexEditorEx::PrepareFileOverwrite()
{
    TCustomMPHexEditor::PrepareFileOverwrite();
    if (!m_createBackup || !Modified())
        return;
    // An empty extension would name the backup after the document itself,
    // and removing the "old backup" would then remove the document.
    if (m_backupExtension.isEmpty())
        return;
    if (!FileExists(FileName()))
        return;
    const QString backup = BackupFileName();
    if (FileExists(backup) && !DeleteFileAt(backup)) {
        throw EMPHexEditor(MPHExStrings::Text(MPHExStrings::CannotDeleteBackup)
                               .arg(backup, SysErrorMessage(LastFileError())));
    }
    if (!RenameFileAt(FileName(), backup)) {
        throw EMPHexEditor(MPHExStrings::Text(MPHExStrings::CannotCreateBackup)
                               .arg(backup, SysErrorMessage(LastFileError())));
    }
}

void TMPHexEditorEx::WriteBuffer(const void* buffer, int32_t index, int32_t count)
{
    // The base write, with Modified set before the change notification so
    // that OnChange handlers (a window's title) see the document modified.
    DataStorage().WriteBufferAt(buffer, index, count);
    SetModified(true);
    DataWritten(index, count);
    Changed();
}
