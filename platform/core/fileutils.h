#pragma once
// File-system helpers the editor and the tool need beyond streams.

#include <QString>
#include <cstdint>

bool FileExists(const QString& path);
bool DeleteFileAt(const QString& path);   // true on success
bool RenameFileAt(const QString& from, const QString& to); // true on success
int64_t FileSizeOf(const QString& path);  // -1 when it cannot be determined
// The errno of the last failed call above (thread-local).
int LastFileError();
