#include "hexeditor/core/mphinspector.h"

#include "hexeditor/core/mphexception.h"

#include <QDateTime>
#include <QLocale>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace {

const char* const NotANumberText = "\"%1\" is not a valid %2 value";
const char* const OutOfRangeText = "%1 does not fit into %2 (%3 to %4)";
const char* const NotACharacterText = "Enter one character or U+ and its code point";
const char* const NotATimeText = "\"%1\" is not a time: use yyyy-MM-dd HH:mm:ss (UTC) or a number of seconds";
const char* const TimeRangeText = "%1 lies outside the 32-bit time range (1901-12-13 20:45:52 to 2038-01-19 03:14:07)";
const char* const NotBinaryText = "\"%1\" is not a byte in binary: enter 1 to 8 digits 0 and 1";
const char* const TimeFormat = "yyyy-MM-dd HH:mm:ss";

// Reads width bytes as an unsigned number in the given order.
uint64_t ReadUnsigned(const uint8_t* data, int width, bool bigEndian)
{
    uint64_t v = 0;
    for (int i = 0; i < width; ++i)
        v |= uint64_t(data[bigEndian ? width - 1 - i : i]) << (8 * i);
    return v;
}

QByteArray WriteUnsigned(uint64_t v, int width, bool bigEndian)
{
    QByteArray bytes(width, '\0');
    for (int i = 0; i < width; ++i)
        bytes[bigEndian ? width - 1 - i : i] = char((v >> (8 * i)) & 0xFF);
    return bytes;
}

int64_t SignExtend(uint64_t v, int width)
{
    if (width == 8)
        return int64_t(v);
    const uint64_t sign = uint64_t(1) << (8 * width - 1);
    return int64_t((v ^ sign) - sign);
}

bool IsSigned(TMPHValueKind kind)
{
    return kind == TMPHValueKind::Int8 || kind == TMPHValueKind::Int16 || kind == TMPHValueKind::Int32
        || kind == TMPHValueKind::Int64;
}

// Length of the UTF-8 sequence at data and its code point; 0 when malformed
// or cut off by the end of the data.
int DecodeUtf8(const uint8_t* data, int64_t available, char32_t& cp)
{
    if (available < 1)
        return 0;
    const uint8_t b = data[0];
    int len;
    if (b < 0x80) {
        cp = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        len = 2, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3, cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4, cp = b & 0x07;
    } else {
        return 0;
    }
    if (available < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((data[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (data[i] & 0x3F);
    }
    const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0; // overlong forms, surrogates and code points beyond Unicode
    return len;
}

QString CodePointText(char32_t cp)
{
    return QStringLiteral("U+%1").arg(uint(cp), 4, 16, QLatin1Char('0')).toUpper();
}

[[noreturn]] void Raise(const char* text, const QString& a1 = {}, const QString& a2 = {})
{
    QString message = MPHStrings::Text(text);
    if (message.contains(QLatin1String("%2")))
        message = message.arg(a1, a2);
    else if (message.contains(QLatin1String("%1")))
        message = message.arg(a1);
    throw EMPHexEditor(message);
}

// An integer in decimal, or 0x hexadecimal (a bit pattern of the width).
QByteArray IntegerBytes(TMPHValueKind kind, const QString& text, bool bigEndian)
{
    const int width = ValueSize(kind);
    const QString name = ValueKindName(kind);
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.startsWith(QLatin1Char('-'));
        t = t.mid(1);
    }
    const bool hex = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    bool ok = false;
    const uint64_t magnitude = hex ? t.mid(2).toULongLong(&ok, 16) : t.toULongLong(&ok, 10);
    if (!ok || t.isEmpty() || t.at(0).isSpace())
        Raise(NotANumberText, text.trimmed(), name);

    const uint64_t widthMax = width == 8 ? ~uint64_t(0) : (uint64_t(1) << (8 * width)) - 1;
    const bool isSigned = IsSigned(kind);
    const int64_t min = isSigned ? SignExtend(uint64_t(1) << (8 * width - 1), width) : 0;
    const uint64_t max = isSigned ? widthMax >> 1 : widthMax;
    auto rangeError = [&] {
        const QString lo = QString::number(min), hi = QString::number(max);
        throw EMPHexEditor(MPHStrings::Text(OutOfRangeText).arg(text.trimmed(), name, lo, hi));
    };
    uint64_t pattern;
    if (negative) {
        // -magnitude must be at least min (0 for the unsigned types, except -0).
        if (magnitude > uint64_t(-(min + 1)) + 1 && magnitude != 0)
            rangeError();
        if (!isSigned && magnitude != 0)
            rangeError();
        pattern = (~magnitude + 1) & widthMax;
    } else {
        // Hexadecimal fills the whole width, so 0xFF is an int8 of -1.
        if (magnitude > (hex ? widthMax : max))
            rangeError();
        pattern = magnitude;
    }
    return WriteUnsigned(pattern, width, bigEndian);
}

QByteArray FloatBytes(TMPHValueKind kind, const QString& text, bool bigEndian)
{
    const QString t = text.trimmed();
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = c.toDouble(t, &ok);
    std::optional<double> value;
    if (ok)
        value = v;
    else if (t.compare(QLatin1String("nan"), Qt::CaseInsensitive) == 0)
        value = std::numeric_limits<double>::quiet_NaN();
    else if (t.compare(QLatin1String("inf"), Qt::CaseInsensitive) == 0 || t.compare(QLatin1String("+inf"), Qt::CaseInsensitive) == 0)
        value = std::numeric_limits<double>::infinity();
    else if (t.compare(QLatin1String("-inf"), Qt::CaseInsensitive) == 0)
        value = -std::numeric_limits<double>::infinity();
    if (!value)
        Raise(NotANumberText, t, ValueKindName(kind));
    if (kind == TMPHValueKind::Float) {
        const float f = float(*value);
        if (std::isinf(f) && !std::isinf(*value))
            Raise(NotANumberText, t, ValueKindName(kind));
        return WriteUnsigned(std::bit_cast<uint32_t>(f), 4, bigEndian);
    }
    return WriteUnsigned(std::bit_cast<uint64_t>(*value), 8, bigEndian);
}

QByteArray Utf8Bytes(const QString& text)
{
    const QString t = text.trimmed();
    char32_t cp = 0;
    if (t.startsWith(QLatin1String("U+"), Qt::CaseInsensitive) && t.size() > 2) {
        bool ok = false;
        cp = t.mid(2).toUInt(&ok, 16);
        if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            Raise(NotACharacterText);
    } else {
        // Exactly one character; a blank alone counts as the character.
        const QString raw = t.isEmpty() ? text : t;
        const QList<uint> ucs4 = raw.toUcs4();
        if (ucs4.size() != 1)
            Raise(NotACharacterText);
        cp = ucs4.front();
    }
    return QString::fromUcs4(&cp, 1).toUtf8();
}

QByteArray TimeBytes(const QString& text, bool bigEndian)
{
    QString t = text.trimmed();
    int64_t seconds;
    bool ok = false;
    const qlonglong number = t.toLongLong(&ok, 10);
    if (ok) {
        seconds = number;
    } else {
        if (t.endsWith(QLatin1String("UTC"), Qt::CaseInsensitive))
            t = t.chopped(3).trimmed();
        QDateTime dt = QDateTime::fromString(t, QLatin1String(TimeFormat));
        if (!dt.isValid())
            Raise(NotATimeText, text.trimmed());
        dt.setTimeSpec(Qt::UTC);
        seconds = dt.toSecsSinceEpoch();
    }
    if (seconds < std::numeric_limits<int32_t>::min() || seconds > std::numeric_limits<int32_t>::max())
        Raise(TimeRangeText, text.trimmed());
    return WriteUnsigned(uint32_t(int32_t(seconds)), 4, bigEndian);
}

QByteArray BinaryBytes(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 8)
        Raise(NotBinaryText, t);
    uint8_t v = 0;
    for (const QChar c : t) {
        if (c != QLatin1Char('0') && c != QLatin1Char('1'))
            Raise(NotBinaryText, t);
        v = uint8_t(v << 1 | (c == QLatin1Char('1')));
    }
    return QByteArray(1, char(v));
}

} // namespace

QString ValueKindName(TMPHValueKind kind)
{
    static const char* const names[ValueKindCount] = {
        "int8", "uint8", "int16", "uint16", "int32", "uint32", "int64", "uint64",
        "float", "double", "UTF-8 character", "Unix time (32-bit)", "binary"};
    const int i = int(kind);
    return i >= 0 && i < ValueKindCount ? QString::fromLatin1(names[i]) : QString();
}

int ValueSize(TMPHValueKind kind)
{
    switch (kind) {
    case TMPHValueKind::Int8: case TMPHValueKind::UInt8: case TMPHValueKind::Binary: return 1;
    case TMPHValueKind::Int16: case TMPHValueKind::UInt16: return 2;
    case TMPHValueKind::Int32: case TMPHValueKind::UInt32: case TMPHValueKind::Float:
    case TMPHValueKind::UnixTime32: case TMPHValueKind::Utf8Char: return 4;
    case TMPHValueKind::Int64: case TMPHValueKind::UInt64: case TMPHValueKind::Double: return 8;
    }
    return 1;
}

bool HasByteOrder(TMPHValueKind kind)
{
    return ValueSize(kind) > 1 && kind != TMPHValueKind::Utf8Char;
}

int ValueLengthAt(TMPHValueKind kind, const uint8_t* data, int64_t available)
{
    if (kind == TMPHValueKind::Utf8Char) {
        if (available < 1)
            return 0;
        char32_t cp = 0;
        const int len = DecodeUtf8(data, available, cp);
        return len > 0 ? len : 1;
    }
    return available >= ValueSize(kind) ? ValueSize(kind) : 0;
}

QString ValueText(TMPHValueKind kind, const uint8_t* data, int64_t available, bool bigEndian)
{
    if (ValueLengthAt(kind, data, available) == 0)
        return QString();
    const int width = ValueSize(kind);
    switch (kind) {
    case TMPHValueKind::Int8: case TMPHValueKind::Int16: case TMPHValueKind::Int32: case TMPHValueKind::Int64:
        return QString::number(SignExtend(ReadUnsigned(data, width, bigEndian), width));
    case TMPHValueKind::UInt8: case TMPHValueKind::UInt16: case TMPHValueKind::UInt32: case TMPHValueKind::UInt64:
        return QString::number(ReadUnsigned(data, width, bigEndian));
    case TMPHValueKind::Float:
        return QLocale::c().toString(std::bit_cast<float>(uint32_t(ReadUnsigned(data, 4, bigEndian))), 'g', 9)
            .replace(QLatin1String("e+"), QLatin1String("e"));
    case TMPHValueKind::Double:
        return QLocale::c().toString(std::bit_cast<double>(ReadUnsigned(data, 8, bigEndian)), 'g', 17)
            .replace(QLatin1String("e+"), QLatin1String("e"));
    case TMPHValueKind::Utf8Char: {
        char32_t cp = 0;
        if (DecodeUtf8(data, available, cp) == 0)
            return QStringLiteral("invalid UTF-8");
        // Control characters and blanks are shown by their code point only.
        const QString ch = QString::fromUcs4(&cp, 1);
        const bool printable = cp > 0x20 && !(cp >= 0x7F && cp < 0xA0) && ch.at(0).isPrint();
        return printable ? ch + QStringLiteral("  ") + CodePointText(cp) : CodePointText(cp);
    }
    case TMPHValueKind::UnixTime32: {
        const int64_t seconds = SignExtend(ReadUnsigned(data, 4, bigEndian), 4);
        return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(QLatin1String(TimeFormat))
            + QStringLiteral(" UTC");
    }
    case TMPHValueKind::Binary:
        return QStringLiteral("%1").arg(uint(data[0]), 8, 2, QLatin1Char('0'));
    }
    return QString();
}

QByteArray ValueBytes(TMPHValueKind kind, const QString& text, bool bigEndian)
{
    switch (kind) {
    case TMPHValueKind::Float: case TMPHValueKind::Double: return FloatBytes(kind, text, bigEndian);
    case TMPHValueKind::Utf8Char: return Utf8Bytes(text);
    case TMPHValueKind::UnixTime32: return TimeBytes(text, bigEndian);
    case TMPHValueKind::Binary: return BinaryBytes(text);
    default: return IntegerBytes(kind, text, bigEndian);
    }
}
