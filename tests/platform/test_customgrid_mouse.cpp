// The grid base's mouse handling: hit testing beyond the view, the selecting
// state, auto-scroll toward the pointer and the can-focus answer.

#include "test_customgrid_fixture.h"

#include <QApplication>
#include <QMouseEvent>

namespace {

void sendMouse(QWidget* port, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent ev(type, QPointF(at), port->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(port, &ev);
}

// Cell (col, row) of the fixture's layout: columns start at 36 px, rows at 0.
QPoint centerOf(int col, int row)
{
    return QPoint(36 + (col - 2) * 20 + 10, (row - 2) * 16 + 8);
}

} // namespace

TEST_F(GridTest, CoordinatesBeyondTheViewContinueTheGrid)
{
    EXPECT_EQ(grid.MouseCoord(50, 170).X, -1) << "the clipped form knows only the view";
    const TGridCoord below = grid.MouseCoordUnclipped(50, 160 + 16 * 3 + 1);
    EXPECT_EQ(below.X, 2);
    EXPECT_EQ(below.Y, 2 + 13);
    const TGridCoord above = grid.MouseCoordUnclipped(50, -30);
    EXPECT_EQ(above.Y, 0) << "above the grid: the first row";
    const TGridCoord left = grid.MouseCoordUnclipped(-5, 20);
    EXPECT_EQ(left.X, 0);
    EXPECT_EQ(grid.MouseCoordUnclipped(50, 16 * 200).Y, -1) << "past the last row: none";
    EXPECT_EQ(grid.MouseCoordUnclipped(36 + 20 * 10 + 5, 20).X, -1) << "past the last column: none";
}

TEST_F(GridTest, LeftPressMovesTheCurrentCellAndSelectsUntilRelease)
{
    QWidget* port = grid.viewport();
    sendMouse(port, QEvent::MouseButtonPress, centerOf(4, 5), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(current(), Cell(4, 5));
    EXPECT_TRUE(grid.IsSelecting());
    sendMouse(port, QEvent::MouseMove, centerOf(6, 7), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(current(), Cell(6, 7)) << "the current cell follows the pointer";
    sendMouse(port, QEvent::MouseButtonRelease, centerOf(6, 7), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(grid.IsSelecting());
    sendMouse(port, QEvent::MouseMove, centerOf(3, 3), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(current(), Cell(6, 7)) << "moves without selecting change nothing";

    // The right button and presses on fixed cells do not move the current cell.
    sendMouse(port, QEvent::MouseButtonPress, centerOf(3, 3), Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(current(), Cell(6, 7));
    EXPECT_FALSE(grid.IsSelecting());
    sendMouse(port, QEvent::MouseButtonRelease, centerOf(3, 3), Qt::RightButton, Qt::NoButton);
    sendMouse(port, QEvent::MouseButtonPress, QPoint(10, 40), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(current(), Cell(6, 7));
    EXPECT_FALSE(grid.IsSelecting());
    sendMouse(port, QEvent::MouseButtonRelease, QPoint(10, 40), Qt::LeftButton, Qt::NoButton);
}

TEST_F(GridTest, TheTimerScrollsTowardAPointerBelowTheView)
{
    QWidget* port = grid.viewport();
    sendMouse(port, QEvent::MouseButtonPress, centerOf(4, 5), Qt::LeftButton, Qt::LeftButton);
    sendMouse(port, QEvent::MouseMove, QPoint(centerOf(5, 5).x(), 200), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(grid.TopRow(), 2) << "moving out does not scroll by itself";
    QTest::qWait(5 * TCustomGrid::ScrollTimerInterval);
    EXPECT_GT(grid.TopRow(), 2);
    EXPECT_EQ(grid.Row(), grid.TopRow() + grid.VisibleRowCount() - 1) << "the current cell rides the bottom edge";
    EXPECT_EQ(grid.Col(), 5) << "and follows the pointer's column";

    // Back above the view: scrolls up.
    const int top = grid.TopRow();
    sendMouse(port, QEvent::MouseMove, QPoint(centerOf(5, 5).x(), -10), Qt::NoButton, Qt::LeftButton);
    QTest::qWait(3 * TCustomGrid::ScrollTimerInterval);
    EXPECT_LT(grid.TopRow(), top);
    EXPECT_EQ(grid.Row(), grid.TopRow());
    sendMouse(port, QEvent::MouseButtonRelease, QPoint(centerOf(5, 5).x(), -10), Qt::LeftButton, Qt::NoButton);
    const int stopped = grid.TopRow();
    QTest::qWait(3 * TCustomGrid::ScrollTimerInterval);
    EXPECT_EQ(grid.TopRow(), stopped);
}

TEST_F(GridTest, CanFocusFollowsPolicyEnabledAndVisible)
{
    EXPECT_TRUE(grid.CanFocus());
    grid.setEnabled(false);
    EXPECT_FALSE(grid.CanFocus());
    grid.setEnabled(true);
    grid.setFocusPolicy(Qt::NoFocus);
    EXPECT_FALSE(grid.CanFocus());
    grid.setFocusPolicy(Qt::StrongFocus);
    grid.hide();
    EXPECT_FALSE(grid.CanFocus());
}

TEST_F(GridTest, RightToLeftLayoutMirrorsHitsAndRepaints)
{
    grid.setLayoutDirection(Qt::RightToLeft);
    QWidget* port = grid.viewport();
    const auto mirrored = [](QPoint p) { return QPoint(200 - 1 - p.x(), p.y()); };

    // Cell (4, 5) is shown at the mirrored place of its grid rectangle.
    const QRect shown = grid.PhysicalRect(grid.CellRect(4, 5));
    EXPECT_EQ(shown, QRect(200 - 36 - 2 * 20 - 20, 3 * 16, 20, 16));
    EXPECT_TRUE(shown.contains(mirrored(centerOf(4, 5))));
    EXPECT_EQ(grid.MouseCoord(shown.center().x(), shown.center().y()).X, 4);
    EXPECT_EQ(grid.LogicalX(grid.LogicalX(17)), 17);

    sendMouse(port, QEvent::MouseButtonPress, mirrored(centerOf(4, 5)), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(current(), Cell(4, 5));
    sendMouse(port, QEvent::MouseMove, mirrored(centerOf(6, 7)), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(current(), Cell(6, 7));
    sendMouse(port, QEvent::MouseButtonRelease, mirrored(centerOf(6, 7)), Qt::LeftButton, Qt::NoButton);

    // The fixed column stands on the right: a press there is on a fixed cell;
    // the grid goes on to the left, past the view's left edge.
    sendMouse(port, QEvent::MouseButtonPress, QPoint(190, 40), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(current(), Cell(6, 7));
    sendMouse(port, QEvent::MouseButtonRelease, QPoint(190, 40), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(grid.MouseCoordUnclipped(-5, 20).X, 10);
    EXPECT_EQ(grid.MouseCoordUnclipped(mirrored(QPoint(36 + 20 * 10 + 5, 20)).x(), 20).X, -1)
        << "past the last column: none";
    EXPECT_EQ(grid.MouseCoordUnclipped(205, 20).X, 0) << "right of the grid: the first column";

    // Left to right again, nothing is mirrored.
    grid.setLayoutDirection(Qt::LeftToRight);
    EXPECT_EQ(grid.PhysicalRect(grid.CellRect(4, 5)), grid.CellRect(4, 5));
    EXPECT_EQ(grid.LogicalX(17), 17);
}
