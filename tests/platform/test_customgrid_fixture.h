#pragma once
// A grid whose hooks are recorded, laid out like the editor: 12 columns (a
// 30 px gutter, a 6 px spacer, ten 20 px columns) and 100 rows (two fixed rows
// of height 0, then 16 px rows) in a 200 x 160 viewport, so 8 scrolling
// columns fit wholly (the ninth partly) and 10 rows.
#include "platform/customgrid.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

using Cell = std::pair<int, int>;

class ProbeGrid : public TCustomGrid
{
public:
    std::function<bool(int, int)> veto; // answers SelectCell when set
    std::vector<Cell> asked;
    std::vector<Cell> changedFrom;
    int topLeftChanges = 0;
    std::map<Cell, std::pair<int, QRect>> drawn; // cell -> (calls, last rectangle)

    bool BaseSelectCell(int col, int row) { return TCustomGrid::SelectCell(col, row); }

protected:
    bool SelectCell(int col, int row) override
    {
        asked.emplace_back(col, row);
        return veto ? veto(col, row) : TCustomGrid::SelectCell(col, row);
    }
    void CurrentCellChanged(int oldCol, int oldRow) override { changedFrom.emplace_back(oldCol, oldRow); }
    void TopLeftChanged() override { ++topLeftChanges; }
    void DrawCell(QPainter& painter, int col, int row, const QRect& rect) override
    {
        auto& entry = drawn[{col, row}];
        ++entry.first;
        entry.second = rect;
        TCustomGrid::DrawCell(painter, col, row, rect);
    }
};

class GridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        grid.setFrameStyle(QFrame::NoFrame);
        grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid.SetColCount(12);
        grid.SetRowCount(100);
        grid.SetFixedCols(2);
        grid.SetFixedRows(2);
        grid.SetDefaultColWidth(20);
        grid.SetDefaultRowHeight(16);
        grid.SetColWidths(0, 30);
        grid.SetColWidths(1, 6);
        grid.SetRowHeights(0, 0);
        grid.SetRowHeights(1, 0);
        grid.resize(200, 160);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
        ASSERT_EQ(grid.viewport()->size(), QSize(200, 160));
        settle();
        grid.asked.clear();
        grid.changedFrom.clear();
        grid.topLeftChanges = 0;
        grid.drawn.clear();
    }

    // Lets pending updates and layout requests run.
    static void settle()
    {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
            QTest::qWait(5);
        }
    }

    // Every cell with a visible rectangle, found through CellRect alone.
    std::map<Cell, QRect> visibleCells() const
    {
        std::map<Cell, QRect> cells;
        for (int row = 0; row < grid.RowCount(); ++row)
            for (int col = 0; col < grid.ColCount(); ++col)
                if (const QRect r = grid.CellRect(col, row); !r.isEmpty())
                    cells[{col, row}] = r;
        return cells;
    }

    Cell current() const { return {grid.Col(), grid.Row()}; }

    ProbeGrid grid;
};
