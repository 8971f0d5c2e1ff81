#pragma once
// Saving a whole file so that the target is either replaced completely or left
// exactly as it was.

#include <QString>
#include <cstdint>
#include <vector>

// Writes size bytes to path through a temporary file in the target's folder
// that is renamed over the target only after every byte reached the disk
// (each write checked, fsync before the rename). On any failure the temporary
// file is removed, the target is untouched and an EStreamError naming path is
// raised:
// - a target that exists and is not a regular file (a named pipe, a device)
//   is refused (EFileOpenError);
// - a write-protected target (no write bit, or not writable for this process)
//   is refused also for root (EFileOpenError);
// - a full disk or a file-size limit fails the write (EWriteError).
// A target reached through a symbolic link is replaced where the link points;
// the link stays. A replaced target keeps its permission bits and, where the
// process may set them, its owner and group; a new file gets 0666 less the
// umask.
void SaveFileAtomically(const QString& path, const uint8_t* data, int64_t size);

// The same for data held in several runs, written one after the other.
struct TByteSpan
{
    const uint8_t* Data = nullptr;
    int64_t Size = 0;
};
void SaveFileAtomically(const QString& path, const std::vector<TByteSpan>& spans);
