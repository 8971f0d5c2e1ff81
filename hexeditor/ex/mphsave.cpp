// Saving the data to a file: the backup step, an atomic write, and the
// document state afterwards. Every write goes through SaveFileAtomically.

#include "hexeditor/ex/mphexeditorex.h"
#include "hexeditor/ex/mphexstrings.h"

#include "platform/core/atomicsave.h"
#include "platform/core/backupfile.h"
#include "platform/core/exceptions.h"
#include "platform/core/fileutils.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace {

bool SamePath(const QString& a, const QString& b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

// The editor's text for a backup that was not made.
EMPHBackupError BackupErrorText(const EBackupError& e)
{
    const char* text = e.Step() == EBackupError::bsRemovePrevious ? MPHExStrings::CannotDeleteBackup
                                                                   : MPHExStrings::CannotCreateBackup;
    return EMPHBackupError(MPHExStrings::Text(text).arg(e.BackupName(), e.Reason()));
}

QString FolderOf(const QString& path)
{
    return QFileInfo(path).absolutePath();
}

} // namespace

bool TMPHexEditorEx::WantsBackup() const
{
    return m_createBackup && Modified() && !m_backupExtension.isEmpty();
}

void TMPHexEditorEx::WriteDataTo(const QString& target, TAtomicSaveOptions& options)
{
    TFileStamp written;
    options.Written = &written;
    TMPHMemoryStream& data = DataStorage();
    // Data still read from their file on demand must not be read from a
    // file that is being rewritten in place: they come into memory first.
    if (data.DemandFile())
        options.BeforeWriteInPlace = [&data] { data.Memory(); };
    try {
        // Run by run: data held in pieces need no contiguous copy, and data
        // read on demand are read while they are written (from the file
        // opened, which the atomic replace leaves as it is).
        SaveFileAtomically(
            target, [&data](const TRunWriter& write) { data.ForEachRun(write); }, options);
    } catch (const EBackupError& e) {
        throw BackupErrorText(e);
    } catch (const EStreamError& e) {
        throw EFileOpenError(MPHExStrings::Text(MPHExStrings::CannotSave).arg(target, e.Message()));
    }
    m_savedFileStamp = written;
}

// The described order: the current file is renamed to the backup, then the
// name is written anew (put back when the write fails).
void TMPHexEditorEx::SaveRenamingToBackup(const QString& target)
{
    const QString backup = BackupFileName();
    const bool existed = FileExists(FileName());
    PrepareFileOverwrite();
    const bool backedUp = existed && !FileExists(FileName()) && FileExists(backup);
    TAtomicSaveOptions options;
    try {
        WriteDataTo(target, options);
    } catch (...) {
        // The document's file must not be lost: put the backup back.
        if (backedUp)
            RenameFileAt(backup, FileName());
        throw;
    }
    if (backedUp)
        QFile::setPermissions(target, QFile::permissions(backup));
}

// The new contents are complete on disk before the backup takes the old
// ones and before they take the name.
void TMPHexEditorEx::SaveKeepingTheName(const QString& target)
{
    TCustomMPHexEditor::PrepareFileOverwrite(); // the read-only refusal
    TAtomicSaveOptions options;
    if (WantsBackup()) {
        const QString extension = m_backupExtension;
        options.BeforeReplace = [extension](const QString& resolved) {
            ReplaceBackupOf(resolved, resolved + extension);
        };
        // Without a writable folder neither the temporary file nor the
        // backup can be made: say so as the backup's failure, which the
        // user may answer by saving without one.
        const QString resolved = QFileInfo(target).canonicalFilePath();
        if (!resolved.isEmpty() && !QFileInfo(FolderOf(resolved)).isWritable())
            throw BackupErrorText(EBackupError(EBackupError::bsCreate, resolved + extension,
                                               SysErrorMessage(EACCES)));
    } else {
        options.InPlaceWhenFolderReadOnly = true;
    }
    WriteDataTo(target, options);
}

void TMPHexEditorEx::SaveToFile(const QString& fileName)
{
    const QString target = fileName.isEmpty() ? FileName() : fileName;
    if (!SamePath(target, FileName())) {
        TAtomicSaveOptions options;
        WriteDataTo(target, options);
    } else if (m_atomicBackup) {
        SaveKeepingTheName(target);
    } else {
        SaveRenamingToBackup(target);
    }
    MarkSaved(target);
    viewport()->update();
    Changed();
}
