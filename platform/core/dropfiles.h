#pragma once
// The dropped-files block (CF_HDROP): a 20-byte header (offset of the file
// list, drop point x and y, non-client flag, wide flag), then the file names,
// each zero-terminated, and one more zero at the end. Names are UTF-16LE when
// the wide flag is set, 8-bit (Windows-1252) otherwise.

#include <QByteArray>
#include <QStringList>
#include <cstddef>
#include <cstdint>

inline constexpr int DropFilesHeaderSize = 20;

// A wide file list for the given names.
QByteArray BuildDropFiles(const QStringList& names);

// The names in a block of size bytes. Stays inside the block: a list offset
// outside it gives no names, and a name or list without its terminating zero
// ends at the end of the block. Names are cut to maxNameLength characters.
QStringList ParseDropFiles(const uint8_t* block, size_t size, int maxNameLength = 260);
