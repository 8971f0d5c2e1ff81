// The Edit and Bookmarks menus, the selection's CRC-32 and the question
// about unsaved changes.

#include "window_fixture.h"

#include "hexview/bookmarkactions.h"
#include "hexview/editactions.h"
#include "hexview/selectioncrc.h"
#include "hexview/statusbar.h"

#include "firmware/core/bootimage.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>

using namespace hexview;

namespace {

class EditMenusTest : public HexViewWindowTest
{
protected:
    void open(const QByteArray& bytes, const char* name = "edit.bin")
    {
        ASSERT_TRUE(window->OpenFile(files.Write(name, bytes)));
    }
    QAction* action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    void events() { QCoreApplication::sendPostedEvents(); QCoreApplication::processEvents(); }
    QByteArray data()
    {
        QByteArray bytes(Editor().DataSize(), '\0');
        Editor().ReadBuffer(bytes.data(), 0, bytes.size());
        return bytes;
    }
};

} // namespace

TEST_F(EditMenusTest, UndoAndRedoNameTheStep)
{
    open("abcdef");
    QAction* undo = action("actionUndo");
    QAction* redo = action("actionRedo");
    ASSERT_TRUE(undo && redo);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "&Undo");

    Editor().ChangeByte(1, 'b', 'X');
    events();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "&Undo Change byte(s)");
    EXPECT_FALSE(redo->isEnabled());

    undo->trigger();
    EXPECT_EQ(data(), "abcdef");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_EQ(redo->text(), "&Redo Change byte(s)");
    redo->trigger();
    EXPECT_EQ(data(), "aXcdef");
    EXPECT_EQ(undo->text(), "&Undo Change byte(s)");
    EXPECT_FALSE(redo->isEnabled());

    // A read-only view offers neither.
    window->SetReadOnlyView(true);
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(EditMenusTest, RedoBringsBackEveryUndoneStepUntilTheNextChange)
{
    open("abcdef");
    QAction* undo = action("actionUndo");
    QAction* redo = action("actionRedo");
    EXPECT_TRUE(Editor().MultiLevelRedo());
    Editor().ChangeByte(0, 'a', '1');
    Editor().ChangeByte(1, 'b', '2');
    Editor().InsertBuffer("33", 2, 2, "Typing");
    events();
    for (int i = 0; i < 3; ++i)
        undo->trigger();
    EXPECT_EQ(data(), "abcdef");
    EXPECT_FALSE(undo->isEnabled());
    ASSERT_TRUE(redo->isEnabled());
    EXPECT_EQ(redo->text(), "&Redo Change byte(s)");
    redo->trigger();
    redo->trigger();
    EXPECT_EQ(data(), "12cdef");
    ASSERT_TRUE(redo->isEnabled());
    EXPECT_EQ(redo->text(), "&Redo Typing");
    redo->trigger();
    EXPECT_EQ(data(), "1233cdef");
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(undo->text(), "&Undo Typing");

    // A new change after undoing disarms every remaining redo step.
    undo->trigger();
    undo->trigger();
    EXPECT_TRUE(redo->isEnabled());
    Editor().ChangeByte(5, 'f', 'F');
    events();
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_FALSE(Editor().CanRedo());
}

TEST_F(EditMenusTest, SelectAllAndInsertMode)
{
    QAction* all = action("actionSelectAll");
    EXPECT_FALSE(all->isEnabled());
    open("0123456789");
    EXPECT_TRUE(all->isEnabled());
    all->trigger();
    EXPECT_EQ(Editor().SelFirst(), 0);
    EXPECT_EQ(Editor().SelLast(), 9);

    QAction* insert = action("actionInsertMode");
    EXPECT_FALSE(insert->isChecked());
    insert->trigger();
    EXPECT_TRUE(Editor().InsertMode());
    EXPECT_EQ(window->StatusFields().Mode()->text(), "INS");
    insert->trigger();
    EXPECT_FALSE(Editor().InsertMode());
    EXPECT_EQ(window->StatusFields().Mode()->text(), "OVR");
}

TEST_F(EditMenusTest, BookmarksMenuListsTheTenAndGoesThere)
{
    open(QByteArray(1000, 'x'));
    Editor().SetBookmark(3, 0x140, false);
    Editor().SetBookmark(7, 900, true);
    emit window->BookmarksMenu()->aboutToShow();
    QAction* three = action("actionGotoBookmark3");
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(three->text(), "&3  0x0140 (hex)\tCtrl+3");
    EXPECT_TRUE(three->isEnabled());
    EXPECT_EQ(action("actionGotoBookmark7")->text(), "&7  0x0384 (characters)\tCtrl+7");
    EXPECT_FALSE(action("actionGotoBookmark0")->isEnabled());
    EXPECT_EQ(action("actionGotoBookmark0")->text(), "&0  (not set)\tCtrl+0");

    three->trigger();
    EXPECT_EQ(Editor().CaretPosition(), 0x140);
    EXPECT_FALSE(Editor().InCharField());
    action("actionGotoBookmark7")->trigger();
    EXPECT_EQ(Editor().CaretPosition(), 900);
    EXPECT_TRUE(Editor().InCharField());

    // Setting at the caret, twice, toggles.
    emit window->BookmarksMenu()->aboutToShow();
    action("actionSetBookmark5")->trigger();
    EXPECT_EQ(Editor().Bookmarks().At(5).mPosition, 900);
    emit window->BookmarksMenu()->aboutToShow();
    action("actionSetBookmark5")->trigger();
    EXPECT_EQ(Editor().Bookmarks().At(5).mPosition, -1);
}

TEST_F(EditMenusTest, SelectionCrcUsesTheToolsChecksum)
{
    QByteArray bytes(1 << 20, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 31 + (i >> 8));
    const QString path = files.Write("crc.bin", bytes);
    ASSERT_TRUE(window->OpenFile(path));
    TSelectionCrc* crc = window->findChild<TSelectionCrc*>();
    ASSERT_NE(crc, nullptr);
    EXPECT_FALSE(crc->Field()->isVisibleTo(window.get()));

    // A small selection at once.
    Editor().SetSelStart(16);
    Editor().SetSelEnd(16 + 99);
    events();
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    const uint32_t small = ~boot::Crc32Update(0xFFFFFFFF, p + 16, 100);
    EXPECT_EQ(crc->Field()->text(), "CRC-32 " + QString::number(small, 16).toUpper().rightJustified(8, '0'));
    EXPECT_TRUE(crc->Field()->isVisibleTo(window.get()));

    // The whole file: after a pause, then the same as the file's checksum.
    Editor().SelectAll();
    events();
    EXPECT_TRUE(crc->Busy());
    EXPECT_EQ(crc->Field()->text(), "CRC-32 ...");
    EXPECT_TRUE(QTest::qWaitFor([crc] { return !crc->Busy(); }, 5000));
    EXPECT_EQ(crc->Field()->text(), "CRC-32 " + boot::ChecksumText(boot::FileCrc32(path)).rightJustified(8, '0'));

    // Dropping the selection hides the field.
    Editor().SetSelStart(0);
    events();
    EXPECT_FALSE(crc->Field()->isVisibleTo(window.get()));
}

TEST(UndoCaptionTest, EmptyStepTextGivesThePlainCaption)
{
    EXPECT_EQ(UndoCaption(""), "&Undo");
    EXPECT_EQ(UndoCaption("Replace"), "&Undo Replace");
    EXPECT_EQ(RedoCaption("Insert buffer"), "&Redo Insert buffer");
    EXPECT_EQ(BookmarkCaption(2, 0x12345, false), "&2  0x12345 (hex)");
}
