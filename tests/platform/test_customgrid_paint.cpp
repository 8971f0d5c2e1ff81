// Painting and invalidation of the grid base.
#include "test_customgrid_fixture.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPaintEvent>
#include <QPixmap>

namespace {

// Collects the regions the viewport is asked to paint.
class PaintWatcher : public QObject
{
public:
    QRegion painted;
    int paints = 0;

    void reset()
    {
        painted = QRegion();
        paints = 0;
    }

    bool waitForPaint()
    {
        QElapsedTimer t;
        t.start();
        while (paints == 0 && t.elapsed() < 2000)
            QTest::qWait(5);
        return paints > 0;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++paints;
        }
        return false;
    }
};

class GridPaintTest : public GridTest
{
protected:
    void expectDrawnExactly(const std::map<Cell, QRect>& expected)
    {
        std::map<Cell, std::pair<int, QRect>> want;
        for (const auto& [cell, r] : expected)
            want[cell] = {1, r};
        EXPECT_EQ(grid.drawn, want);
    }
};

TEST_F(GridPaintTest, EveryVisibleCellIsDrawnOnce)
{
    grid.SetColWidths(5, 0);
    grid.SetRowHeights(4, 0);
    grid.grab();
    auto expected = visibleCells();
    EXPECT_EQ(expected.size(), 110u); // column 5 and row 4 gone, column 11 and row 12 in
    expectDrawnExactly(expected);

    grid.SetLeftCol(4);
    grid.SetTopRow(57);
    grid.drawn.clear();
    grid.grab();
    expected = visibleCells();
    EXPECT_TRUE(expected.count({0, 60}));
    expectDrawnExactly(expected);
}

TEST_F(GridPaintTest, PartialPaintDrawsOnlyTheCellsItMeets)
{
    const QRect target = grid.CellRect(4, 6);
    grid.viewport()->repaint(target);
    expectDrawnExactly({{{4, 6}, target}});

    grid.drawn.clear();
    grid.viewport()->repaint(QRect(0, 16, 36, 32)); // fixed columns of rows 3 and 4
    expectDrawnExactly({{{0, 3}, grid.CellRect(0, 3)}, {{1, 3}, grid.CellRect(1, 3)},
                        {{0, 4}, grid.CellRect(0, 4)}, {{1, 4}, grid.CellRect(1, 4)}});
}

TEST_F(GridPaintTest, CellsGetTheBaseColourAndTheRestTheBackground)
{
    QPalette pal = grid.palette();
    pal.setColor(QPalette::Base, QColor(250, 250, 250));
    pal.setColor(QPalette::Window, QColor(0, 0, 200));
    grid.setPalette(pal);
    grid.viewport()->setBackgroundRole(QPalette::Window);
    grid.SetColCount(5); // the grid ends at x = 96
    grid.SetRowCount(5); // and at y = 48
    const QImage image = grid.grab().toImage();
    EXPECT_EQ(image.pixelColor(95, 47), QColor(250, 250, 250));
    EXPECT_EQ(image.pixelColor(96, 10), QColor(0, 0, 200)) << "right of the last column";
    EXPECT_EQ(image.pixelColor(10, 48), QColor(0, 0, 200)) << "below the last row";
}

TEST_F(GridPaintTest, ChangesRepaintOnlyWhatTheyTouch)
{
    ASSERT_TRUE(grid.MoveColRow(3, 4));
    settle();
    PaintWatcher watcher;
    grid.viewport()->installEventFilter(&watcher);
    ASSERT_TRUE(grid.MoveColRow(5, 6));
    ASSERT_TRUE(watcher.waitForPaint());
    EXPECT_TRUE(watcher.painted.contains(grid.CellRect(3, 4)));
    EXPECT_TRUE(watcher.painted.contains(grid.CellRect(5, 6)));
    EXPECT_FALSE(watcher.painted.intersects(grid.CellRect(9, 10)));

    watcher.reset();
    grid.InvalidateRow(8);
    ASSERT_TRUE(watcher.waitForPaint());
    EXPECT_TRUE(watcher.painted.contains(grid.CellRect(0, 8).united(grid.CellRect(10, 8))));
    EXPECT_FALSE(watcher.painted.intersects(grid.CellRect(2, 7)));
    EXPECT_FALSE(watcher.painted.intersects(grid.CellRect(2, 9)));

    // Cells out of view ask for no painting at all.
    watcher.reset();
    grid.InvalidateCell(3, 90);
    grid.InvalidateRow(1);
    grid.InvalidateCol(11);
    settle();
    EXPECT_EQ(watcher.paints, 0);
}

} // namespace
