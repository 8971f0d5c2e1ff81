// Every editing operation reports the data change it made through the one
// change path, and the caret-move rule applies the core's decisions.

#include "editing_fixture.h"
#include "hexeditor/core/mphsearch.h"

TEST_F(EditingTest, EachOperationReportsTheChangeItMade)
{
    load(pattern(40));
    editor.ChangeByte(6, editor.ByteAt(6), 0x55);
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{6, 1, 1}));
    editor.ChangeWord(15, 0, 0x1234);
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{15, 2, 2}));
    editor.InsertBuffer("abc", 3, 10);
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{10, 0, 3}));
    editor.AppendBuffer("xy", 2);
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{43, 0, 2}));
    editor.SetSelection(4, 8);
    editor.DeleteSelection();
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{4, 5, 0}));
    editor.Replace("12345", 2, 3, 5);
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{2, 3, 5}));
    editor.Replace("9", 0, 4, 1);
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{0, 4, 1}));
    const int32_t size = editor.DataSize();
    ASSERT_TRUE(editor.InsertNibble(20, true));
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{20, size - 20, size + 1 - 20}));
    ASSERT_TRUE(editor.DeleteNibble(20, true));
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{20, size + 1 - 20, size + 1 - 20}));
}

TEST_F(EditingTest, CaretRuleRedirectsPastTheEndAndKeepsTheSelectionWithShift)
{
    load(pattern(20));
    // Overwrite mode: a cell past the end puts the caret on the last byte.
    editor.MoveColRow(20, 3, true);
    EXPECT_EQ(editor.CaretPosition(), 19);
    EXPECT_EQ(editor.Col(), 8);
    // The gap column is refused while no button is held.
    editor.MoveColRow(4, 2, true);
    editor.MoveColRow(editor.Geometry().GapColumn(), 2, true);
    EXPECT_EQ(editor.Col(), 4);
    // With Shift held a selecting move extends the selection; a move without
    // Shift or the button drops it and ends the selecting.
    editor.MoveColRow(4, 2, true); // byte 1
    input.Shift = true;
    editor.SetExtendingSelection(true);
    editor.MoveColRow(10, 2, true); // byte 4
    EXPECT_EQ(editor.SelFirst(), 1);
    EXPECT_EQ(editor.SelLast(), 4);
    input.Shift = false;
    editor.MoveColRow(12, 2, true);
    EXPECT_EQ(editor.SelCount(), 0);
    EXPECT_FALSE(editor.ExtendingSelection());
}

TEST_F(EditingTest, ReplacementsWritesAndUndoReportTheirChangeAsOne)
{
    load(pattern(64));
    editor.SetSelection(10, 19);
    editor.ReplaceSelection("abc", 3);
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{10, 10, 3}));
    editor.WriteBuffer("zz", 40, 2);
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{40, 2, 2}));
    // The pattern's bytes 0x03 and 0x0A at 0 and 1 become "xyz" each.
    ASSERT_EQ(editor.ReplaceAll(TMPHSearchPattern::FromBytes(QByteArray("\x03\x0A", 2)), "xyz", {}), 1);
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{0, 2, 3}));
    editor.Undo();
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{0, 3, 2}));
    editor.Undo();
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{10, 3, 10}));
    editor.Redo();
    EXPECT_EQ(editor.LastDataChange(), (TMPHDataChange{10, 10, 3}));
}
