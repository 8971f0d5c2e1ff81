// Text forms of bytes for Edit > Copy as...
#include "hexview/core/copyformats.h"

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
