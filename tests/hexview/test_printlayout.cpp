// Page texts and the rows a printout covers.

#include "hexview/core/printlayout.h"

#include <gtest/gtest.h>

using namespace hexview;

TEST(PrintLayout, PageTextPlaceholders)
{
    const QDate date(2026, 12, 8);
    EXPECT_EQ(ExpandPageText("%f page %p of %n", 2, 7, "/data/fw/image.bin", date), "image.bin page 2 of 7");
    EXPECT_EQ(ExpandPageText("%F on %d", 1, 1, "/data/fw/image.bin", date), "/data/fw/image.bin on 2026-12-08");
    EXPECT_EQ(ExpandPageText("100%% %x %", 1, 1, "a", date), "100% %x %");
    EXPECT_EQ(ExpandPageText("", 1, 1, "a", date), "");
}

TEST(PrintLayout, RowsOfTheWholeDataTheSelectionOrTheView)
{
    TPrintRows all = PrintRowsFor(1000, 16, false, -1, -1, false, 0, 0);
    EXPECT_EQ(all.First, 0);
    EXPECT_EQ(all.Count, 63);
    EXPECT_EQ(PrintRowsFor(0, 16, false, -1, -1, false, 0, 0).Count, 0);

    TPrintRows sel = PrintRowsFor(1000, 16, true, 20, 40, false, 0, 0);
    EXPECT_EQ(sel.First, 1);
    EXPECT_EQ(sel.Count, 2);
    // Selection-only without a selection prints everything.
    EXPECT_EQ(PrintRowsFor(1000, 16, true, -1, -1, false, 0, 0).Count, 63);
    // A selection reaching past the data is clipped to it.
    EXPECT_EQ(PrintRowsFor(1000, 16, true, 990, 5000, false, 0, 0).Count, 2);

    TPrintRows view = PrintRowsFor(1000, 16, false, -1, -1, true, 60, 10);
    EXPECT_EQ(view.First, 60);
    EXPECT_EQ(view.Count, 3);
    EXPECT_EQ(PrintRowsFor(1000, 16, false, -1, -1, true, -5, 10).First, 0);
}

TEST(PrintLayout, PageCountRoundsUpAndIsAtLeastOne)
{
    EXPECT_EQ(PageCountFor(0, 50), 1);
    EXPECT_EQ(PageCountFor(50, 50), 1);
    EXPECT_EQ(PageCountFor(51, 50), 2);
    EXPECT_EQ(PageCountFor(10, 0), 10);
}
