// Grid layout arithmetic: column widths, ruler texts, setting checks.
#include "error_of.h"
#include "hexeditor/core/mphlayout.h"

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr int w = 7;

} // namespace

TEST(Layout, WorkedExample)
{
    TMPHLayoutSettings settings;
    QVector<int> widths = ColumnWidths(settings, w);
    ASSERT_EQ(widths.size(), 51);
    EXPECT_EQ(widths[1], 6);
    const std::set<int> groupEnds = {5, 9, 13, 17, 21, 25, 29, 33};
    for (int j = 2; j <= 34; ++j)
        EXPECT_EQ(widths[j], groupEnds.count(j) ? 2 * w : w) << "column " << j;
    for (int j = 35; j <= 49; ++j)
        EXPECT_EQ(widths[j], w + 1) << "column " << j;
    EXPECT_EQ(widths[50], 2 * w + 1);

    // Blocks of four bytes: one more character after each block, in both fields.
    settings.BytesPerBlock = 4;
    widths = ColumnWidths(settings, w);
    for (int j : {9, 17, 25})
        EXPECT_EQ(widths[j], 3 * w) << j;
    EXPECT_EQ(widths[13], 2 * w);
    EXPECT_EQ(widths[33], 2 * w); // the last hex column is always 2w
    for (int j = 35; j <= 49; ++j)
        EXPECT_EQ(widths[j], (j == 38 || j == 42 || j == 46) ? 2 * w + 1 : w + 1) << "column " << j;
    settings.SeparateBlocksInCharField = false;
    EXPECT_EQ(ColumnWidths(settings, w)[38], w + 1);
}

TEST(Layout, EdgeSettings)
{
    const QVector<int> plain = ColumnWidths(TMPHLayoutSettings{}, w);
    for (int block : {1, 0, -8, INT32_MIN, INT32_MAX}) {
        TMPHLayoutSettings settings;
        settings.BytesPerBlock = block;
        EXPECT_EQ(ColumnWidths(settings, w), plain) << block;
    }
    TMPHLayoutSettings single;
    single.BytesPerRow = 1;
    EXPECT_EQ(ColumnWidths(single, w), (QVector<int>{0, 6, w, 2 * w, w, 2 * w + 1}));

    TMPHLayoutSettings wideGroups; // a column group longer than the row
    wideGroups.BytesPerColumn = 32;
    EXPECT_EQ(ColumnWidths(wideGroups, w)[5], w);

    TMPHLayoutSettings units;
    units.RulerUnit = 4;
    const QVector<int> unitWidths = ColumnWidths(units, w);
    for (int k = 0; k < 15; ++k)
        EXPECT_EQ(unitWidths[35 + k], k % 4 == 3 ? 11 : w + 1) << k; // (3 * 7) div 2 + 1
}

TEST(Layout, UnicodeCharacterColumns)
{
    TMPHLayoutSettings settings;
    settings.UnicodeChars = true;
    settings.RulerUnit = 2;
    settings.BytesPerBlock = 4; // two two-byte characters
    const QVector<int> widths = ColumnWidths(settings, w);
    ASSERT_EQ(widths.size(), GridColumnCount(16, true));
    EXPECT_EQ(widths.size(), 43);
    for (int j = 35; j <= 41; ++j)
        EXPECT_EQ(widths[j], (j - 35) % 2 == 1 ? 2 * w + 1 : w + 1) << j;
    EXPECT_EQ(widths[42], 2 * w + 1);
}

TEST(Layout, RulerTexts)
{
    TMPHRulerTexts texts = BuildRulerTexts(16, 1, 16, false, false);
    EXPECT_EQ(texts.Hex, "000102030405060708090A0B0C0D0E0F");
    EXPECT_EQ(texts.Char, "0123456789ABCDEF");
    EXPECT_EQ(BuildRulerTexts(16, 1, 16, false, true).Char, "0123456789abcdef");

    texts = BuildRulerTexts(16, 1, 10, false, false);
    EXPECT_EQ(texts.Char, "0123456789012345");
    EXPECT_TRUE(texts.Hex.endsWith("101112131415"));

    texts = BuildRulerTexts(16, 4, 16, false, false);
    EXPECT_EQ(texts.Hex, "00000000000000010000000200000003");
    EXPECT_EQ(texts.Char, "   0   1   2   3");

    texts = BuildRulerTexts(8, 1, 2, false, false); // numbers longer than a unit keep their last digits
    EXPECT_EQ(texts.Hex, "0001101100011011");
    EXPECT_EQ(texts.Char, "01010101");

    EXPECT_EQ(BuildRulerTexts(16, 2, 16, true, false).Char, "01234567");
    EXPECT_TRUE(BuildRulerTexts(1, 8, 16, false, false).Hex.isEmpty()); // no whole unit in the row
}

TEST(Layout, SettingChecks)
{
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[] { CheckBytesPerRow(256, false); }, "<no error>"},
        {[] { CheckBytesPerRow(257, false); }, "Invalid bytes per line argument"},
        {[] { CheckBytesPerRow(0, false); }, "Invalid bytes per line argument"},
        {[] { CheckBytesPerRow(15, true); }, "Invalid bytes per line argument"},
        {[] { CheckBytesPerColumn(3, false); }, "<no error>"},
        {[] { CheckBytesPerColumn(3, true); }, "Invalid bytes per column argument"},
        {[] { CheckBytesPerUnit(3, false); }, "Invalid bytes per unit value 3, allowed: 1,2,4,8"},
        {[] { CheckBytesPerUnit(3, true); }, "BytesPerUnit must be set to 2 in unicode mode"},
        {[] { CheckBytesPerUnit(2, true); }, "<no error>"},
        {[] { CheckRulerBytesPerUnit(-1); }, "<no error>"},
        {[] { CheckRulerBytesPerUnit(0); }, "Invalid ruler bytes per unit value 0, allowed: -1,1,2,4,8"},
    };
    for (const auto& [call, message] : cases)
        EXPECT_EQ(ErrorOf(call), message);
    EXPECT_EQ(NormalizeRulerNumberBase(1), 16);
    EXPECT_EQ(NormalizeRulerNumberBase(10), 10);
}
