// Saving the data to a file: the backup step, an atomic write, and the
// document state afterwards.

#include "hexeditor/ex/mphexeditorex.h"
#include "hexeditor/ex/mphexstrings.h"

#include "platform/core/atomicsave.h"
#include "platform/core/exceptions.h"
#include "platform/core/fileutils.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Writes the data to path through the one atomic save path (a temporary
// file, every write checked, synced, renamed over the target); the data are
// written run by run, so data in pieces need no contiguous copy. False with
// the reason in error when anything fails (the target is then untouched).
bool WriteAtomically(const QString& path, const TMemoryStream& data, QString& error)
{
    std::vector<TByteSpan> spans;
    for (const auto& [bytes, size] : data.Spans())
        spans.push_back(TByteSpan{bytes, size});
    try {
        SaveFileAtomically(path, spans);
    } catch (const Exception& e) {
        error = e.Message();
        if (error.endsWith(QLatin1Char('.')))
            error.chop(1);
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
    if (!WriteAtomically(target, DataStorage(), error)) {
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
