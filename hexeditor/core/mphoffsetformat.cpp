// Offset format: parsing the format string and writing offsets with it.
#include "hexeditor/core/mphoffsetformat.h"

#include "hexeditor/core/mphexception.h"

#include <cstring>

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// Place of c in the digit table, 1-based; 0 when absent.
int DigitPlace(QChar c)
{
    const char16_t u = c.toUpper().unicode();
    for (int i = 0; i < 16; ++i)
        if (u == char16_t(kDigits[i]))
            return i + 1;
    return 0;
}

bool IsHexDigit(QChar c)
{
    return DigitPlace(c) != 0;
}

// Length of the run of hex digits at the start of text.
qsizetype HexRunLength(const QString& text)
{
    qsizetype n = 0;
    while (n < text.size() && IsHexDigit(text[n]))
        ++n;
    return n;
}

[[noreturn]] void RaiseMissing(const QString& what)
{
    throw EMPHexEditor(MPHStrings::Text(MPHStrings::MissingOffsetFormatChar).arg(what));
}

uint8_t EffectiveUnit(const TMPHOffsetFormat& format)
{
    return format.UnitSize == 0 ? 1 : format.UnitSize;
}

} // namespace

QString IntToRadix(uint32_t value, uint8_t radix, uint8_t minDigits)
{
    if (radix < 2 || radix > 16)
        radix = 16;
    char buffer[40];
    int pos = sizeof(buffer);
    do {
        buffer[--pos] = kDigits[value % radix];
        value /= radix;
    } while (value != 0);
    const int length = int(sizeof(buffer)) - pos;
    QString result;
    result.reserve(qMax<int>(length, minDigits));
    for (int i = length; i < minDigits; ++i)
        result.append(QLatin1Char('0'));
    result.append(QLatin1StringView(buffer + pos, length));
    return result;
}

int32_t RadixToInt(const QString& text, uint8_t radix)
{
    uint32_t result = 0;
    // The text is upper-cased first; a refusal names the character as read.
    for (QChar c : text.toUpper()) {
        const int place = DigitPlace(c);
        if (place < 1 || place > radix)
            throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidRadixChar)
                                   .arg(QString(c), QString::number(radix, 16).toUpper()));
        result = result * radix + uint32_t(place - 1);
    }
    return int32_t(result);
}

void ParseOffsetFormat(TMPHOffsetFormat& format, const QString& text, const TMPHOffsetUnitSources& sources)
{
    format.Flags = 0;
    if (text.isEmpty()) {
        format.Format.clear();
        return;
    }
    QString rest = text;

    // Unit section.
    const QString head = rest.left(2).toUpper();
    if (head == QLatin1String("R%")) {
        format.Flags |= ofUnitFromRow;
        format.UnitSize = uint8_t(sources.BytesPerRow);
        rest.remove(0, 2);
    } else if (head == QLatin1String("C%")) {
        format.Flags |= ofUnitFromColumn;
        format.UnitSize = uint8_t(sources.BytesPerColumn);
        rest.remove(0, 2);
    } else {
        const qsizetype n = HexRunLength(rest);
        if (n < rest.size() && rest[n] == QLatin1Char('%')) {
            if (n == 0) {
                format.Flags |= ofUnitFromRuler;
                format.UnitSize = uint8_t(sources.RulerUnit);
            } else {
                format.UnitSize = uint8_t(RadixToInt(rest.left(n), 16));
            }
            rest.remove(0, n + 1);
        } else {
            format.Flags |= ofUnitFromRuler;
            format.UnitSize = uint8_t(sources.RulerUnit);
        }
    }
    if (format.UnitSize != 1 && format.UnitSize != 2 && format.UnitSize != 4 && format.UnitSize != 8)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidBytesPerUnit).arg(format.UnitSize));

    // Digits section.
    if (rest.startsWith(QLatin1String("-!"))) {
        format.Flags |= ofAutoDigits;
        format.MinDigits = 1;
        rest.remove(0, 2);
    } else {
        const qsizetype n = HexRunLength(rest);
        if (n < rest.size() && rest[n] == QLatin1Char('!')) {
            format.MinDigits = n == 0 ? 1 : RadixToInt(rest.left(n), 16);
            rest.remove(0, n + 1);
        } else {
            format.MinDigits = 1;
        }
    }

    // Radix section.
    const qsizetype n = HexRunLength(rest);
    if (n == 0)
        RaiseMissing(MPHStrings::Text(MPHStrings::OffsetFormatNumberRadix));
    if (n >= rest.size() || rest[n] != QLatin1Char(':'))
        RaiseMissing(QStringLiteral(":"));
    format.Radix = uint8_t(RadixToInt(rest.left(n), 16));
    if (format.Radix < 2 || format.Radix > 16)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidOffsetFormatRadix)
                               .arg(QString::number(format.Radix, 16).toUpper()));
    rest.remove(0, n + 1);

    // Prefix and suffix.
    const qsizetype bar = rest.indexOf(QLatin1Char('|'));
    if (bar < 0)
        RaiseMissing(QStringLiteral("|"));
    format.Prefix = rest.left(bar);
    format.Suffix = rest.mid(bar + 1);
    format.Format = text;
}

QString FormatOffsetText(const TMPHOffsetFormat& format, uint32_t offset, bool lowerCase)
{
    if (format.Format.isEmpty())
        return QString();
    // Runs for every painted gutter cell: the digits go to a local buffer and
    // the result is allocated once.
    char digits[32];
    int count = 0;
    int padding = 0;
    if (!(format.MinDigits == 0 && offset == 0)) {
        const uint8_t radix = (format.Radix < 2 || format.Radix > 16) ? 16 : format.Radix;
        const char* table = lowerCase ? "0123456789abcdef" : kDigits;
        uint32_t value = offset / EffectiveUnit(format);
        int pos = sizeof(digits);
        do {
            digits[--pos] = table[value % radix];
            value /= radix;
        } while (value != 0);
        count = int(sizeof(digits)) - pos;
        std::memmove(digits, digits + pos, size_t(count));
        padding = qMax(0, int(uint8_t(format.MinDigits)) - count);
    }
    QString result;
    result.reserve(format.Prefix.size() + padding + count + format.Suffix.size());
    result.append(format.Prefix);
    for (int i = 0; i < padding; ++i)
        result.append(QLatin1Char('0'));
    result.append(QLatin1StringView(digits, count));
    result.append(format.Suffix);
    return result;
}

void UpdateAutoDigits(TMPHOffsetFormat& format, int32_t maxOffset)
{
    if (!format.Has(ofAutoDigits))
        return;
    const int32_t units = maxOffset < 0 ? 0 : maxOffset / int32_t(EffectiveUnit(format));
    format.MinDigits = int32_t(IntToRadix(uint32_t(units), format.Radix, 0).size());
}

int32_t LargestShownOffset(int rowCount, int bytesPerRow)
{
    // Widened before the subtraction: rowCount - 3 overflows for the smallest counts.
    const int64_t product = (int64_t(rowCount) - 3) * bytesPerRow;
    if (product < 0)
        return 0;
    return product > INT32_MAX ? INT32_MAX : int32_t(product);
}

void FollowBytesPerRow(TMPHOffsetFormat& format, int bytesPerRow)
{
    if (format.Has(ofUnitFromRow))
        format.UnitSize = uint8_t(bytesPerRow);
}

void FollowBytesPerColumn(TMPHOffsetFormat& format, int bytesPerColumn)
{
    if (format.Has(ofUnitFromColumn))
        format.UnitSize = uint8_t(bytesPerColumn);
}

void FollowRulerUnit(TMPHOffsetFormat& format, int rulerUnit)
{
    if (format.Has(ofUnitFromRuler))
        format.UnitSize = uint8_t(rulerUnit);
}

QString PlainHexOffset(uint32_t offset)
{
    return IntToRadix(offset, 16, 0);
}
