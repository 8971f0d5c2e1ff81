#include "platform/core/fileutils.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

thread_local int t_lastError = 0;

bool fail(int error)
{
    t_lastError = error;
    return false;
}

bool encode(const QString& path, QByteArray& out)
{
    int error = 0;
    if (!EncodeFileName(path, &out, &error))
        return fail(error);
    return true;
}

} // namespace

bool EncodeFileName(const QString& path, QByteArray* out, int* error)
{
    out->clear();
    auto refuse = [&](int code) {
        out->clear();
        if (error != nullptr)
            *error = code;
        return false;
    };
    if (path.isEmpty())
        return refuse(ENOENT);
    *out = QFile::encodeName(path);
    if (out->contains('\0'))
        return refuse(EINVAL);
    // A lone surrogate cannot be encoded: it would become another character.
    if (QFile::decodeName(*out) != path)
        return refuse(EILSEQ);
    return true;
}

bool DecodeFileNameExactly(const QByteArray& raw, QString* out)
{
    const QString name = QFile::decodeName(raw);
    if (QFile::encodeName(name) != raw) {
        out->clear();
        return false;
    }
    *out = name;
    return true;
}

bool FileExists(const QString& path)
{
    QByteArray name;
    if (!encode(path, name))
        return false;
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return fail(errno);
    // Anything that exists counts, except a directory: it cannot be read as a file.
    if (S_ISDIR(st.st_mode))
        return fail(EISDIR);
    return true;
}

bool DeleteFileAt(const QString& path)
{
    QByteArray name;
    if (!encode(path, name))
        return false;
    // unlink refuses directories itself (EISDIR on Linux).
    if (::unlink(name.constData()) != 0)
        return fail(errno);
    return true;
}

bool RenameFileAt(const QString& from, const QString& to)
{
    QByteArray source;
    QByteArray target;
    if (!encode(from, source) || !encode(to, target))
        return false;
    // rename(2) replaces an existing target in one step: at every moment the
    // target name refers either to the old file or to the new one.
    if (::rename(source.constData(), target.constData()) != 0)
        return fail(errno);
    return true;
}

int64_t FileSizeOf(const QString& path)
{
    QByteArray name;
    if (!encode(path, name))
        return -1;
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        fail(errno);
        return -1;
    }
    if (S_ISDIR(st.st_mode)) {
        fail(EISDIR);
        return -1;
    }
    return static_cast<int64_t>(st.st_size);
}

int LastFileError()
{
    return t_lastError;
}

bool IsSpecialFile(const QString& path)
{
    QByteArray name;
    if (!encode(path, name))
        return false;
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return fail(errno);
    return !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

bool SameFile(const QString& a, const QString& b)
{
    QByteArray first;
    QByteArray second;
    if (!encode(a, first) || !encode(b, second))
        return false;
    struct stat sa {};
    struct stat sb {};
    if (::stat(first.constData(), &sa) != 0 || ::stat(second.constData(), &sb) != 0)
        return fail(errno);
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool CanWriteExclusively(const QString& path)
{
    QByteArray name;
    if (!encode(path, name))
        return false;
    int fd;
    do
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return fail(errno);
    struct TCloser
    {
        int fd;
        ~TCloser() { ::close(fd); }
    } closer{fd};

    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return fail(errno);
    if (!S_ISREG(st.st_mode))
        return fail(EINVAL);
    // Without any write bit a file is write-protected, also for root.
    if ((st.st_mode & 0222) == 0)
        return fail(EACCES);
    // The permission an open for writing would be checked against, also a
    // read-only file system (EROFS) or an immutable file (EPERM).
    if (::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0)
        return fail(errno);

    // Another holder of a flock lock, shared or exclusive, keeps exclusive
    // access away. The lock works on a read-only descriptor and goes with it.
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0 && errno == EWOULDBLOCK)
        return fail(EBUSY);

    // A POSIX record lock of another process (or open file) anywhere in the
    // file. Where the file system keeps no such locks the query fails: go on.
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0;
    probe.l_pid = 0;
    if (::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK)
        return fail(EBUSY);
    return true;
}
