#pragma once
// Switching the editor's offset format between hexadecimal, decimal and
// octal while keeping the rest of the format (unit, digits, suffix) as the
// user set it.

#include <QString>

namespace hexview {

// The usual prefix of a radix: "0x" for 16, "0" for 8, none for 10.
QString RadixPrefix(int radix);

// format with its radix section set to radix. A prefix that is the usual one
// of some radix becomes the usual one of the new radix; any other prefix is
// kept. A format that cannot be split into its sections (or an empty one)
// gives the plain format of the radix with automatic digits.
QString OffsetFormatWithRadix(const QString& format, int radix);

} // namespace hexview
