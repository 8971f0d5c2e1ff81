#include "platform/core/fileutils.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

thread_local int t_lastError = 0;

bool fail(int error)
{
    t_lastError = error;
    return false;
}

// Paths go to the system in its own 8-bit encoding; an empty path names nothing.
bool encode(const QString& path, QByteArray& out)
{
    if (path.isEmpty())
        return fail(ENOENT);
    out = QFile::encodeName(path);
    if (out.contains('\0'))
        return fail(EINVAL);
    return true;
}

} // namespace

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
