#pragma once
// Keeping the previous version of a file under a backup name without the
// file ever leaving its own name.

#include "platform/core/exceptions.h"

#include <QString>

// Why a backup was not made. The target is unchanged in every case; an
// earlier backup is kept unless the new one took its place.
class EBackupError : public EStreamError
{
public:
    enum TStep {
        bsRemovePrevious, // an earlier backup is in the way and may not be replaced
        bsCreate          // the new backup could not be made
    };
    EBackupError(TStep step, QString backupName, QString reason);
    TStep Step() const { return m_step; }
    const QString& BackupName() const { return m_backupName; }
    // The system's text (or the rule that refused), without a full stop.
    const QString& Reason() const { return m_reason; }

private:
    TStep m_step;
    QString m_backupName;
    QString m_reason;
};

// Makes backup a second name of the file target (a hard link), replacing an
// earlier backup in one rename, so that there is a backup at every moment
// and target is never touched. Where the file system has no hard links, the
// backup is a copy written to a temporary file, synced and renamed the same
// way (permission bits of target). An earlier backup that is not a regular
// file, or is write-protected (no write bit, also for root), is not replaced
// (bsRemovePrevious). A target that does not exist needs no backup: nothing
// happens.
void ReplaceBackupOf(const QString& target, const QString& backup);
