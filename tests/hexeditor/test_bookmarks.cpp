// The bookmark table: toggling, field switching and shifting.
#include "hexeditor/core/mphbookmarks.h"
#include "hexeditor/core/mphexception.h"

#include <gtest/gtest.h>

TEST(Bookmarks, SetTogglesAndSwitchesField)
{
    TMPHBookmarks marks;
    marks.Set(3, 100, false);
    EXPECT_EQ(marks.At(3), (TMPHBookmark{100, false}));
    marks.Set(3, 100, false);
    EXPECT_EQ(marks.At(3).mPosition, -1);
    marks.Set(3, 100, false);
    marks.Set(3, 100, true);
    EXPECT_EQ(marks.At(3), (TMPHBookmark{100, true}));
    EXPECT_EQ(marks.IconIndex(3), 13);

    const TMPHBookmarks::Table before = marks.All();
    EXPECT_THROW(marks.Set(10, 0, false), EMPHexEditor);
    EXPECT_THROW(marks.Set(-1, 0, false), EMPHexEditor);
    EXPECT_EQ(marks.All(), before);
}

TEST(Bookmarks, ShiftFollowsChangesAndClearsWhatLeavesTheData)
{
    TMPHBookmarks marks;
    marks.Set(0, 60, false);
    marks.Set(1, 40, true);
    // Four bytes inserted at 50: 60 moves to 64, 40 stays.
    EXPECT_TRUE(marks.Shift(50, 4, 104));
    EXPECT_EQ(marks.At(0).mPosition, 64);
    EXPECT_EQ(marks.At(1), (TMPHBookmark{40, true}));
    EXPECT_FALSE(marks.Shift(65, 4, 104)); // nothing at or after 65
    EXPECT_FALSE(marks.Shift(-1, 4, 104)); // negative start: nothing

    EXPECT_TRUE(marks.Shift(64, 40, 104)); // exactly the data size: kept (append position)
    EXPECT_EQ(marks.At(0).mPosition, 104);
    EXPECT_TRUE(marks.Shift(64, 1, 104));
    EXPECT_EQ(marks.At(0).mPosition, -1);
    EXPECT_TRUE(marks.Shift(0, -50, 104)); // below 0: cleared as well
    EXPECT_EQ(marks.At(1).mPosition, -1);

    marks.Set(4, INT32_MAX - 1, false); // no overflow near the top
    EXPECT_TRUE(marks.Shift(0, 10, INT64_C(0x7FFFFFFF)));
    EXPECT_EQ(marks.At(4).mPosition, -1);
}

TEST(Bookmarks, StaleAtTheEndUnlessInsertMode)
{
    TMPHBookmarks marks;
    marks.Set(0, 100, false);
    EXPECT_TRUE(marks.CanGoTo(0, 100, true));
    EXPECT_TRUE(marks.IsStale(0, 100, false));
    EXPECT_FALSE(marks.IsStale(5, 100, false)); // unset is not stale
    EXPECT_TRUE(marks.IsOnRow(0, 100 / 16 + 2, 16));
}
