// Saving the data to a file: the backup step, an atomic write, and the
// document state afterwards.

#include "hexeditor/ex/mphexeditorex.h"
#include "hexeditor/ex/mphexstrings.h"

#include "platform/core/exceptions.h"
#include "platform/core/fileutils.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr qint64 WriteChunk = 1 << 20;

// Writes data to path through a temporary file renamed into place; false
// with the reason in error when anything fails (the target is then untouched).
bool WriteAtomically(const QString& path, const uint8_t* data, qint64 size, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    for (qint64 done = 0; done < size;) {
        const qint64 chunk = qMin(WriteChunk, size - done);
        const qint64 written = file.write(reinterpret_cast<const char*>(data) + done, chunk);
        if (written <= 0) {
            error = file.errorString();
            file.cancelWriting();
            return false;
        }
        done += written;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool SamePath(const QString& a, const QString& b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

void TMPHexEditorEx::SaveToFile(const QString& fileName)
{
    const QString target = fileName.isEmpty() ? m_fileName : fileName;
    const bool overDocument = SamePath(target, m_fileName);
    bool backedUp = false;
    const QString backup = BackupFileName();
    if (overDocument) {
        const bool existed = FileExists(m_fileName);
        PrepareFileOverwrite();
        backedUp = existed && !FileExists(m_fileName) && FileExists(backup);
    }
    QString error;
    if (!WriteAtomically(target, DataStorage().Memory(), DataSize(), error)) {
        // The document's file must not be lost: put the backup back.
        if (backedUp)
            RenameFileAt(backup, m_fileName);
        throw EFileOpenError(MPHExStrings::Text(MPHExStrings::CannotSave).arg(target, error));
    }
    if (backedUp)
        QFile::setPermissions(target, QFile::permissions(backup));
    m_fileName = target;
    m_hasFile = true;
    m_readOnlyFile = false;
    m_modified = false;
    m_changedBytes.clear();
    viewport()->update();
    Changed();
}
