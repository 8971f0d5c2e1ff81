#include "platform/core/backupfile.h"

#include "platform/core/fileutils.h"

#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kCopyChunk = 1 << 20;

QString BackupText(const QString& name, const QString& reason)
{
    return QStringLiteral("Cannot create backup %1. (%2)").arg(name, reason);
}

QByteArray TemporaryBeside(const QByteArray& name)
{
    return name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
}

// Removes a file when it goes out of scope unless released.
struct TRemoveOnExit
{
    ~TRemoveOnExit()
    {
        if (!name.isEmpty())
            ::unlink(name.constData());
    }
    QByteArray name;
};

// Writes all of fd `from` into a new file `to` (created exclusively) with
// mode; the errno of the failing call, 0 on success.
int CopyInto(int from, const QByteArray& to, mode_t mode)
{
    const int out = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
    if (out < 0)
        return errno;
    int error = 0;
    std::string buffer(kCopyChunk, '\0');
    for (;;) {
        const ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        for (ssize_t done = 0; done < n && !error;) {
            const ssize_t w = ::write(out, buffer.data() + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            error = w < 0 ? errno : (w == 0 ? ENOSPC : 0);
            done += w > 0 ? w : 0;
        }
        if (error)
            break;
    }
    if (!error && (::fchmod(out, mode & 07777) != 0 || ::fsync(out) != 0))
        error = errno;
    if (::close(out) != 0 && !error)
        error = errno;
    return error;
}

// The new backup under a temporary name: a hard link, else a copy.
int MakeSecondName(const QByteArray& target, const QByteArray& temp)
{
    if (::link(target.constData(), temp.constData()) == 0)
        return 0;
    const int linkError = errno;
    if (linkError != EPERM && linkError != EOPNOTSUPP && linkError != EMLINK && linkError != ENOSYS &&
        linkError != EXDEV)
        return linkError;
    const int in = ::open(target.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (in < 0)
        return errno;
    struct stat st {};
    int error = ::fstat(in, &st) != 0 ? errno : (S_ISREG(st.st_mode) ? 0 : EINVAL);
    if (!error)
        error = CopyInto(in, temp, st.st_mode);
    ::close(in);
    return error;
}

void CheckPreviousBackup(const QByteArray& name, const QString& backup)
{
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return; // none (or unreachable: the rename will say so)
    if (!S_ISREG(st.st_mode))
        throw EBackupError(EBackupError::bsRemovePrevious, backup, QStringLiteral("It is not a regular file"));
    if ((st.st_mode & 0222) == 0)
        throw EBackupError(EBackupError::bsRemovePrevious, backup, QStringLiteral("The file is write-protected"));
}

} // namespace

EBackupError::EBackupError(TStep step, QString backupName, QString reason)
    : EStreamError(BackupText(backupName, reason)), m_step(step), m_backupName(std::move(backupName)),
      m_reason(std::move(reason))
{
}

void ReplaceBackupOf(const QString& target, const QString& backup)
{
    QByteArray from;
    QByteArray to;
    int error = 0;
    if (!EncodeFileName(target, &from, &error) || !EncodeFileName(backup, &to, &error))
        throw EBackupError(EBackupError::bsCreate, backup, SysErrorMessage(error));
    struct stat st {};
    if (::stat(from.constData(), &st) != 0)
        return;
    CheckPreviousBackup(to, backup);
    struct stat previous {};
    if (::stat(to.constData(), &previous) == 0 && previous.st_dev == st.st_dev && previous.st_ino == st.st_ino)
        return; // already a second name of the current contents

    TRemoveOnExit temp;
    temp.name = TemporaryBeside(to);
    if ((error = MakeSecondName(from, temp.name)) != 0) {
        // A failed copy may have created the file: it goes with temp; a
        // name that was taken already is not ours to remove.
        if (error == EEXIST)
            temp.name.clear();
        throw EBackupError(EBackupError::bsCreate, backup, SysErrorMessage(error));
    }
    if (::rename(temp.name.constData(), to.constData()) != 0)
        throw EBackupError(EBackupError::bsCreate, backup, SysErrorMessage(errno));
    temp.name.clear();
}
