// Recording, undoing and redoing editor changes.

#include "editing_fixture.h"
#include "error_of.h"

using namespace MPHUndoFlags;

TEST_F(EditingTest, ChangeByteRecordsOldByteCaretAndFlags)
{
    load(pattern(40));
    editor.SetSelStart(5);
    const uint8_t old = editor.ByteAt(3);
    editor.ChangeByte(3, old, 0xEE);
    TMPHUndoEntry e;
    ASSERT_TRUE(editor.UndoStorage().ReadNewest(e));
    EXPECT_EQ(MPHUndo::KindOf(e.Header.Flags), ukChangeBytes);
    EXPECT_EQ(e.Header.CaretPosition, 5);
    EXPECT_EQ(e.Header.Position, 3);
    EXPECT_EQ(e.Header.Count, 1);
    EXPECT_EQ(e.Data, QByteArray(1, char(old)));
    EXPECT_FALSE(e.Header.Flags & ufModified);
    EXPECT_FALSE(e.Header.Flags & ufFirstByteChanged);
    EXPECT_EQ(editor.UndoText(), "Change byte(s)");
    EXPECT_TRUE(editor.Modified());
    EXPECT_TRUE(editor.ChangedBytes().testBit(3));

    // A second change of the same byte records that it was marked.
    editor.ChangeByte(3, 0xEE, 0x11, "Typing");
    ASSERT_TRUE(editor.UndoStorage().ReadNewest(e));
    EXPECT_TRUE(e.Header.Flags & ufFirstByteChanged);
    EXPECT_TRUE(e.Header.Flags & ufModified);
    EXPECT_EQ(e.Description, "Typing");
    EXPECT_EQ(editor.UndoText(), "Typing");

    editor.Undo();
    EXPECT_EQ(editor.ByteAt(3), 0xEE);
    EXPECT_TRUE(editor.ChangedBytes().testBit(3));
    editor.Undo();
    EXPECT_EQ(data(), pattern(40));
    EXPECT_FALSE(editor.Modified());
    EXPECT_FALSE(editor.ChangedBytes().size() > 3 && editor.ChangedBytes().testBit(3));
    EXPECT_EQ(editor.UndoStorage().EntryCount(), 0);
}

TEST_F(EditingTest, UndoThenRedoOfAnInsertionRestoresEverything)
{
    load(pattern(30));
    editor.SetBookmark(1, 20, false);
    editor.SetBookmark(2, 4, true);
    editor.SetSelStart(12);
    editor.ChangeByte(0, editor.ByteAt(0), 0x55);
    const QByteArray ins("abc");
    editor.InsertBuffer(ins.constData(), 3, 10, {}, true);
    const QByteArray afterData = data();
    const int afterCol = editor.Col(), afterRow = editor.Row();
    const int32_t afterFirst = editor.SelFirst(), afterLast = editor.SelLast(), afterAnchor = editor.SelAnchor();
    EXPECT_EQ(editor.Bookmarks().At(1).mPosition, 23);
    EXPECT_EQ(afterFirst, 10);
    EXPECT_EQ(afterLast, 12);
    const int entries = editor.UndoStorage().EntryCount();
    ASSERT_EQ(entries, 2);

    editor.Undo();
    QByteArray expected = pattern(30);
    expected[0] = char(0x55);
    EXPECT_EQ(data(), expected);
    EXPECT_EQ(editor.Bookmarks().At(1).mPosition, 20);
    EXPECT_EQ(editor.Bookmarks().At(2).mPosition, 4);
    EXPECT_EQ(editor.CaretPosition(), 12);
    EXPECT_EQ(editor.SelAnchor(), -1);
    EXPECT_TRUE(editor.CanRedo());
    EXPECT_EQ(editor.UndoStorage().EntryCount(), 1);

    editor.Redo();
    EXPECT_EQ(data(), afterData);
    EXPECT_EQ(editor.Bookmarks().At(1).mPosition, 23);
    EXPECT_EQ(editor.Col(), afterCol);
    EXPECT_EQ(editor.Row(), afterRow);
    EXPECT_EQ(editor.SelFirst(), afterFirst);
    EXPECT_EQ(editor.SelLast(), afterLast);
    EXPECT_EQ(editor.SelAnchor(), afterAnchor);
    EXPECT_EQ(editor.UndoStorage().EntryCount(), entries);
    EXPECT_FALSE(editor.CanRedo());
    EXPECT_TRUE(walksCleanly());
}

TEST_F(EditingTest, NewChangeAfterUndoDisarmsRedo)
{
    load(pattern(10));
    editor.ChangeByte(1, editor.ByteAt(1), 9);
    editor.Undo();
    EXPECT_TRUE(editor.CanRedo());
    editor.ChangeByte(2, editor.ByteAt(2), 9);
    EXPECT_FALSE(editor.CanRedo());
    editor.Redo(); // nothing to redo: data unchanged
    EXPECT_EQ(editor.ByteAt(1), uint8_t(pattern(10)[1]));
}

TEST_F(EditingTest, SuspendedRecordingLeavesNoEntryButSetsModified)
{
    load(pattern(10));
    EXPECT_EQ(editor.UndoBeginUpdate(), 1);
    editor.ChangeByte(1, editor.ByteAt(1), 9);
    EXPECT_EQ(editor.UndoEndUpdate(), 0);
    EXPECT_EQ(editor.UndoEndUpdate(), 0);
    EXPECT_EQ(editor.UndoStorage().EntryCount(), 0);
    EXPECT_EQ(editor.UndoStorage().SizeConst(), 0);
    EXPECT_TRUE(editor.Modified());
    EXPECT_FALSE(editor.CanUndo());
}

TEST_F(EditingTest, CombinedStepUndoesAllAndLeavesNoRedo)
{
    load(pattern(20));
    editor.ChangeByte(1, editor.ByteAt(1), 0xA1);
    editor.ChangeByte(2, editor.ByteAt(2), 0xA2);
    const QByteArray x("xy");
    editor.InsertBuffer(x.constData(), 2, 5);
    editor.CombineUndo(3, "Paste");
    EXPECT_EQ(editor.UndoText(), "Paste");
    EXPECT_EQ(editor.UndoStorage().EntryCount(), 4);
    editor.Undo();
    EXPECT_EQ(data(), pattern(20));
    EXPECT_EQ(editor.UndoStorage().EntryCount(), 0);
    EXPECT_FALSE(editor.CanRedo());
    // On empty data grouping needs that many entries.
    editor.CreateEmptyFile("x");
    EXPECT_EQ(ErrorOf([&] { editor.CombineUndo(1); }), "Cannot update undo storage");
    editor.AppendBuffer("ab", 2);
    editor.Undo();
    EXPECT_EQ(editor.DataSize(), 0);
    EXPECT_EQ(ErrorOf([&] { editor.CombineUndo(1); }), "Cannot update undo storage");
}

TEST_F(EditingTest, NoSizeChangeRefusesInsertButRecordsSameLengthReplace)
{
    load(pattern(10));
    editor.SetNoSizeChange(true);
    const QByteArray x("xyz");
    EXPECT_EQ(ErrorOf([&] { editor.InsertBuffer(x.constData(), 3, 2); }), "Cannot update undo storage");
    EXPECT_EQ(data(), pattern(10));
    EXPECT_FALSE(editor.Modified());
    EXPECT_EQ(editor.UndoStorage().EntryCount(), 0);
    EXPECT_EQ(editor.Replace(x.constData(), 2, 3, 3), 3);
    EXPECT_EQ(data().mid(2, 3), x);
    EXPECT_EQ(editor.UndoStorage().EntryCount(), 1);
    editor.SetSuspendNoSizeChange(true); // drag within the editor: size may change
    editor.InsertBuffer(x.constData(), 3, 0);
    EXPECT_EQ(editor.DataSize(), 13);
}

TEST_F(EditingTest, UndoInUnicodeModeRestoresWithoutTranslationRefusal)
{
    load(pattern(16));
    editor.SetUnicodeChars(true);
    editor.ChangeWord(2, 0x0000, 0x4142);
    editor.SetUnicodeChars(false);
    editor.SetTranslation(tkDos8);
    EXPECT_EQ(ErrorOf([&] { editor.Undo(); }), "<no error>");
    EXPECT_TRUE(editor.UnicodeChars());
    EXPECT_EQ(editor.BytesPerUnit(), 2);
    EXPECT_EQ(data(), pattern(16));
}

TEST_F(EditingTest, EmptyBufferRefusesChangesButAllowsInsertAndAppend)
{
    EXPECT_EQ(ErrorOf([&] { editor.CreateUndo(ukChangeBytes, 0, 1, 0); }), "Cannot update undo storage");
    const QByteArray x("ab");
    editor.AppendBuffer(x.constData(), 2);
    EXPECT_EQ(data(), x);
    editor.Undo();
    EXPECT_EQ(editor.DataSize(), 0);
    editor.InsertBuffer(x.constData(), 2, 0);
    EXPECT_EQ(data(), x);
}

TEST_F(EditingTest, ReadOnlyViewHidesUndoAndRedo)
{
    load(pattern(10));
    editor.ChangeByte(1, editor.ByteAt(1), 9);
    editor.SetReadOnlyView(true);
    EXPECT_FALSE(editor.CanUndo());
    editor.SetReadOnlyView(false);
    EXPECT_TRUE(editor.CanUndo());
}

TEST_F(EditingTest, ReplaceWithoutCaretMoveSelectsOldBytesOnUndo)
{
    load(pattern(20));
    const QByteArray x("12345");
    editor.Replace(x.constData(), 4, 2, 5, {}, false);
    EXPECT_EQ(editor.DataSize(), 23);
    editor.Undo();
    EXPECT_EQ(data(), pattern(20));
    EXPECT_EQ(editor.SelFirst(), 4);
    EXPECT_EQ(editor.SelLast(), 5);
}

TEST_F(EditingTest, BookmarksFollowReplacedAndRemovedBytesBothWays)
{
    load(pattern(30));
    editor.SetBookmark(0, 12, false); // first byte after the replaced range
    editor.SetBookmark(1, 25, false);
    editor.SetBookmark(2, 3, false);  // before the change: never moves
    const QByteArray x("12345");
    editor.Replace(x.constData(), 10, 2, 5);
    EXPECT_EQ(editor.Bookmarks().At(0).mPosition, 15);
    EXPECT_EQ(editor.Bookmarks().At(1).mPosition, 28);
    editor.Undo();
    EXPECT_EQ(editor.Bookmarks().At(0).mPosition, 12);
    EXPECT_EQ(editor.Bookmarks().At(1).mPosition, 25);

    editor.SetSelStart(10);
    editor.SetSelEnd(14);
    editor.DeleteSelection();
    EXPECT_EQ(editor.Bookmarks().At(0).mPosition, 12); // inside the removed range: stays
    EXPECT_EQ(editor.Bookmarks().At(1).mPosition, 20);
    editor.Undo();
    EXPECT_EQ(editor.Bookmarks().At(1).mPosition, 25);
    EXPECT_EQ(editor.Bookmarks().At(2).mPosition, 3);
}

TEST_F(EditingTest, UndoOfNibbleInsertRestoresBytes)
{
    load(QByteArray("\x12\x34\x56", 3));
    editor.CreateUndo(ukInsertNibble, 1, 0, 0);
    ASSERT_TRUE(editor.InsertNibble(1, true));
    EXPECT_EQ(data(), QByteArray("\x12\x03\x45\x60", 4));
    editor.Undo();
    EXPECT_EQ(data(), QByteArray("\x12\x34\x56", 3));
    editor.Redo();
    EXPECT_EQ(data(), QByteArray("\x12\x03\x45\x60", 4));
    editor.CreateUndo(ukDeleteNibble, 0, 0, 0);
    editor.DeleteNibble(0, false);
    editor.Undo();
    EXPECT_EQ(data(), QByteArray("\x12\x03\x45\x60", 4));
}

TEST_F(EditingTest, RedoAfterTwoUndosReappliesOnlyTheLastUndoneStep)
{
    load(QByteArray(1, char(0x5A)));
    editor.ChangeByte(0, 0x5A, 0xCA);
    editor.ChangeByte(0, 0xCA, 0xC3);
    editor.Undo();
    EXPECT_EQ(editor.ByteAt(0), 0xCA);
    editor.Undo();
    EXPECT_EQ(editor.ByteAt(0), 0x5A);
    ASSERT_TRUE(editor.CanRedo());
    editor.Redo();
    EXPECT_EQ(editor.ByteAt(0), 0xCA);
}
