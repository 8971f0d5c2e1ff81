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

namespace {
TPrintRowsRequest Whole(int64_t size)
{
    TPrintRowsRequest r;
    r.DataSize = size;
    r.BytesPerRow = 16;
    return r;
}
TPrintRowsRequest Selected(int64_t size, int64_t first, int64_t last)
{
    TPrintRowsRequest r = Whole(size);
    r.SelectionOnly = true;
    r.SelFirst = first;
    r.SelLast = last;
    return r;
}
TPrintRowsRequest Viewed(int64_t size, int64_t firstVisible, int64_t visible)
{
    TPrintRowsRequest r = Whole(size);
    r.ViewOnly = true;
    r.FirstVisible = firstVisible;
    r.VisibleCount = visible;
    return r;
}
} // namespace

TEST(PrintLayout, RowsOfTheWholeDataTheSelectionOrTheView)
{
    TPrintRows all = PrintRowsFor(Whole(1000));
    EXPECT_EQ(all.First, 0);
    EXPECT_EQ(all.Count, 63);
    EXPECT_EQ(PrintRowsFor(Whole(0)).Count, 0);

    TPrintRows sel = PrintRowsFor(Selected(1000, 20, 40));
    EXPECT_EQ(sel.First, 1);
    EXPECT_EQ(sel.Count, 2);
    // Selection-only without a selection prints everything.
    EXPECT_EQ(PrintRowsFor(Selected(1000, -1, -1)).Count, 63);
    // A selection reaching past the data is clipped to it.
    EXPECT_EQ(PrintRowsFor(Selected(1000, 990, 5000)).Count, 2);

    TPrintRows view = PrintRowsFor(Viewed(1000, 60, 10));
    EXPECT_EQ(view.First, 60);
    EXPECT_EQ(view.Count, 3);
    EXPECT_EQ(PrintRowsFor(Viewed(1000, -5, 10)).First, 0);
}

TEST(PrintLayout, PageCountRoundsUpAndIsAtLeastOne)
{
    EXPECT_EQ(PageCountFor(0, 50), 1);
    EXPECT_EQ(PageCountFor(50, 50), 1);
    EXPECT_EQ(PageCountFor(51, 50), 2);
    EXPECT_EQ(PageCountFor(10, 0), 10);
}

TEST(PrintLayout, WithoutHeaderAndFooterThePagesNameTheFileAndCountThemselves)
{
    const TPageTexts defaults = PageTextsFor(QString(), QString());
    EXPECT_EQ(ExpandPageText(defaults.Header, 2, 5, "/x/fw.bin"), "fw.bin");
    EXPECT_EQ(ExpandPageText(defaults.Footer, 2, 5, "/x/fw.bin"), "Page 2 of 5");
    EXPECT_EQ(ReservedLines(defaults, false), 4);
    // Once either is set, both are taken as they are.
    const TPageTexts footerOnly = PageTextsFor(QString(), "p. %p");
    EXPECT_TRUE(footerOnly.Header.isEmpty());
    EXPECT_EQ(footerOnly.Footer, "p. %p");
    EXPECT_EQ(ReservedLines(footerOnly, true), 3);
    EXPECT_EQ(PageTextsFor("H", QString()).Footer, QString());
}

TEST(PrintLayout, RowsOfEachPageAndThePageOfARow)
{
    // Rows 10..34 (25 rows) at 10 rows a page: 10, 10, 5.
    const TPrintRows rows{10, 25};
    EXPECT_EQ(PageCountFor(rows.Count, 10), 3);
    EXPECT_EQ(RowsOnPage(rows, 10, 1).First, 10);
    EXPECT_EQ(RowsOnPage(rows, 10, 1).Count, 10);
    EXPECT_EQ(RowsOnPage(rows, 10, 2).First, 20);
    EXPECT_EQ(RowsOnPage(rows, 10, 3).First, 30);
    EXPECT_EQ(RowsOnPage(rows, 10, 3).Count, 5);
    EXPECT_EQ(RowsOnPage(rows, 10, 4).Count, 0);
    EXPECT_EQ(RowsOnPage(rows, 10, 0).Count, 0);
    EXPECT_EQ(RowsOnPage(TPrintRows{0, 0}, 10, 1).Count, 0);

    EXPECT_EQ(PageOfRow(rows, 10, 10), 1);
    EXPECT_EQ(PageOfRow(rows, 10, 19), 1);
    EXPECT_EQ(PageOfRow(rows, 10, 20), 2);
    EXPECT_EQ(PageOfRow(rows, 10, 34), 3);
    // Rows outside the printout belong to its first or last page.
    EXPECT_EQ(PageOfRow(rows, 10, 2), 1);
    EXPECT_EQ(PageOfRow(rows, 10, 500), 3);
    EXPECT_EQ(PageOfRow(TPrintRows{0, 0}, 10, 7), 1);
}

TEST(PrintLayout, PageRangesAreClippedToThePrintout)
{
    auto span = [](int pages, int from, int to) {
        const TPageSpan s = PageSpanFor(pages, from, to);
        return std::pair(s.First, s.Last);
    };
    EXPECT_EQ(span(10, 0, 0), std::pair(1, 10));
    EXPECT_EQ(span(10, 3, 5), std::pair(3, 5));
    EXPECT_EQ(span(10, 8, 20), std::pair(8, 10));
    EXPECT_EQ(span(10, 0, 4), std::pair(1, 4));
    EXPECT_EQ(span(10, 5, 3), std::pair(3, 5));
    // Wholly outside: nothing to print.
    const TPageSpan outside = PageSpanFor(3, 5, 7);
    EXPECT_GT(outside.First, outside.Last);
}
