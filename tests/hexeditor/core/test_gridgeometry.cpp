// The grid geometry without a widget: round trips between positions and
// cells over both fields, the gap column, unicode mode and odd row widths.
#include "hexeditor/core/mphgridgeometry.h"

#include <gtest/gtest.h>

namespace {

struct Shape
{
    int bytesPerRow;
    bool unicode;
};

// Odd and even widths, the narrowest and the widest row, both modes.
const Shape Shapes[] = {{1, false}, {3, false}, {7, false}, {16, false}, {17, false}, {256, false},
                        {2, true},  {6, true},  {16, true}, {256, true}};

TEST(GridGeometry, ColumnsFollowTheRowWidthAndTheCharacterMode)
{
    const TMPHGridGeometry g16(16, false);
    EXPECT_EQ(g16.HexColumnCount(), 32);
    EXPECT_EQ(g16.LastHexColumn(), 33);
    EXPECT_EQ(g16.GapColumn(), 34);
    EXPECT_EQ(g16.FirstCharColumn(), 35);
    EXPECT_EQ(g16.ColumnCount(), 51);

    const TMPHGridGeometry one(1, false);
    EXPECT_EQ(one.ColumnCount(), 6); // gutter, spacer, two digits, gap, one character
    EXPECT_EQ(one.GapColumn(), 4);

    const TMPHGridGeometry uni(16, true);
    EXPECT_EQ(uni.CharColumnCount(), 8);
    EXPECT_EQ(uni.ColumnCount(), 2 * 16 + 8 + 3);
    EXPECT_EQ(uni.FirstCharColumn(), 35);
}

TEST(GridGeometry, ClassifiesEveryColumnOnce)
{
    for (const Shape& s : Shapes) {
        const TMPHGridGeometry g(s.bytesPerRow, s.unicode);
        int hex = 0, gap = 0, chars = 0, first = 0, second = 0;
        for (int col = 0; col < g.ColumnCount(); ++col) {
            const bool isHex = g.IsHexColumn(col);
            const bool isGap = g.IsGapColumn(col);
            const bool isChar = g.IsCharColumn(col);
            EXPECT_LE(int(isHex) + int(isGap) + int(isChar), 1) << col;
            EXPECT_EQ(g.IsDataColumn(col), isHex || isChar) << col;
            EXPECT_EQ(g.IsFirstDigit(col) || g.IsSecondDigit(col), isHex) << col;
            EXPECT_FALSE(g.IsFirstDigit(col) && g.IsSecondDigit(col)) << col;
            hex += isHex;
            gap += isGap;
            chars += isChar;
            first += g.IsFirstDigit(col);
            second += g.IsSecondDigit(col);
        }
        EXPECT_EQ(hex, 2 * s.bytesPerRow);
        EXPECT_EQ(first, s.bytesPerRow);
        EXPECT_EQ(second, s.bytesPerRow);
        EXPECT_EQ(gap, 1);
        EXPECT_EQ(chars, g.CharColumnCount());
        EXPECT_FALSE(g.IsDataColumn(TMPHGridGeometry::GutterColumn));
        EXPECT_FALSE(g.IsDataColumn(TMPHGridGeometry::SpacerColumn));
    }
}

TEST(GridGeometry, PositionsRoundTripThroughBothFields)
{
    for (const Shape& s : Shapes) {
        const TMPHGridGeometry g(s.bytesPerRow, s.unicode);
        const int step = s.unicode ? 2 : 1;
        for (int32_t p = 0; p < 5 * s.bytesPerRow; p += step) {
            const TMPHCell hex = g.CellOf(p, false);
            EXPECT_TRUE(g.IsFirstDigit(hex.Col)) << s.bytesPerRow << " " << p;
            EXPECT_EQ(g.PositionAt(hex.Col, hex.Row), p);
            EXPECT_EQ(g.PositionAt(hex.Col + 1, hex.Row), p) << "second digit";
            EXPECT_TRUE(g.IsSecondDigit(hex.Col + 1));
            EXPECT_EQ(g.RowOf(p), hex.Row);
            EXPECT_LE(g.RowStart(hex.Row), p);
            EXPECT_GT(g.RowStart(hex.Row) + s.bytesPerRow, p);

            const TMPHCell chr = g.CellOf(p, true);
            EXPECT_TRUE(g.IsCharColumn(chr.Col));
            EXPECT_LT(chr.Col, g.ColumnCount());
            EXPECT_EQ(chr.Row, hex.Row);
            EXPECT_EQ(g.PositionAt(chr.Col, chr.Row), p);
            EXPECT_EQ(g.OtherFieldColumn(hex.Col), chr.Col);
            EXPECT_EQ(g.OtherFieldColumn(hex.Col + 1), chr.Col);
            EXPECT_EQ(g.OtherFieldColumn(chr.Col), hex.Col);
        }
    }
}

TEST(GridGeometry, UnicodeCharacterCellsHoldTwoBytes)
{
    const TMPHGridGeometry g(16, true);
    // Byte 37 shares its character cell with byte 36 and maps back to 36.
    const TMPHCell odd = g.CellOf(37, true);
    EXPECT_EQ(odd, g.CellOf(36, true));
    EXPECT_EQ(g.PositionAt(odd.Col, odd.Row), 36);
    // The same byte in the hex field keeps its own column.
    EXPECT_EQ(g.CellOf(37, false).Col, 2 + 2 * 5);
    // From the character field back to the hex field: the pair's first byte.
    EXPECT_EQ(g.OtherFieldColumn(odd.Col), g.CellOf(36, false).Col);
}

TEST(GridGeometry, TheGapAndTheFixedCellsMapLikeTheEditorAlwaysDid)
{
    const TMPHGridGeometry g(16, false);
    // Position 37: column 12, row 4 in hex; column 40 in characters.
    EXPECT_EQ(g.CellOf(37, false), (TMPHCell{12, 4}));
    EXPECT_EQ(g.CellOf(37, true), (TMPHCell{40, 4}));
    EXPECT_EQ(g.PositionAt(13, 4), 37);
    // The gap column stands for the first byte of the next row.
    EXPECT_EQ(g.PositionAt(g.GapColumn(), 2), 16);
    EXPECT_EQ(g.PositionAt(g.GapColumn(), 4), 48);
    EXPECT_EQ(g.OtherFieldColumn(g.GapColumn()), g.FirstCharColumn() + 16);
    // The spacer counts as its row's first byte, the gutter as the byte before
    // it; the fixed rows never map below byte 0.
    EXPECT_EQ(g.PositionAt(1, 3), 16);
    EXPECT_EQ(g.PositionAt(0, 3), 15);
    EXPECT_EQ(g.PositionAt(0, 2), 0);
    EXPECT_EQ(g.PositionAt(5, 0), 0);
    EXPECT_EQ(g.PositionAt(5, 1), 0);
    // A negative position has the first hex cell.
    EXPECT_EQ(g.CellOf(-1, true), (TMPHCell{2, 2}));
}

TEST(GridGeometry, OddRowWidthsStartEachRowWhereThePreviousEnded)
{
    const TMPHGridGeometry g(7, false);
    EXPECT_EQ(g.CellOf(6, false), (TMPHCell{14, 2}));
    EXPECT_EQ(g.CellOf(7, false), (TMPHCell{2, 3}));
    EXPECT_EQ(g.CellOf(7, true), (TMPHCell{g.FirstCharColumn(), 3}));
    EXPECT_EQ(g.PositionAt(g.LastHexColumn(), 3), 13);
    EXPECT_EQ(g.PositionAt(g.ColumnCount() - 1, 3), 13);
}

TEST(GridGeometry, FarPositionsAreLimitedTo32Bits)
{
    const TMPHGridGeometry g(256, false);
    EXPECT_EQ(g.PositionAt(2, 0x7FFFFFF0), TMPHGridGeometry::MaxPosition);
    const int32_t last = TMPHGridGeometry::MaxPosition;
    const TMPHCell cell = g.CellOf(last, false);
    EXPECT_EQ(g.PositionAt(cell.Col, cell.Row), last);
}

TEST(GridGeometry, RowCountsLeaveRoomForTheAppendPositionInInsertMode)
{
    const TMPHGridGeometry g(16, false);
    EXPECT_EQ(g.RowCountFor(0, false), 3);
    EXPECT_EQ(g.RowCountFor(0, true), 3);
    EXPECT_EQ(g.RowCountFor(1, false), 3);
    EXPECT_EQ(g.RowCountFor(16, false), 3);
    EXPECT_EQ(g.RowCountFor(16, true), 4);
    EXPECT_EQ(g.RowCountFor(17, true), 4);
    EXPECT_EQ(TMPHGridGeometry(7, false).RowCountFor(15, false), 2 + 3);
}

} // namespace
