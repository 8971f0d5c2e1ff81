#pragma once
// The offset column's number format: the parsed form of the OffsetFormat
// string, its parser and the routine that writes an offset with it.
//
// Format grammar, read from the left (numbers are hexadecimal digits):
//   [unit section]  "R%" / "C%" (unit follows BytesPerRow / BytesPerColumn),
//                   digits "%" (fixed unit), "%" or nothing (unit follows the
//                   ruler unit); the unit must be 1, 2, 4 or 8
//   [digits section] "-!" (digit count from the largest offset), digits "!"
//                   (minimum digit count), "!" or nothing (1)
//   radix ":"       mandatory, 2 to 16
//   prefix "|" suffix
// Example: "-!10:0x|" writes hexadecimal offsets with "0x" in front, padded to
// the number of digits of the largest offset.

#include <QString>
#include <cstdint>

enum TMPHOffsetFormatFlag : uint8_t {
    ofAutoDigits = 0x01,      // MinDigits follows the largest offset shown
    ofUnitFromRow = 0x02,     // UnitSize follows BytesPerRow
    ofUnitFromColumn = 0x04,  // UnitSize follows BytesPerColumn
    ofUnitFromRuler = 0x08,   // UnitSize follows the ruler unit
};
// A set of TMPHOffsetFormatFlag values.
using TMPHOffsetFormatFlags = uint8_t;

struct TMPHOffsetFormat
{
    QString Format;          // the format string as last accepted; empty = none
    QString Prefix;
    QString Suffix;
    int32_t MinDigits = 1;
    TMPHOffsetFormatFlags Flags = 0;
    uint8_t Radix = 16;
    uint8_t UnitSize = 1;

    bool Has(TMPHOffsetFormatFlag flag) const { return (Flags & flag) != 0; }
};

// Value written in radix (digits "0123456789ABCDEF"), at least one digit,
// padded with "0" on the left to minDigits. A radix outside 2..16 writes in
// radix 16 (there is no meaningful number text for it).
QString IntToRadix(uint32_t value, uint8_t radix, uint8_t minDigits);

// Text read as a number in radix (case-insensitive), in 32-bit arithmetic;
// the empty text gives 0. A character that is no digit of the radix raises
// EMPHexEditor "Invalid character ..., cannot convert using radix ...h".
int32_t RadixToInt(const QString& text, uint8_t radix);

// The layout values that a format may follow.
struct TMPHOffsetUnitSources
{
    int BytesPerRow = 16;
    int BytesPerColumn = 2;
    int RulerUnit = 1;
};

// Parses text into format. On error raises EMPHexEditor; format may then be
// partly changed, so the caller re-parses the previous text (which succeeds).
void ParseOffsetFormat(TMPHOffsetFormat& format, const QString& text, const TMPHOffsetUnitSources& sources);

// The offset as the format writes it (no event): empty while the format is
// empty; otherwise prefix + number + suffix, the number being
// offset div UnitSize in Radix with the low 8 bits of MinDigits as minimum
// digit count (empty for offset 0 with MinDigits 0), in lower case when
// lowerCase is set, else upper case. A unit size of 0 (a followed value of
// 256 keeps only its low 8 bits) divides by 1.
QString FormatOffsetText(const TMPHOffsetFormat& format, uint32_t offset, bool lowerCase);

// With ofAutoDigits set, MinDigits becomes the digit count of
// maxOffset div UnitSize in Radix (a negative maxOffset counts as 0).
void UpdateAutoDigits(TMPHOffsetFormat& format, int32_t maxOffset);

// The offset of the first byte of the last data row of a grid of rowCount rows
// (two fixed rows, then the data rows): (rowCount - 3) * bytesPerRow.
int32_t LargestShownOffset(int rowCount, int bytesPerRow);

// Following layout values: only UnitSize changes (low 8 bits of the value),
// and only when the format follows that value.
void FollowBytesPerRow(TMPHOffsetFormat& format, int bytesPerRow);
void FollowBytesPerColumn(TMPHOffsetFormat& format, int bytesPerColumn);
void FollowRulerUnit(TMPHOffsetFormat& format, int rulerUnit);

// Plain upper-case hexadecimal without leading zeros.
QString PlainHexOffset(uint32_t offset);
