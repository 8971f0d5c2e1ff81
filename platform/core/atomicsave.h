#pragma once
// Saving a whole file so that the target is either replaced completely or left
// exactly as it was.

#include "platform/core/filestamp.h"

#include <QString>
#include <cstdint>
#include <functional>
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

// The points a save passes, in order (for tests that stop a save at each).
enum class TAtomicSaveStep { asTemporaryCreated, asDataWritten, asSynced, asBeforeReplace, asReplaced };

struct TAtomicSaveOptions
{
    // Run when an existing file is about to be replaced: after the new
    // contents are complete, synced and closed in the temporary file, right
    // before the rename. It gets the name the data go to (links followed).
    // Whatever it does happens while the target still holds its old
    // contents; an exception from it stops the save (the temporary file is
    // removed, the target stays as it was) and passes on to the caller.
    std::function<void(const QString& target)> BeforeReplace;
    // Called at each step (a test seam); may throw or end the process.
    std::function<void(TAtomicSaveStep)> StepReached;
    // Receives the identity of the file written (taken from the temporary
    // file before it gets the name, so nothing written by others after the
    // rename can be mistaken for it).
    TFileStamp* Written = nullptr;
    // When the temporary file cannot be created because the folder may not
    // be written (a writable file in a read-only folder), rewrite the
    // existing file in place instead: same checks, same inode, mode and
    // owner, but a crash during the write leaves it partly written. Off: such
    // a save fails. BeforeReplace does not run for an in-place write.
    bool InPlaceWhenFolderReadOnly = false;
    // Run before such an in-place rewrite starts, after its checks: a
    // caller whose data are still read from that very file brings them
    // into memory here (the rewrite would otherwise read what it writes).
    std::function<void()> BeforeWriteInPlace;
};

// The save above, with the extra steps of options.
void SaveFileAtomically(const QString& path, const uint8_t* data, int64_t size, const TAtomicSaveOptions& options);

// The same for data held in several runs, written one after the other.
struct TByteSpan
{
    const uint8_t* Data = nullptr;
    int64_t Size = 0;
};
void SaveFileAtomically(const QString& path, const std::vector<TByteSpan>& spans);
void SaveFileAtomically(const QString& path, const std::vector<TByteSpan>& spans, const TAtomicSaveOptions& options);

// The same for data handed over run by run while the file is written:
// produce calls write for every run, in order. An exception from produce
// (a source that cannot be read) fails the save like a failed write.
using TRunWriter = std::function<void(const uint8_t* data, int64_t size)>;
using TRunProducer = std::function<void(const TRunWriter& write)>;
void SaveFileAtomically(const QString& path, const TRunProducer& produce, const TAtomicSaveOptions& options);
