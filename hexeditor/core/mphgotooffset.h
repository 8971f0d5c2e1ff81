#pragma once
// Reading the offset a user wants to go to.
//
// Accepted forms (surrounding blanks ignored):
//   1234        decimal
//   0x4D2       hexadecimal (also 0X)
//   offset text as the offset column writes it: with the format's prefix
//               and/or suffix (e.g. "0x04D2" or "4D2h"), read in the format's
//               radix and multiplied by its unit size; digits that only the
//               format's radix knows (e.g. "4D2" in radix 16) are read the
//               same way
//   +n, -n      relative to the current position, n in any form above
// Plain digits are always decimal, so "10" is ten whatever the radix.

#include "hexeditor/core/mphoffsetformat.h"

#include <QString>
#include <cstdint>

struct TMPHGotoLimits
{
    int32_t Current = 0;   // caret position, the base of +n and -n
    int32_t DataSize = 0;
    bool AllowEnd = false; // DataSize itself is a target (insert mode)
};

// The target position. Raises EMPHexEditor with a message for the user when
// the text is no offset, the data are empty or the target lies outside
// 0..DataSize - 1 (0..DataSize with AllowEnd); out-of-range targets are never
// clamped.
int32_t ParseGotoOffset(const QString& text, const TMPHOffsetFormat& format, const TMPHGotoLimits& limits);
