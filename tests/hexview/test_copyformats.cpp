// Text forms of bytes for Edit > Copy as...
#include "hexview/core/copyformats.h"
#include "hexeditor/core/mphtransfer.h"

#include <gtest/gtest.h>

using namespace hexview;

TEST(CopyFormats, EachFormOfDeadBeef)
{
    const QByteArray bytes("\xde\xad\xbe\xef", 4);
    EXPECT_EQ(SpacedHexText(bytes), QStringLiteral("DE AD BE EF"));
    EXPECT_EQ(CArrayText(bytes), QStringLiteral("unsigned char data[4] = {\n    0xDE, 0xAD, 0xBE, 0xEF\n};\n"));
    EXPECT_EQ(PythonBytesText(bytes), QStringLiteral("b'\\xde\\xad\\xbe\\xef'"));
    EXPECT_EQ(Base64Text(bytes), QStringLiteral("3q2+7w=="));
}

TEST(CopyFormats, ZeroBytesQuotesAndLineBreaksInTheCArray)
{
    const QByteArray bytes("'\0\\", 3);
    EXPECT_EQ(PythonBytesText(bytes), QStringLiteral("b'\\x27\\x00\\x5c'")) << "quotes and backslashes stay escaped";
    EXPECT_EQ(SpacedHexText(QByteArray()), QString());
    EXPECT_EQ(CArrayText(QByteArray()), QStringLiteral("unsigned char data[0] = {};\n"));
    const QString thirteen = CArrayText(QByteArray(13, '\x01'));
    EXPECT_EQ(thirteen.count(QLatin1Char('\n')), 4) << "12 bytes a line: header, two lines, closing brace";
    EXPECT_TRUE(thirteen.contains(QStringLiteral("0x01,\n    0x01\n};")));
    EXPECT_EQ(thirteen.count(QStringLiteral("0x01")), 13);
}

TEST(CopyFormats, EveryHexFormPastesBackThroughTheEditorsDecoding)
{
    QByteArray bytes;
    for (int i = 0; i < 40; ++i)
        bytes.append(char(i * 37 + 11));
    for (TCopyFormat f : {TCopyFormat::SpacedHex, TCopyFormat::CArray, TCopyFormat::PythonBytes}) {
        const QString text = CopyText(f, bytes);
        EXPECT_EQ(MPHTransfer::DecodeHexText(HexDigitsText(text).toLatin1(), false), bytes) << text.toStdString();
    }
    // Without the clean-up, the C array's words and prefixes would be read as digits.
    EXPECT_NE(MPHTransfer::DecodeHexText(CArrayText(bytes).toLatin1(), false), bytes);
    EXPECT_EQ(HexDigitsText(QStringLiteral("de ad")), QStringLiteral("de ad"));
    EXPECT_EQ(HexDigitsText(QStringLiteral("0x1, 0xg")), QStringLiteral("1, 0xg")) << "only prefixes before digits go";
}
