#pragma once
// The texts of the status bar fields, from plain values.

#include <QString>
#include <cstdint>

namespace hexview {

// What the access field says: a view opened read-only, a document whose
// file is write-protected (editable, not savable), a writable file, or
// nothing for a document without a file.
enum class TAccessState { NoFile, Writable, ViewOnly, FileWriteProtected };

struct TStatusValues {
    int32_t CaretOffset = -1; // -1: no data
    int32_t SelFirst = -1;    // -1: nothing selected
    int32_t SelLast = -1;
    bool InCharField = false;
    bool UnicodeChars = false; // characters are UTF-16 units of two bytes
    bool BigEndian = false;
    bool InsertMode = false;
    TAccessState Access = TAccessState::NoFile;
    int64_t DataSize = 0;
};

struct TStatusTexts {
    QString Offset;    // "Offset 0x1F (31)"
    QString Selection; // "Sel 0x10 + 4" or "No selection"
    QString Field;     // "Hex" / "Char" / "Char UTF-16LE (2 bytes)"
    QString Mode;      // "OVR" / "INS"
    QString Access;    // "View only" / "File write-protected" / "Writable" / empty
    QString Size;      // "Size 1,234 bytes"
};

TStatusTexts MakeStatusTexts(const TStatusValues& values);

// An offset as "0x1F (31)".
QString HexAndDecimal(int64_t value);

// The overlay's field: "Boot block at 0x2000, CRC-32 1A2B3C4D".
QString BootStatusText(bool found, int32_t blockOffset, uint32_t crc);
// The same while the CRC-32 is being computed: "Boot block at 0x2000, CRC-32 ...".
QString BootStatusPendingText(int32_t blockOffset);

} // namespace hexview
