#include "hexview/core/offsetradix.h"

namespace hexview {

namespace {

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

// Length of the run of hex digits at from.
int hexRun(const QString& s, int from)
{
    int i = from;
    while (i < s.size() && isHexDigit(s[i]))
        ++i;
    return i - from;
}

// Length of the unit section at the start of s.
int unitSectionLength(const QString& s)
{
    const QString two = s.left(2).toUpper();
    if (two == QLatin1String("R%") || two == QLatin1String("C%"))
        return 2;
    const int digits = hexRun(s, 0);
    return digits < s.size() && s[digits] == QLatin1Char('%') ? digits + 1 : 0;
}

// Length of the digits section at from.
int digitsSectionLength(const QString& s, int from)
{
    if (s.mid(from, 2) == QLatin1String("-!"))
        return 2;
    const int digits = hexRun(s, from);
    return from + digits < s.size() && s[from + digits] == QLatin1Char('!') ? digits + 1 : 0;
}

bool isUsualPrefix(const QString& prefix)
{
    return prefix == RadixPrefix(16) || prefix == RadixPrefix(8) || prefix == RadixPrefix(10);
}

} // namespace

QString RadixPrefix(int radix)
{
    if (radix == 16)
        return QStringLiteral("0x");
    if (radix == 8)
        return QStringLiteral("0");
    return QString();
}

QString OffsetFormatWithRadix(const QString& format, int radix)
{
    const QString radixText = QString::number(radix, 16).toUpper();
    const QString plain = QStringLiteral("-!") + radixText + QLatin1Char(':') + RadixPrefix(radix) + QLatin1Char('|');
    const int unit = unitSectionLength(format);
    const int digits = digitsSectionLength(format, unit);
    const int radixStart = unit + digits;
    const int radixDigits = hexRun(format, radixStart);
    const int colon = radixStart + radixDigits;
    if (radixDigits == 0 || colon >= format.size() || format[colon] != QLatin1Char(':'))
        return plain;
    const int bar = format.indexOf(QLatin1Char('|'), colon + 1);
    if (bar < 0)
        return plain;
    QString prefix = format.mid(colon + 1, bar - colon - 1);
    if (isUsualPrefix(prefix))
        prefix = RadixPrefix(radix);
    return format.left(radixStart) + radixText + QLatin1Char(':') + prefix + format.mid(bar);
}

} // namespace hexview
