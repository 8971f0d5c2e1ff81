// The rows a data change alters, without a widget.
#include "hexeditor/core/mphdatachange.h"

#include <gtest/gtest.h>

namespace {

const TMPHGridGeometry Geo(16, false);

TEST(DataChange, AnOverwriteAltersTheRowsOfItsBytesOnly)
{
    EXPECT_EQ(ChangedRows(Geo, {37, 1, 1}, 100), (TMPHRowSpan{4, 4}));
    // A word across a row end reaches into the next row.
    EXPECT_EQ(ChangedRows(Geo, {15, 2, 2}, 100), (TMPHRowSpan{2, 3}));
    EXPECT_EQ(ChangedRows(Geo, {0, 64, 64}, 100), (TMPHRowSpan{2, 5}));
}

TEST(DataChange, ASizeChangeAltersEverythingBehindIt)
{
    // Insert 3 at 20 into 100 bytes: rows from 20's on, to the new end (103).
    EXPECT_EQ(ChangedRows(Geo, {20, 0, 3}, 103), (TMPHRowSpan{3, 8}));
    // Remove 40 at 5 from 100: to the old end, whose rows are gone or empty now.
    EXPECT_EQ(ChangedRows(Geo, {5, 40, 0}, 60), (TMPHRowSpan{2, 8}));
    // Appending at the end of a full row starts with the append row.
    EXPECT_EQ(ChangedRows(Geo, {32, 0, 1}, 33), (TMPHRowSpan{4, 4}));
    // A replacement by a shorter run counts from its position.
    EXPECT_EQ(ChangedRows(Geo, {50, 10, 2}, 92), (TMPHRowSpan{5, 8}));
}

TEST(DataChange, NothingChangedAltersNoRow)
{
    EXPECT_TRUE(ChangedRows(Geo, {10, 0, 0}, 100).IsEmpty());
    EXPECT_TRUE(ChangedRows(Geo, {-1, 1, 1}, 100).IsEmpty());
    EXPECT_FALSE((TMPHDataChange{3, 2, 2}).ChangesSize());
    EXPECT_TRUE((TMPHDataChange{3, 2, 5}).ChangesSize());
}

} // namespace
