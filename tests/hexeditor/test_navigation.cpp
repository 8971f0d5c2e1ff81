// Paging, wheel and typed-digit arithmetic, without a widget.

#include "hexeditor/core/mphnavigation.h"

#include <gtest/gtest.h>

TEST(Navigation, PageUpStopsAtTheFirstDataRow)
{
    // 10 visible rows page by 9.
    EXPECT_EQ(PageUpJump(30, 25, 10).Row, 21);
    EXPECT_EQ(PageUpJump(30, 25, 10).TopRow, 16);
    EXPECT_EQ(PageUpJump(5, 3, 10).Row, 2);
    EXPECT_EQ(PageUpJump(5, 3, 10).TopRow, 2);
    EXPECT_EQ(PageUpJump(9, 9, 1).Row, 8) << "a one-row view still pages by one row";
}

TEST(Navigation, PageDownStopsAtTheLastRowAndTheLastFullPage)
{
    // 100 rows (2..99 data), 10 visible: the last full page starts at 90.
    EXPECT_EQ(PageDownJump(2, 2, 10, 100).Row, 11);
    EXPECT_EQ(PageDownJump(2, 2, 10, 100).TopRow, 11);
    EXPECT_EQ(PageDownJump(95, 88, 10, 100).Row, 99);
    EXPECT_EQ(PageDownJump(95, 88, 10, 100).TopRow, 90);
    // A document shorter than the view: the top row stays at 2.
    EXPECT_EQ(PageDownJump(3, 2, 10, 6).TopRow, 2);
    EXPECT_EQ(PageDownJump(3, 2, 10, 6).Row, 5);
}

TEST(Navigation, WheelPagesByOneRowLessThanTheView)
{
    EXPECT_EQ(WheelDownTopRow(2, 10, 100), 11);
    EXPECT_EQ(WheelDownTopRow(85, 10, 100), 90) << "not past the last page";
    EXPECT_EQ(WheelDownTopRow(2, 10, 5), 2) << "a document shorter than a page";
    EXPECT_EQ(WheelUpTopRow(11, 10), 2);
    EXPECT_EQ(WheelUpTopRow(5, 10), 2);
    EXPECT_EQ(WheelUpTopRow(40, 10), 31);
    // Huge documents do not overflow.
    EXPECT_EQ(WheelDownTopRow(2147483000, 1000, 2147483600), 2147483600 - 1000);
}

TEST(Navigation, HexDigitsAndNibbles)
{
    EXPECT_EQ(HexDigitValue(u'0'), 0);
    EXPECT_EQ(HexDigitValue(u'c'), 12);
    EXPECT_EQ(HexDigitValue(u'F'), 15);
    EXPECT_EQ(HexDigitValue(u'g'), -1);
    EXPECT_EQ(HexDigitValue(u' '), -1);
    EXPECT_EQ(HexDigitValue(u'\uFF11'), -1) << "full-width digits are not hex digits";
    EXPECT_EQ(OverwriteNibble(0x5A, 0xC, true), 0xCA);
    EXPECT_EQ(OverwriteNibble(0xCA, 0x3, false), 0xC3);
    EXPECT_EQ(InsertedNibbleByte(7, false), 0x70);
    EXPECT_EQ(InsertedNibbleByte(7, true), 0x07);
}

TEST(Navigation, WheelByAFixedNumberOfRows)
{
    EXPECT_EQ(WheelRowsDownTopRow(2, 3, 10, 100), 5);
    EXPECT_EQ(WheelRowsDownTopRow(89, 3, 10, 100), 90) << "not past the last page";
    EXPECT_EQ(WheelRowsDownTopRow(2, 3, 10, 5), 2) << "a document shorter than a page";
    EXPECT_EQ(WheelRowsUpTopRow(5, 3), 2);
    EXPECT_EQ(WheelRowsUpTopRow(3, 3), 2) << "not above the first data row";
    EXPECT_EQ(WheelRowsUpTopRow(40, 0), 39) << "at least one row";
    EXPECT_EQ(WheelRowsDownTopRow(2147482000, 3, 1000, 2147483600), 2147482003);
    // Huge steps near the largest row do not overflow.
    EXPECT_EQ(WheelRowsDownTopRow(2147483000, 1000, 10, 2147483647), 2147483637);
}
