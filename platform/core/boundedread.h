#pragma once
// Reading a small file whole (settings, configuration): only a regular file,
// opened without blocking, and never more than a bound.

#include <QByteArray>
#include <QString>
#include <cstdint>

// The whole contents of path. Raises EFileOpenError when it cannot be opened
// or is not a regular file (a named pipe or a device is refused before a
// byte is read), and EReadError when it holds more than maxSize bytes (also
// when it grows past it while being read) or a read fails.
QByteArray ReadBoundedFile(const QString& path, int64_t maxSize);
