#include "hexeditor/core/mphgotooffset.h"

#include "hexeditor/core/mphexception.h"

#include <optional>

namespace {

const char* const InvalidOffsetText = "\"%1\" is not an offset: enter a decimal number, 0x and a hexadecimal "
                                      "number, an offset as the offset column shows it, or +n / -n";
const char* const EmptyDataText = "There are no data to go to";
const char* const OutOfRangeText = "Offset %1 (%2) lies outside the data: allowed are 0 to %3 (0x%4)";

// Largest magnitude read: anything beyond is out of range for every document.
constexpr int64_t MaxMagnitude = int64_t(1) << 40;

std::optional<int64_t> ReadDigits(const QString& digits, int radix)
{
    if (digits.isEmpty())
        return std::nullopt;
    int64_t value = 0;
    for (const QChar c : digits) {
        const int d = QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper());
        if (d < 0 || d >= radix)
            return std::nullopt;
        value = value * radix + d;
        if (value > MaxMagnitude)
            value = MaxMagnitude; // keeps the text readable as "too large"
    }
    return value;
}

// Offset text as the gutter writes it: prefix and suffix taken off, the
// number read in the format's radix and scaled by its unit.
std::optional<int64_t> ReadFormatted(QString text, const TMPHOffsetFormat& format, bool requireAffix)
{
    if (format.Format.isEmpty())
        return std::nullopt;
    bool affix = false;
    if (!format.Prefix.isEmpty() && text.startsWith(format.Prefix, Qt::CaseInsensitive)) {
        text.remove(0, format.Prefix.size());
        affix = true;
    }
    if (!format.Suffix.isEmpty() && text.endsWith(format.Suffix, Qt::CaseInsensitive)) {
        text.chop(format.Suffix.size());
        affix = true;
    }
    if (requireAffix && !affix)
        return std::nullopt;
    const std::optional<int64_t> value = ReadDigits(text.trimmed(), format.Radix);
    if (!value)
        return std::nullopt;
    return *value * std::max<int>(1, format.UnitSize);
}

std::optional<int64_t> ReadMagnitude(const QString& text, const TMPHOffsetFormat& format)
{
    if (auto v = ReadFormatted(text, format, true))
        return v;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        return ReadDigits(text.mid(2), 16);
    if (auto v = ReadDigits(text, 10))
        return v;
    return ReadFormatted(text, format, false);
}

} // namespace

int32_t ParseGotoOffset(const QString& input, const TMPHOffsetFormat& format, const TMPHGotoLimits& limits)
{
    QString text = input.trimmed();
    int sign = 0;
    if (text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-'))) {
        sign = text.startsWith(QLatin1Char('+')) ? 1 : -1;
        text = text.mid(1).trimmed();
    }
    const std::optional<int64_t> magnitude = ReadMagnitude(text, format);
    if (!magnitude)
        throw EMPHexEditor(MPHStrings::Text(InvalidOffsetText).arg(input.trimmed()));
    if (limits.DataSize <= 0)
        throw EMPHexEditor(MPHStrings::Text(EmptyDataText));

    const int64_t target = sign == 0 ? *magnitude : int64_t(limits.Current) + sign * *magnitude;
    const int64_t last = limits.AllowEnd ? limits.DataSize : limits.DataSize - 1;
    if (target < 0 || target > last) {
        const QString shown = target < 0 ? QStringLiteral("-") + QString::number(-target) : QString::number(target);
        const QString shownHex = (target < 0 ? QStringLiteral("-0x") : QStringLiteral("0x"))
                                 + QString::number(target < 0 ? -target : target, 16).toUpper();
        throw EMPHexEditor(MPHStrings::Text(OutOfRangeText)
                               .arg(shown, shownHex, QString::number(last), QString::number(last, 16).toUpper()));
    }
    return int32_t(target);
}
