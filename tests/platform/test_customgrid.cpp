// Current cell, counts, geometry and scrolling of the grid base.
#include "test_customgrid_fixture.h"

#include <QElapsedTimer>
#include <QScrollBar>

namespace {

TEST_F(GridTest, CurrentCellMovesOnlyWhenTheHookAccepts)
{
    ASSERT_TRUE(grid.MoveColRow(4, 5));
    EXPECT_TRUE(grid.MoveColRow(4, 5)) << "the hook runs even when the cell stays";
    grid.SetCol(4); // a setter without a change does not ask
    EXPECT_EQ(grid.asked, (std::vector<Cell>{{4, 5}, {4, 5}}));
    EXPECT_EQ(grid.changedFrom, (std::vector<Cell>{{2, 2}}));

    grid.veto = [](int, int) { return false; };
    EXPECT_FALSE(grid.MoveColRow(7, 9));
    grid.SetCol(8);
    grid.SetRow(12);
    EXPECT_EQ(current(), Cell(4, 5));
    EXPECT_EQ(grid.changedFrom.size(), 1u);

    grid.veto = nullptr;
    EXPECT_FALSE(grid.BaseSelectCell(1, 5));
    EXPECT_FALSE(grid.BaseSelectCell(5, 1));
    EXPECT_TRUE(grid.BaseSelectCell(11, 99));
    grid.asked.clear();
    EXPECT_FALSE(grid.MoveColRow(12, 5));
    EXPECT_FALSE(grid.MoveColRow(5, -1));
    EXPECT_TRUE(grid.asked.empty()) << "the hook never sees cells outside the grid";
}

TEST_F(GridTest, MoveMadeInsideTheHookWins)
{
    // Any move to column 9 is redirected by the hook to column 3 of the same
    // row (re-entrantly) and then refused.
    bool inHook = false;
    grid.veto = [&](int col, int row) {
        if (inHook || col != 9)
            return true;
        inHook = true;
        grid.MoveColRow(3, row);
        inHook = false;
        return false;
    };
    EXPECT_FALSE(grid.MoveColRow(9, 40));
    EXPECT_EQ(current(), Cell(3, 40));
    EXPECT_EQ(grid.asked, (std::vector<Cell>{{9, 40}, {3, 40}}));
    EXPECT_FALSE(grid.CellRect(3, 40).isEmpty()) << "the inner move scrolled its cell in";
    grid.SetCol(9);
    EXPECT_EQ(current(), Cell(3, 40));

    // A forced cell is neither asked for nor scrolled to.
    grid.veto = [&](int, int row) {
        grid.ForceCurrentCell(2, row + 1);
        return false;
    };
    grid.asked.clear();
    EXPECT_FALSE(grid.MoveColRow(5, 90, false));
    EXPECT_EQ(current(), Cell(2, 91));
    EXPECT_EQ(grid.asked.size(), 1u);
    EXPECT_TRUE(grid.CellRect(2, 91).isEmpty());
}

TEST_F(GridTest, CountChangesClampCurrentCellAndTopLeft)
{
    ASSERT_TRUE(grid.MoveColRow(10, 80));
    grid.changedFrom.clear();
    grid.SetRowCount(20);
    EXPECT_EQ(grid.Row(), 19);
    EXPECT_EQ(grid.TopRow(), 10) << "the last page of 10 rows starts at row 10";
    grid.SetColCount(6);
    EXPECT_EQ(current(), Cell(5, 19));
    EXPECT_EQ(grid.LeftCol(), 2);
    EXPECT_EQ(grid.changedFrom, (std::vector<Cell>{{10, 80}, {10, 19}}));
    grid.SetFixedRows(4);
    EXPECT_EQ(grid.Row(), 19);
    grid.SetRowCount(5);
    EXPECT_EQ(grid.Row(), 4);
    EXPECT_EQ(grid.TopRow(), 4);

    // Refused structure changes leave everything as it was.
    EXPECT_THROW(grid.SetFixedCols(6), EInvalidGridOperation);
    EXPECT_THROW(grid.SetRowCount(0), EInvalidGridOperation);
    EXPECT_THROW(grid.SetColWidths(6, 5), EInvalidGridOperation);
    EXPECT_THROW(grid.SetRowHeights(3, -1), EInvalidGridOperation);
    EXPECT_EQ(grid.FixedCols(), 2);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.RowHeights(3), 16);

    grid.SetDefaultColWidth(7);
    EXPECT_EQ(grid.ColWidths(0), 7) << "the default resets every width";
}

TEST_F(GridTest, CellRectsAndMouseCoordAgree)
{
    EXPECT_EQ(grid.CellRect(0, 2), QRect(0, 0, 30, 16)) << "rows 0 and 1 take no space";
    EXPECT_EQ(grid.CellRect(3, 3), QRect(56, 16, 20, 16));
    EXPECT_EQ(grid.CellRect(10, 2), QRect(196, 0, 20, 16)) << "partly visible, full rectangle";
    EXPECT_TRUE(grid.CellRect(11, 2).isEmpty());
    EXPECT_TRUE(grid.CellRect(2, 12).isEmpty());
    EXPECT_TRUE(grid.CellRect(2, 1).isEmpty());

    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            grid.SetLeftCol(4);
            grid.SetTopRow(50);
            EXPECT_EQ(grid.CellRect(0, 50), QRect(0, 0, 30, 16)) << "fixed columns stay";
            EXPECT_TRUE(grid.CellRect(3, 50).isEmpty());
            EXPECT_TRUE(grid.CellRect(4, 49).isEmpty());
        }
        const auto cells = visibleCells();
        // 11 columns (the last one partly) or, scrolled, 10 columns by 10 rows.
        EXPECT_EQ(cells.size(), pass == 0 ? 110u : 100u);
        for (const auto& [cell, r] : cells) {
            const QRect in = r.intersected(grid.viewport()->rect());
            for (const QPoint& p : {in.topLeft(), in.bottomRight()}) {
                const TGridCoord c = grid.MouseCoord(p.x(), p.y());
                EXPECT_EQ(Cell(c.X, c.Y), cell);
            }
        }
    }
    grid.SetColCount(5); // now the grid ends at x = 96, y = 160
    const TGridCoord right = grid.MouseCoord(96, 5);
    const TGridCoord out = grid.MouseCoord(5, 160);
    EXPECT_EQ(Cell(right.X, right.Y), Cell(-1, -1));
    EXPECT_EQ(Cell(out.X, out.Y), Cell(-1, -1));
}

TEST_F(GridTest, ScrollingStopsAtTheLastPageAndDrivesTheScrollBars)
{
    QScrollBar* v = grid.verticalScrollBar();
    grid.SetTopRow(1000);
    EXPECT_EQ(grid.TopRow(), 90);
    EXPECT_EQ(grid.CellRect(2, 99).bottom(), 159);
    grid.SetLeftCol(-3);
    EXPECT_EQ(grid.LeftCol(), 2);
    EXPECT_EQ(v->maximum(), 90);
    EXPECT_EQ(v->value(), 90);
    EXPECT_EQ(v->pageStep(), 10);

    grid.SetRowCount(30);
    EXPECT_EQ(v->maximum(), 20);
    EXPECT_EQ(v->value(), 20);
    grid.SetColWidths(11, 100);
    EXPECT_EQ(grid.horizontalScrollBar()->maximum(), 8) << "columns 8 to 11 make the last page";

    v->setValue(12);
    EXPECT_EQ(grid.TopRow(), 12);
    grid.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(grid.LeftCol(), 3);
    EXPECT_EQ(grid.topLeftChanges, 4);

    // A taller viewport pulls a top row on the last page back.
    grid.SetTopRow(20);
    grid.resize(200, 320);
    settle();
    EXPECT_EQ(grid.TopRow(), 10);
    EXPECT_EQ(grid.VisibleRowCount(), 20);
}

TEST_F(GridTest, ScrollInViewBringsAFarCellIn)
{
    EXPECT_TRUE(grid.MoveColRow(11, 75, false));
    EXPECT_TRUE(grid.CellRect(11, 75).isEmpty());
    grid.ScrollInView(11, 75);
    ASSERT_TRUE(grid.viewport()->rect().contains(grid.CellRect(11, 75)));
    EXPECT_EQ(grid.TopRow(), 66) << "the row becomes the last whole one";
    EXPECT_EQ(grid.LeftCol(), 4);
    EXPECT_EQ(grid.topLeftChanges, 1) << "one notification for both directions";

    grid.ScrollInView(3, 40);
    EXPECT_EQ(grid.TopRow(), 40);
    EXPECT_EQ(grid.LeftCol(), 3);
    grid.ScrollInView(5, 45); // already wholly visible
    grid.ScrollInView(0, 0);  // fixed
    EXPECT_EQ(grid.topLeftChanges, 2);
    grid.SetLeftCol(2);
    grid.ScrollInView(10, 40); // partly visible at the right edge
    EXPECT_EQ(grid.LeftCol(), 3);
}

TEST_F(GridTest, HugeRowCountsStayCheap)
{
    // Two thousand million rows: nothing may walk them one by one.
    QElapsedTimer timer;
    timer.start();
    grid.SetDefaultRowHeight(0);
    grid.SetRowCount(2000000000);
    EXPECT_EQ(grid.VisibleRowCount(), 2000000000 - 2);
    grid.grab();
    grid.SetDefaultRowHeight(16);
    grid.SetRowHeights(0, 0);
    grid.SetRowHeights(1, 0);
    grid.SetTopRow(2000000000);
    EXPECT_EQ(grid.TopRow(), 2000000000 - 10);
    EXPECT_EQ(grid.CellRect(2, 1999999999), QRect(36, 144, 20, 16));
    const TGridCoord c = grid.MouseCoord(40, 150);
    EXPECT_EQ(Cell(c.X, c.Y), Cell(2, 1999999999));
    grid.grab();
    EXPECT_LT(timer.elapsed(), 2000);
}

TEST(GridScrollBars, ShownScrollBarsNarrowTheLastPage)
{
    ProbeGrid grid;
    grid.SetColCount(12);
    grid.SetRowCount(100);
    grid.SetDefaultColWidth(20);
    grid.SetDefaultRowHeight(16);
    grid.resize(200, 160);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QTest::qWait(20);
    ASSERT_TRUE(grid.verticalScrollBar()->isVisible());
    ASSERT_TRUE(grid.horizontalScrollBar()->isVisible());
    grid.SetLeftCol(1000);
    grid.SetTopRow(1000);
    // The last cell ends inside the viewport and one more would not fit.
    const QRect last = grid.CellRect(11, 99);
    ASSERT_FALSE(last.isEmpty());
    EXPECT_LE(last.right(), grid.viewport()->rect().right());
    EXPECT_LE(last.bottom(), grid.viewport()->rect().bottom());
    EXPECT_GT(last.right() + 1 + 20, grid.viewport()->width());
    EXPECT_GT(last.bottom() + 1 + 16, grid.viewport()->height());
    EXPECT_EQ(grid.verticalScrollBar()->maximum(), grid.TopRow());
}

} // namespace
