#include "hexview/core/copyformats.h"

#include <QRegularExpression>

namespace hexview {

namespace {
const char Upper[] = "0123456789ABCDEF";
const char Lower[] = "0123456789abcdef";
} // namespace

QString SpacedHexText(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size() * 3);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(' ');
        const auto b = uint8_t(bytes[i]);
        text += QLatin1Char(Upper[b >> 4]);
        text += QLatin1Char(Upper[b & 0xF]);
    }
    return text;
}

QString CArrayText(const QByteArray& bytes)
{
    constexpr int PerLine = 12;
    QString text = QStringLiteral("unsigned char data[%1] = {").arg(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        text += (i % PerLine == 0) ? QStringLiteral("\n    ") : QStringLiteral(" ");
        const auto b = uint8_t(bytes[i]);
        text += QStringLiteral("0x");
        text += QLatin1Char(Upper[b >> 4]);
        text += QLatin1Char(Upper[b & 0xF]);
        if (i + 1 < bytes.size())
            text += QLatin1Char(',');
    }
    text += bytes.isEmpty() ? QStringLiteral("};\n") : QStringLiteral("\n};\n");
    return text;
}

QString PythonBytesText(const QByteArray& bytes)
{
    QString text = QStringLiteral("b'");
    text.reserve(bytes.size() * 4 + 3);
    for (char c : bytes) {
        const auto b = uint8_t(c);
        text += QStringLiteral("\\x");
        text += QLatin1Char(Lower[b >> 4]);
        text += QLatin1Char(Lower[b & 0xF]);
    }
    text += QLatin1Char('\'');
    return text;
}

QString Base64Text(const QByteArray& bytes) { return QString::fromLatin1(bytes.toBase64()); }

QString CopyText(TCopyFormat format, const QByteArray& bytes)
{
    switch (format) {
    case TCopyFormat::SpacedHex:
        return SpacedHexText(bytes);
    case TCopyFormat::CArray:
        return CArrayText(bytes);
    case TCopyFormat::PythonBytes:
        return PythonBytesText(bytes);
    case TCopyFormat::Base64:
        return Base64Text(bytes);
    }
    return QString();
}

QString HexDigitsText(const QString& text)
{
    QString body = text;
    const qsizetype open = body.indexOf(QLatin1Char('{')), close = body.lastIndexOf(QLatin1Char('}'));
    if (open >= 0 && close > open)
        body = body.mid(open + 1, close - open - 1);
    static const QRegularExpression python(QStringLiteral("^\\s*b(['\"])(.*)\\1\\s*$"),
                                           QRegularExpression::DotMatchesEverythingOption);
    const auto m = python.match(body);
    if (m.hasMatch())
        body = m.captured(2);
    static const QRegularExpression prefixes(QStringLiteral("0[xX](?=[0-9A-Fa-f])|\\\\x(?=[0-9A-Fa-f])"));
    return body.remove(prefixes);
}

} // namespace hexview
