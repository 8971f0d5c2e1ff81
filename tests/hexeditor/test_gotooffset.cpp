// Reading go-to offsets: the number forms, relative offsets and the range.

#include "error_of.h"
#include "hexeditor/core/mphgotooffset.h"

#include <gtest/gtest.h>

namespace {

TMPHOffsetFormat Format(const char* text)
{
    TMPHOffsetFormat f;
    ParseOffsetFormat(f, QString::fromLatin1(text), TMPHOffsetUnitSources{});
    return f;
}

int32_t Go(const char* text, const char* format = "-!10:0x|", int32_t current = 100, int32_t size = 0x10000,
           bool allowEnd = false)
{
    return ParseGotoOffset(QString::fromLatin1(text), Format(format), TMPHGotoLimits{current, size, allowEnd});
}

} // namespace

TEST(GotoOffsetTest, DecimalHexAndTheOffsetColumnsForm)
{
    EXPECT_EQ(Go("1234"), 1234);
    EXPECT_EQ(Go(" 0x4D2 "), 0x4D2);
    EXPECT_EQ(Go("0X4d2"), 0x4D2);
    EXPECT_EQ(Go("0x04D2"), 0x4D2);       // as the default gutter writes it
    EXPECT_EQ(Go("4D2"), 0x4D2);          // only radix 16 knows D
    EXPECT_EQ(Go("10"), 10);              // plain digits stay decimal
    EXPECT_EQ(Go("4D2h", "10:|h"), 0x4D2); // suffix format
    EXPECT_EQ(Go("0110", "2!2:|b"), 110);  // no affix given: decimal
    EXPECT_EQ(Go("0110b", "2!2:|b"), 6);   // with the suffix: radix 2
    EXPECT_EQ(Go("0000091A", "2%8!10:|"), 0x1234); // the unit scales back
    EXPECT_EQ(Go("0"), 0);
}

TEST(GotoOffsetTest, RelativeOffsetsStartAtTheCaret)
{
    EXPECT_EQ(Go("+10"), 110);
    EXPECT_EQ(Go("-0x10"), 100 - 16);
    EXPECT_EQ(Go("+ 0x0010"), 116);
    EXPECT_EQ(Go("-100"), 0);
}

TEST(GotoOffsetTest, OutOfRangeIsRefusedNotClamped)
{
    EXPECT_EQ(Go("65535"), 65535);
    EXPECT_EQ(ErrorOf([] { Go("65536"); }),
              QStringLiteral("Offset 65536 (0x10000) lies outside the data: allowed are 0 to 65535 (0xFFFF)"));
    EXPECT_EQ(ErrorOf([] { Go("-101"); }),
              QStringLiteral("Offset -1 (-0x1) lies outside the data: allowed are 0 to 65535 (0xFFFF)"));
    EXPECT_TRUE(ErrorOf([] { Go("+0xFFFFFFFFFFFF"); }).startsWith(QStringLiteral("Offset ")));
    EXPECT_TRUE(ErrorOf([] { Go("99999999999999999999999"); }).startsWith(QStringLiteral("Offset ")));
    // In insert mode the caret may stand after the last byte.
    EXPECT_EQ(Go("10", "-!10:0x|", 0, 10, true), 10);
    EXPECT_NE(ErrorOf([] { Go("10", "-!10:0x|", 0, 10, false); }), QStringLiteral("<no error>"));
}

TEST(GotoOffsetTest, OneByteAndEmptyDocuments)
{
    EXPECT_EQ(Go("0", "-!10:0x|", 0, 1), 0);
    EXPECT_EQ(ErrorOf([] { Go("1", "-!10:0x|", 0, 1); }),
              QStringLiteral("Offset 1 (0x1) lies outside the data: allowed are 0 to 0 (0x0)"));
    EXPECT_EQ(ErrorOf([] { Go("0", "-!10:0x|", 0, 0); }), QStringLiteral("There are no data to go to"));
}

TEST(GotoOffsetTest, TextThatIsNoOffset)
{
    for (const char* text : {"", "  ", "+", "abc xyz", "12G", "0x", "1.5", "--3"}) {
        const QString error = ErrorOf([text] { Go(text); });
        EXPECT_TRUE(error.contains(QStringLiteral("is not an offset"))) << text << ": " << error.toStdString();
    }
    // Radix 10 format: letters are no digits at all.
    EXPECT_NE(ErrorOf([] { Go("1A", "4!A:|"); }), QStringLiteral("<no error>"));
}
