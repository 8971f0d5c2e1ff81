#include "platform/core/filestamp.h"

#include "platform/core/fileutils.h"

#include <sys/stat.h>

namespace {

TFileStamp StampOf(const struct stat& st)
{
    TFileStamp stamp;
    stamp.Exists = true;
    stamp.Device = static_cast<uint64_t>(st.st_dev);
    stamp.Inode = static_cast<uint64_t>(st.st_ino);
    stamp.Size = static_cast<int64_t>(st.st_size);
    stamp.MtimeSec = static_cast<int64_t>(st.st_mtim.tv_sec);
    stamp.MtimeNsec = static_cast<int64_t>(st.st_mtim.tv_nsec);
    return stamp;
}

} // namespace

TFileStamp FileStampOf(const QString& path)
{
    QByteArray name;
    int error = 0;
    struct stat st {};
    if (!EncodeFileName(path, &name, &error) || ::stat(name.constData(), &st) != 0)
        return {};
    return StampOf(st);
}

TFileStamp FileStampOfHandle(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return {};
    return StampOf(st);
}
