// The editor's bookmarks, their notification and their icons.
#include "editor_fixture.h"

namespace {

class EditorBookmarksTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        editor.LoadFromFile(writeFile(QStringLiteral("b.bin"), pattern(100)));
        editor.OnBookmarkChanged = [this](QObject*) { ++changes; };
    }
    int changes = 0;
};

} // namespace

TEST_F(EditorBookmarksTest, ToggleNotifyAndRefuse)
{
    editor.SetBookmark(3, 40, false);
    editor.SetBookmark(3, 40, false);
    EXPECT_EQ(editor.Bookmarks().At(3).mPosition, -1);
    EXPECT_EQ(changes, 2);
    EXPECT_THROW(editor.SetBookmark(10, 0, false), EMPHexEditor);
    EXPECT_EQ(changes, 2);
}

TEST_F(EditorBookmarksTest, GotoMovesTheCaretIntoTheBookmarkField)
{
    editor.SetBookmark(1, 37, true);
    editor.SetSelection(0, 5);
    EXPECT_TRUE(editor.GotoBookmark(1));
    EXPECT_EQ(editor.CaretPosition(), 37);
    EXPECT_TRUE(editor.InCharField());
    EXPECT_EQ(editor.SelCount(), 0);
    EXPECT_FALSE(editor.GotoBookmark(2));  // not set
    EXPECT_FALSE(editor.GotoBookmark(42)); // no such bookmark
}

TEST_F(EditorBookmarksTest, BookmarkAtTheEndNeedsInsertMode)
{
    editor.SetBookmark(0, 100, false);
    editor.SetInsertMode(true);
    EXPECT_TRUE(editor.GotoBookmark(0));
    EXPECT_EQ(editor.PositionAtCell(editor.Col(), editor.Row()), 100);
    editor.SetInsertMode(false);
    changes = 0;
    EXPECT_FALSE(editor.GotoBookmark(0));
    EXPECT_EQ(editor.Bookmarks().At(0).mPosition, -1);
    EXPECT_EQ(changes, 1);
}

TEST_F(EditorBookmarksTest, ShiftNotifiesOnlyWhenSomethingMoved)
{
    editor.SetBookmark(0, 60, false);
    changes = 0;
    editor.ShiftBookmarks(70, 4);
    EXPECT_EQ(changes, 0);
    editor.ShiftBookmarks(50, 4);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(editor.Bookmarks().At(0).mPosition, 64);
}

TEST_F(EditorBookmarksTest, IconsFromTheBitmap)
{
    ASSERT_EQ(editor.BookmarkBitmap().size(), QSize(200, 10));
    EXPECT_FALSE(editor.CustomBookmarkBitmap());
    ASSERT_EQ(editor.BookmarkImages().size(), 20);
    EXPECT_EQ(qAlpha(editor.BookmarkImages()[0].pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(editor.BookmarkImages()[19].pixel(5, 5)), 255);
    EXPECT_NE(editor.BookmarkImages()[0], editor.BookmarkImages()[10]);

    EXPECT_THROW(editor.SetBookmarkBitmap(QImage(100, 10, QImage::Format_RGB32)), EMPHexEditor);
    QImage custom(200, 10, QImage::Format_RGB32);
    custom.fill(Qt::green);
    custom.setPixel(0, 0, qRgb(255, 0, 255));
    custom.setPixel(15, 5, qRgb(255, 0, 255)); // the key colour is transparent anywhere
    editor.SetBookmarkBitmap(custom);
    EXPECT_TRUE(editor.CustomBookmarkBitmap());
    EXPECT_EQ(editor.BookmarkImages()[1].pixel(4, 5), qRgb(0, 255, 0));
    EXPECT_EQ(qAlpha(editor.BookmarkImages()[1].pixel(5, 5)), 0);
    editor.SetBookmarkBitmap(QImage());
    EXPECT_FALSE(editor.CustomBookmarkBitmap());
    EXPECT_NE(editor.BookmarkImages()[1].pixel(4, 5), qRgb(0, 255, 0)); // the built-in icons again
}
