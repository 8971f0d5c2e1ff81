#pragma once
// What identifies the contents of a file on disk at one moment: its device
// and inode, size and modification time. Two equal stamps mean nobody has
// replaced or rewritten the file in between (as far as the system records).

#include <QString>
#include <cstdint>

struct TFileStamp
{
    bool Exists = false;
    uint64_t Device = 0;
    uint64_t Inode = 0;
    int64_t Size = 0;
    int64_t MtimeSec = 0;
    int64_t MtimeNsec = 0;

    bool operator==(const TFileStamp&) const = default;
};

// The stamp of the file path names, symbolic links followed; Exists is false
// when there is no such file (or it cannot be looked at).
TFileStamp FileStampOf(const QString& path);
// The stamp of an open file.
TFileStamp FileStampOfHandle(int fd);
