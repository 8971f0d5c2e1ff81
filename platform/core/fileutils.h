#pragma once
// File-system helpers the editor and the tool need beyond streams.

#include <QByteArray>
#include <QString>
#include <cstdint>

bool FileExists(const QString& path);
bool DeleteFileAt(const QString& path);   // true on success
bool RenameFileAt(const QString& from, const QString& to); // true on success
int64_t FileSizeOf(const QString& path);  // -1 when it cannot be determined
// The errno of the last failed call above (thread-local).
int LastFileError();

// ---- names, kinds and identity of files --------------------------------------

// The bytes the system gets for path. Fails (false, *error set) for an empty
// name (ENOENT), a name holding a zero character (EINVAL) and a name that does
// not convert to the system's encoding and back unchanged (EILSEQ): such a
// name would reach the system as another name.
bool EncodeFileName(const QString& path, QByteArray* out, int* error);
// The name for the bytes raw, when they convert to text and back unchanged
// (valid UTF-8); false otherwise, leaving *out empty.
bool DecodeFileNameExactly(const QByteArray& raw, QString* out);

// Whether path exists and is something other than a regular file or a folder
// (a named pipe, a device, a socket), following symbolic links.
bool IsSpecialFile(const QString& path);
// Whether both names refer to the same existing file (device and inode).
bool SameFile(const QString& a, const QString& b);

// Whether the file could be opened for exclusive reading and writing now,
// found without opening it for writing (so watchers see no write): it must be
// a regular file carrying a write permission bit, writable for this process
// (faccessat), not locked by anyone else with flock, and without a conflicting
// POSIX record lock (F_OFD_GETLK). A program that writes without locking
// cannot be seen on Linux.
bool CanWriteExclusively(const QString& path);
