// The data-changing operations: marks, units, clipping, nibbles, bounds.

#include "editing_fixture.h"
#include "error_of.h"

#include <QDir>

TEST_F(EditingTest, ChangeByteWithEqualValuesDoesNothing)
{
    load(pattern(8));
    editor.ChangeByte(2, 7, 7);
    EXPECT_FALSE(editor.Modified());
    EXPECT_EQ(editor.UndoStorage().EntryCount(), 0);
    EXPECT_EQ(data(), pattern(8));
}

TEST_F(EditingTest, ChangeMarksOnlyInOverwriteMode)
{
    load(pattern(8));
    editor.ChangeByte(2, editor.ByteAt(2), 0xFF);
    ASSERT_GT(editor.ChangedBytes().size(), 2);
    EXPECT_TRUE(editor.ChangedBytes().testBit(2));
    editor.SetInsertMode(true);
    EXPECT_TRUE(editor.InsertMode());
    EXPECT_EQ(editor.ChangedBytes().count(true), 0);
    editor.ChangeByte(3, editor.ByteAt(3), 0xFF);
    EXPECT_EQ(editor.ChangedBytes().count(true), 0);
    editor.SetInsertMode(false);
    editor.ChangeWord(4, 0x1111, 0x2211); // low byte first: only the second byte differs
    ASSERT_GT(editor.ChangedBytes().size(), 5);
    EXPECT_FALSE(editor.ChangedBytes().testBit(4));
    EXPECT_TRUE(editor.ChangedBytes().testBit(5));
    EXPECT_EQ(editor.ByteAt(5), 0x22);
    // Inserting cuts the marks at the insertion point.
    editor.ChangeByte(1, editor.ByteAt(1), 0xEE);
    editor.InsertBuffer("z", 1, 3);
    EXPECT_EQ(editor.ChangedBytes().size(), 3);
    EXPECT_TRUE(editor.ChangedBytes().testBit(1));
}

TEST_F(EditingTest, InsertModeReadsOffWhenInsertionIsNotAllowed)
{
    load(pattern(16));
    editor.SetInsertMode(true);
    EXPECT_EQ(editor.RowCount(), 2 + 1 + 1); // room for the caret after the last byte
    editor.SetReadOnlyView(true);
    EXPECT_FALSE(editor.InsertMode());
    editor.SetReadOnlyView(false);
    EXPECT_TRUE(editor.InsertMode());
    editor.SetAllowInsertMode(false);
    EXPECT_FALSE(editor.InsertModeSwitch());
    EXPECT_EQ(editor.RowCount(), 3);
    editor.SetInsertMode(true); // not allowed: nothing happens
    EXPECT_FALSE(editor.InsertModeSwitch());
    editor.SetAllowInsertMode(true);
    editor.SetInsertMode(true);
    editor.SetNoSizeChange(true);
    EXPECT_FALSE(editor.InsertModeSwitch());
}

TEST_F(EditingTest, SwitchingInsertModeOffMovesCaretOntoLastByte)
{
    load(pattern(5));
    editor.SetInsertMode(true);
    const TGridCoord end = editor.CellAtPosition(5, false);
    editor.MoveColRow(end.X, end.Y, true);
    EXPECT_EQ(editor.PositionAtCell(editor.Col(), editor.Row()), 5);
    editor.SetInsertMode(false);
    EXPECT_EQ(editor.PositionAtCell(editor.Col(), editor.Row()), 4);
}

TEST_F(EditingTest, DeleteAtCaretHonoursUnits)
{
    load(pattern(5));
    editor.SetBytesPerUnit(2);
    editor.SetInsertMode(true);
    const TGridCoord end = editor.CellAtPosition(5, false);
    editor.MoveColRow(end.X, end.Y, true);
    editor.DeleteAtCaret(true); // partial last unit: one byte
    EXPECT_EQ(data(), pattern(5).left(4));
    editor.DeleteAtCaret(true);
    EXPECT_EQ(data(), pattern(5).left(2));

    load(pattern(6));
    editor.SetInsertMode(false);
    editor.SetBytesPerUnit(4);
    editor.SetSelStart(5);
    editor.DeleteAtCaret(false); // unit starts at 4: bytes 4 and 5
    EXPECT_EQ(data(), pattern(6).left(4));
    editor.SetSelStart(0);
    editor.DeleteAtCaret(true); // at the start: nothing
    EXPECT_EQ(editor.DataSize(), 4);
    editor.Undo();
    EXPECT_EQ(data(), pattern(6));
}

TEST_F(EditingTest, DeleteSelectionAndCaretByte)
{
    load(pattern(10));
    editor.SetSelStart(2);
    editor.SetSelEnd(4);
    editor.DeleteSelection();
    QByteArray expected = pattern(10);
    expected.remove(2, 3);
    EXPECT_EQ(data(), expected);
    EXPECT_EQ(editor.CaretPosition(), 2);
    EXPECT_EQ(editor.SelCount(), 0);
    editor.DeleteSelection(); // no selection: the caret byte
    expected.remove(2, 1);
    EXPECT_EQ(data(), expected);
}

TEST_F(EditingTest, DeleteSelectionAfterTheLastByteChangesNothing)
{
    load(pattern(4));
    editor.SetInsertMode(true);
    const TGridCoord end = editor.CellAtPosition(4, false);
    editor.MoveColRow(end.X, end.Y, true);
    editor.DeleteSelection();
    EXPECT_EQ(data(), pattern(4));
    EXPECT_EQ(editor.UndoStorage().EntryCount(), 0);
    EXPECT_FALSE(editor.Modified());
}

TEST_F(EditingTest, ReplaceSelectionKeepsSizeWithNoSizeChange)
{
    load(pattern(10));
    editor.SetNoSizeChange(true);
    editor.SetSelStart(3);
    editor.SetSelEnd(6);
    editor.ReplaceSelection("AB", 2);
    QByteArray expected = pattern(10);
    expected[3] = 'A';
    expected[4] = 'B';
    EXPECT_EQ(data(), expected);
    editor.Undo();
    EXPECT_EQ(data(), pattern(10));
}

TEST_F(EditingTest, ReplaceSelectionWithOtherLengthAndMoveCaret)
{
    load(pattern(10));
    editor.SetSelStart(3);
    editor.SetSelEnd(4);
    editor.ReplaceSelection("WXYZ", 4);
    QByteArray expected = pattern(10);
    expected.replace(3, 2, "WXYZ");
    EXPECT_EQ(data(), expected);
    EXPECT_EQ(editor.SelFirst(), 3);
    EXPECT_EQ(editor.SelLast(), 6);
    EXPECT_EQ(editor.SelAnchor(), 6);
    editor.Undo();
    EXPECT_EQ(data(), pattern(10));
}

TEST_F(EditingTest, ReplacePastTheEndWritesWhatFits)
{
    load(pattern(20));
    const QByteArray x(10, 'q');
    EXPECT_EQ(editor.Replace(x.constData(), 16, 10, 10), 4);
    EXPECT_EQ(editor.DataSize(), 20);
    EXPECT_EQ(data().mid(16), QByteArray(4, 'q'));
    EXPECT_EQ(ErrorOf([&] { editor.Replace(x.constData(), 21, 1, 1); }), "Data position/length out of data bounds");
    EXPECT_EQ(ErrorOf([&] { editor.Replace(x.constData(), -1, 1, 1); }), "Data position/length out of data bounds");
}

TEST_F(EditingTest, InsertBufferOutsideTheDataIsRefused)
{
    load(pattern(8));
    EXPECT_EQ(ErrorOf([&] { editor.InsertBuffer("a", 1, 9); }), "Data position/length out of data bounds");
    EXPECT_EQ(ErrorOf([&] { editor.InsertBuffer("a", 1, -1); }), "Data position/length out of data bounds");
    EXPECT_EQ(data(), pattern(8));
    EXPECT_EQ(editor.UndoStorage().EntryCount(), 0);
    editor.InsertBuffer("a", 1, 8); // at DataSize: appends
    EXPECT_EQ(editor.ByteAt(8), 'a');
}

TEST_F(EditingTest, InsertBeyondTheLargestDataSizeIsRefused)
{
    load(pattern(8));
    const QString error = ErrorOf([&] { editor.InsertBuffer("a", 0x7FFFFFFF, 0); });
    EXPECT_TRUE(error.startsWith("Cannot add 2147483647 bytes")) << error.toStdString();
    EXPECT_TRUE(ErrorOf([&] { editor.AppendBuffer("a", 0x7FFFFFFA); }).startsWith("Cannot add"));
    EXPECT_TRUE(ErrorOf([&] { editor.Replace("a", 0, 1, 0x7FFFFFFA); }).startsWith("Cannot add"));
    EXPECT_EQ(data(), pattern(8));
    EXPECT_EQ(editor.UndoStorage().EntryCount(), 0);
    EXPECT_FALSE(editor.Modified());
}

TEST_F(EditingTest, AppendSelectsTheNewBytes)
{
    load(pattern(4));
    editor.AppendBuffer("xyz", 3);
    EXPECT_EQ(data(), pattern(4) + "xyz");
    EXPECT_EQ(editor.SelFirst(), 4);
    EXPECT_EQ(editor.SelLast(), 6);
    EXPECT_EQ(editor.CaretPosition(), 4);
    editor.AppendBuffer(nullptr, 3);
    EXPECT_EQ(editor.DataSize(), 7);
}

TEST_F(EditingTest, NibbleShiftExamples)
{
    const QByteArray start("\x12\x34", 2);
    load(start);
    EXPECT_TRUE(editor.InsertNibble(0, true));
    EXPECT_EQ(data(), QByteArray("\x01\x23\x40", 3));
    load(start);
    editor.InsertNibble(0, false);
    EXPECT_EQ(data(), QByteArray("\x10\x23\x40", 3));
    load(start);
    editor.DeleteNibble(0, true);
    EXPECT_EQ(data(), QByteArray("\x23\x40", 2));
    load(start);
    editor.DeleteNibble(0, false);
    EXPECT_EQ(data(), QByteArray("\x13\x40", 2));
    // The low nibble of the last byte: the high nibble stays in front.
    load(QByteArray("\xAB", 1));
    editor.DeleteNibble(0, false);
    EXPECT_EQ(data(), QByteArray("\xA0", 1));
    load(QByteArray());
    EXPECT_FALSE(editor.InsertNibble(0, true));
    EXPECT_FALSE(editor.DeleteNibble(0, true));
}

TEST_F(EditingTest, NibbleShiftLeavesNoTemporaryFileAndSpansBlocks)
{
    const QStringList before = QDir(QDir::tempPath()).entryList({"*.MPHT"});
    QByteArray bytes = pattern(1500);
    load(bytes);
    editor.InsertNibble(700, true);
    editor.DeleteNibble(700, true);
    EXPECT_EQ(data().left(1500), bytes);
    EXPECT_EQ(editor.ByteAt(1500), 0);
    EXPECT_EQ(QDir(QDir::tempPath()).entryList({"*.MPHT"}), before);
}

TEST_F(EditingTest, SeekAndSelectAll)
{
    EXPECT_EQ(editor.Seek(3, 0), -1);
    load(pattern(10));
    EXPECT_EQ(editor.Seek(3, 0), 3);
    EXPECT_EQ(editor.Seek(2, 1), 5);
    EXPECT_EQ(editor.Seek(-1, 2), 8);
    EXPECT_EQ(editor.Seek(50, 0), 9);
    EXPECT_EQ(editor.Seek(-50, 1), 0);
    editor.SelectAll();
    EXPECT_EQ(editor.SelFirst(), 0);
    EXPECT_EQ(editor.SelLast(), 9);
    EXPECT_EQ(editor.CaretPosition(), 9);
}
