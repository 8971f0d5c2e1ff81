#pragma once
// Byte layouts of transferred data, without any window: the editor's own
// clipboard format, hex text, plain text, the file group descriptor, and the
// conversion of every medium the editor reads into a byte string. Every
// reader stays inside the block it is given.

#include "platform/core/gdihandles.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace MPHTransfer {

// ---- own clipboard format: magic, version, length, bytes (little-endian) ------------
inline constexpr uint32_t OwnFormatMagic = 0x4854504D;    // "MPTH"
inline constexpr uint32_t OwnFormatVersion = 0x00010001;
inline constexpr size_t OwnFormatHeaderSize = 12;

// Writes the header and the n bytes to dest (n + 12 bytes).
void WriteOwnFormat(uint8_t* dest, const uint8_t* data, int32_t n);
// The data bytes of an own-format block: none when the block is shorter than
// the header or its magic or version differ; a length beyond the block (or
// negative) is cut to what the block holds.
QByteArray ReadOwnFormat(const uint8_t* block, size_t size);

// ---- hex text and plain text -------------------------------------------------------
// Two upper-case digits per byte (low nibble first when swapNibbles), then a
// zero byte: writes 2n + 1 bytes.
void WriteHexText(uint8_t* dest, const uint8_t* data, int32_t n, bool swapNibbles);
// Every hexadecimal digit of text is used, everything else skipped; digits
// pair up into bytes (high nibble first, exchanged when swapNibbles); a final
// digit without partner is dropped.
QByteArray DecodeHexText(const QByteArray& text, bool swapNibbles);
// Length of the plain text of data: the bytes before the first zero (n when none).
int32_t PlainTextLength(const uint8_t* data, int32_t n);

// ---- file group descriptor ------------------------------------------------------------
inline constexpr size_t FileGroupDescriptorSize = 336;
// Fills a zeroed 336-byte block: one file, flags 0x60, last-write time,
// size n, name (8-bit, at most 259 characters, zero-terminated).
void WriteFileGroupDescriptor(uint8_t* dest, const QByteArray& name, int32_t n, uint64_t lastWriteTime);
// A time as a FILETIME: 100-nanosecond intervals since 1601-01-01 UTC.
uint64_t FileTimeOf(const QDateTime& time);

// ---- conversion of fetched data to bytes --------------------------------------------------
enum class TBlockKind {
    bkOwn,          // own format: the bytes after a valid header
    bkRegEditHex,   // uint32 length L, then L bytes
    bkText,         // 8-bit text up to the first zero (text, OEM text, rich text, HTML)
    bkUnicodeText,  // 16-bit characters up to the first zero character
    bkDib,          // 14-byte "BM" header (rest zero) + the whole block
    bkLocale,       // the first 2 bytes
    bkRaw           // the whole block
};
QByteArray ConvertBlock(TBlockKind kind, const uint8_t* block, size_t size, bool unicodeBigEndian);

// A complete bitmap file of a bitmap handle; none for an unknown handle.
QByteArray BitmapHandleToBytes(HBITMAP bitmap);
// The metafile bits that a metafile picture block names in its fourth field;
// none when the block is too short or the metafile is unknown or empty.
QByteArray MetaFilePictToBytes(const uint8_t* block, size_t size);
QByteArray EnhMetaFileToBytes(HENHMETAFILE metafile);
// A logical palette record: version 0x0300, entry count, 4 bytes per entry;
// none for a palette without entries.
QByteArray PaletteToBytes(HPALETTE palette);

} // namespace MPHTransfer
