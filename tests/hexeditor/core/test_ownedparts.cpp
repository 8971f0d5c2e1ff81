// The editor's owned parts without a widget: the selection's stored
// positions and the document's saved state.
#include "hexeditor/core/mphdocument.h"
#include "hexeditor/core/mphselectionstate.h"

#include <gtest/gtest.h>

TEST(SelectionState, StoredPositionsAreClampedIntoTheDataAndCountFromFirstToLast)
{
    TMPHSelectionState s;
    EXPECT_EQ(s.Count(), 0);
    s.Store(3, 3, 9, 100);
    EXPECT_EQ(s.Count(), 7);
    // Past the end goes to the last byte, before the start to "none";
    // positions beyond 32 bits do not wrap.
    s.Store(int64_t(1) << 33, 90, int64_t(1) << 40, 100);
    EXPECT_EQ(s.Anchor, 99);
    EXPECT_EQ(s.Last, 99);
    EXPECT_EQ(s.Count(), 10);
    s.Store(-5, -5, 4, 100);
    EXPECT_EQ(s.First, -1);
    EXPECT_EQ(s.Count(), 0); // no anchor, no selection
    // Empty data: nothing can be selected.
    s.Store(0, 0, 0, 0);
    EXPECT_EQ(s.Count(), 0);
}

TEST(SelectionState, ClearEndsTheSelectionAndTheSelectingMove)
{
    TMPHSelectionState s;
    s.Store(5, 5, 8, 20);
    s.Origin = 5;
    s.Extending = true;
    s.Clear();
    EXPECT_EQ(s.Count(), 0);
    EXPECT_EQ(s.Anchor, -1);
    EXPECT_EQ(s.Origin, -1);
    EXPECT_FALSE(s.Extending);
}

TEST(Document, ASavedDocumentHasItsFileAndNoModificationOrMarks)
{
    TMPHDocument d;
    EXPECT_EQ(d.FileName, QStringLiteral("---"));
    EXPECT_TRUE(d.ReadOnlyFile);
    EXPECT_FALSE(d.HasFile);
    d.Modified = true;
    d.ChangedBytes.resize(10);
    d.ChangedBytes.setBit(4, true);
    d.Bookmarks.Set(1, 7, false);
    d.MarkSaved(QStringLiteral("/tmp/x.bin"));
    EXPECT_EQ(d.FileName, QStringLiteral("/tmp/x.bin"));
    EXPECT_TRUE(d.HasFile);
    EXPECT_FALSE(d.ReadOnlyFile);
    EXPECT_FALSE(d.Modified);
    EXPECT_EQ(d.ChangedBytes.size(), 0);
    // Bookmarks stay where they were.
    EXPECT_EQ(d.Bookmarks.At(1).mPosition, 7);
}
