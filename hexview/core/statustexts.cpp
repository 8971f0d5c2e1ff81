#include "hexview/core/statustexts.h"

#include <QLocale>

namespace hexview {

QString HexAndDecimal(int64_t value)
{
    return QStringLiteral("0x%1 (%2)").arg(QString::number(value, 16).toUpper(), QString::number(value));
}

TStatusTexts MakeStatusTexts(const TStatusValues& v)
{
    TStatusTexts t;
    t.Offset = v.CaretOffset < 0 ? QStringLiteral("Offset -") : QStringLiteral("Offset ") + HexAndDecimal(v.CaretOffset);
    if (v.SelFirst < 0 || v.SelLast < v.SelFirst)
        t.Selection = QStringLiteral("No selection");
    else
        t.Selection = QStringLiteral("Sel %1, length %2")
                          .arg(HexAndDecimal(v.SelFirst), QString::number(int64_t(v.SelLast) - v.SelFirst + 1));
    t.Field = v.InCharField ? QStringLiteral("Char") : QStringLiteral("Hex");
    // Offsets are bytes; where characters are shown their unit is named.
    if (v.InCharField && v.UnicodeChars)
        t.Field = v.BigEndian ? QStringLiteral("Char UTF-16BE (2 bytes)") : QStringLiteral("Char UTF-16LE (2 bytes)");
    t.Mode = v.InsertMode ? QStringLiteral("INS") : QStringLiteral("OVR");
    switch (v.Access) {
    case TAccessState::NoFile:
        break;
    case TAccessState::Writable:
        t.Access = QStringLiteral("Writable");
        break;
    case TAccessState::ViewOnly:
        t.Access = QStringLiteral("View only");
        break;
    case TAccessState::FileWriteProtected:
        t.Access = QStringLiteral("File write-protected");
        break;
    }
    QLocale grouped = QLocale::c(); // "," between thousands, whatever the user's locale
    grouped.setNumberOptions(QLocale::DefaultNumberOptions);
    t.Size = QStringLiteral("Size %1 bytes").arg(grouped.toString(qlonglong(v.DataSize)));
    return t;
}

QString BootStatusText(bool found, int32_t blockOffset, uint32_t crc)
{
    if (!found)
        return QString();
    // Every digit is shown: the tool's 6-digit form leaves 0 blank.
    return QStringLiteral("Boot block at 0x%1, CRC-32 %2")
        .arg(QString::number(blockOffset, 16).toUpper(), QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper());
}

QString BootStatusPendingText(int32_t blockOffset)
{
    return QStringLiteral("Boot block at 0x%1, CRC-32 ...").arg(QString::number(blockOffset, 16).toUpper());
}

} // namespace hexview
