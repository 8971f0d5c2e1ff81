#pragma once
// The data inspector's conversions: the bytes at a position read as numbers,
// a character, a time or bits, and a value typed by the user turned back into
// bytes. Multi-byte numbers come in little- and big-endian byte order.

#include <QByteArray>
#include <QString>
#include <cstdint>

enum class TMPHValueKind {
    Int8, UInt8, Int16, UInt16, Int32, UInt32, Int64, UInt64,
    Float, Double,
    Utf8Char,   // one UTF-8 encoded character (1 to 4 bytes)
    UnixTime32, // signed 32-bit seconds since 1970-01-01 00:00:00 UTC
    Binary,     // the byte as eight binary digits
};
inline constexpr int ValueKindCount = int(TMPHValueKind::Binary) + 1;

// "int8", "uint16", "float", "UTF-8 character", ...
QString ValueKindName(TMPHValueKind kind);
// Bytes the value occupies; for Utf8Char the longest form (4).
int ValueSize(TMPHValueKind kind);
// Whether the byte order changes the value.
bool HasByteOrder(TMPHValueKind kind);

// The value of the bytes at data (available of them) as shown to the user;
// empty when too few bytes are available. UTF-8: the character and its code
// point ("A  U+0041"), "invalid UTF-8" for a malformed sequence; time:
// "yyyy-MM-dd HH:mm:ss UTC".
QString ValueText(TMPHValueKind kind, const uint8_t* data, int64_t available, bool bigEndian);

// Bytes occupied by the value at data: ValueSize, except for UTF-8, where it
// is the length of the sequence found there (1 for a malformed one); 0 when
// too few bytes are available.
int ValueLengthAt(TMPHValueKind kind, const uint8_t* data, int64_t available);

// The bytes of a value typed by the user, in the given byte order. Integers
// are decimal or 0x hexadecimal and must fit the type; floats use "." as the
// decimal point ("nan" and "inf" are accepted); UTF-8 takes one character or
// "U+" and its hexadecimal code point; time takes the shown form (with or
// without " UTC") or a number of seconds; binary takes 1 to 8 binary digits.
// Raises EMPHexEditor with a message for the user when the text does not fit.
QByteArray ValueBytes(TMPHValueKind kind, const QString& text, bool bigEndian);
