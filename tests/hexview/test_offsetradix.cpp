// Switching the offset radix inside a format string.

#include "hexview/core/offsetradix.h"

#include <gtest/gtest.h>

using hexview::OffsetFormatWithRadix;

TEST(OffsetRadix, DefaultFormatTakesEachRadixWithItsPrefix)
{
    EXPECT_EQ(OffsetFormatWithRadix(QStringLiteral("-!10:0x|"), 10), QStringLiteral("-!A:|"));
    EXPECT_EQ(OffsetFormatWithRadix(QStringLiteral("-!10:0x|"), 8), QStringLiteral("-!8:0|"));
    EXPECT_EQ(OffsetFormatWithRadix(QStringLiteral("-!8:0|"), 16), QStringLiteral("-!10:0x|"));
    EXPECT_EQ(OffsetFormatWithRadix(QStringLiteral("-!A:|"), 16), QStringLiteral("-!10:0x|"));
}

TEST(OffsetRadix, UnitDigitsSuffixAndCustomPrefixAreKept)
{
    EXPECT_EQ(OffsetFormatWithRadix(QStringLiteral("r%8!10:0x|h"), 10), QStringLiteral("r%8!A:|h"));
    EXPECT_EQ(OffsetFormatWithRadix(QStringLiteral("2%-!10:@|"), 8), QStringLiteral("2%-!8:@|"));
    EXPECT_EQ(OffsetFormatWithRadix(QStringLiteral("%!a:0x|:"), 16), QStringLiteral("%!10:0x|:"))
        << "only the radix section changes, also when it was written in lower case";
}

TEST(OffsetRadix, UnsplittableFormatGivesThePlainOne)
{
    EXPECT_EQ(OffsetFormatWithRadix(QString(), 10), QStringLiteral("-!A:|"));
    EXPECT_EQ(OffsetFormatWithRadix(QStringLiteral("-!10:0x"), 8), QStringLiteral("-!8:0|")) << "no bar";
    EXPECT_EQ(OffsetFormatWithRadix(QStringLiteral("-!:0x|"), 16), QStringLiteral("-!10:0x|")) << "no radix";
}
