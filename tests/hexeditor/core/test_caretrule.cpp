// The caret-move rule's decisions without a widget.
#include "hexeditor/core/mphcaretrule.h"

#include <gtest/gtest.h>

namespace {

const TMPHGridGeometry Geo16(16, false);

TMPHCaretRequest request(int col, int row, int32_t size, bool insert = false)
{
    TMPHCaretRequest r;
    r.Cell = {col, row};
    r.DataSize = size;
    r.InsertMode = insert;
    return r;
}

TEST(CaretRule, AnEmptyDocumentHasOnlyItsTwoFirstCells)
{
    EXPECT_EQ(DecideCaretCell(Geo16, request(2, 2, 0)).Verdict, TMPHCaretVerdict::Accept);
    EXPECT_EQ(DecideCaretCell(Geo16, request(35, 2, 0)).Verdict, TMPHCaretVerdict::Accept);
    EXPECT_EQ(DecideCaretCell(Geo16, request(3, 2, 0)).Verdict, TMPHCaretVerdict::Refuse);
    EXPECT_EQ(DecideCaretCell(Geo16, request(36, 2, 0)).Verdict, TMPHCaretVerdict::Refuse);
    EXPECT_EQ(DecideCaretCell(Geo16, request(2, 3, 0, true)).Verdict, TMPHCaretVerdict::Refuse);
    // Nothing to drop in an empty document.
    EXPECT_FALSE(DecideCaretCell(Geo16, request(2, 2, 0)).DropSelection);
}

TEST(CaretRule, CellsInsideTheDataAreAcceptedInBothFields)
{
    for (int col : {2, 3, 33, 35, 50}) {
        const TMPHCaretDecision d = DecideCaretCell(Geo16, request(col, 3, 40));
        EXPECT_EQ(d.Verdict, TMPHCaretVerdict::Accept) << col;
    }
}

TEST(CaretRule, ShiftOrTheLeftButtonKeepTheSelection)
{
    TMPHCaretRequest r = request(4, 2, 40);
    EXPECT_TRUE(DecideCaretCell(Geo16, r).DropSelection);
    r.ShiftDown = true;
    EXPECT_FALSE(DecideCaretCell(Geo16, r).DropSelection);
    r.ShiftDown = false;
    r.LeftButtonDown = true;
    EXPECT_FALSE(DecideCaretCell(Geo16, r).DropSelection);
}

TEST(CaretRule, PastTheEndRedirectsToTheLastByteOrTheAppendPosition)
{
    // 20 bytes: position 19 is on row 3 (column 8 in hex, 38 in characters).
    TMPHCaretRequest r = request(20, 3, 20);
    r.CaretInCharField = false;
    TMPHCaretDecision d = DecideCaretCell(Geo16, r);
    EXPECT_EQ(d.Verdict, TMPHCaretVerdict::Redirect);
    EXPECT_EQ(d.Target, (TMPHCell{8, 3}));
    // In the caret's field, not the requested cell's.
    r.CaretInCharField = true;
    EXPECT_EQ(DecideCaretCell(Geo16, r).Target, (TMPHCell{38, 3}));

    // Insert mode: the first digit of position 20 is accepted, its second
    // digit and anything further redirect to the append position.
    EXPECT_EQ(DecideCaretCell(Geo16, request(10, 3, 20, true)).Verdict, TMPHCaretVerdict::Accept);
    d = DecideCaretCell(Geo16, request(11, 3, 20, true));
    EXPECT_EQ(d.Verdict, TMPHCaretVerdict::Redirect);
    EXPECT_EQ(d.Target, (TMPHCell{10, 3}));
    d = DecideCaretCell(Geo16, request(12, 3, 20, true));
    EXPECT_EQ(d.Verdict, TMPHCaretVerdict::Redirect);
    EXPECT_EQ(d.Target, (TMPHCell{10, 3}));
    // The character cell of the append position is accepted too.
    EXPECT_EQ(DecideCaretCell(Geo16, request(39, 3, 20, true)).Verdict, TMPHCaretVerdict::Accept);
}

TEST(CaretRule, TheGapIsRefusedOrLeadsTheButtonToTheLastHexColumn)
{
    TMPHCaretRequest r = request(Geo16.GapColumn(), 2, 100);
    EXPECT_EQ(DecideCaretCell(Geo16, r).Verdict, TMPHCaretVerdict::Refuse);
    r.LeftButtonDown = true;
    const TMPHCaretDecision d = DecideCaretCell(Geo16, r);
    EXPECT_EQ(d.Verdict, TMPHCaretVerdict::Redirect);
    EXPECT_EQ(d.Target, (TMPHCell{Geo16.LastHexColumn(), 2}));
    // On the last row the gap stands for a position past the end: that rule wins.
    TMPHCaretRequest last = request(Geo16.GapColumn(), 2, 16);
    last.LeftButtonDown = true;
    EXPECT_EQ(DecideCaretCell(Geo16, last).Target, (TMPHCell{32, 2}));
}

TEST(CaretRule, UnicodeModeRedirectsToTheCharacterOfTheLastPair)
{
    const TMPHGridGeometry geo(16, true);
    TMPHCaretRequest r = request(geo.FirstCharColumn() + 7, 2, 10);
    r.CaretInCharField = true;
    const TMPHCaretDecision d = DecideCaretCell(geo, r);
    EXPECT_EQ(d.Verdict, TMPHCaretVerdict::Redirect);
    EXPECT_EQ(d.Target, (TMPHCell{geo.FirstCharColumn() + 4, 2})); // byte 9 shares the cell of 8
}

} // namespace
