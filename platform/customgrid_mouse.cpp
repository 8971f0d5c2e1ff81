// The grid base's own mouse handling: focus on press, moving the current
// cell under the pointer, the selecting state and its auto-scroll timer.

#include "platform/customgrid.h"

#include <QMouseEvent>
#include <QTimerEvent>

#include <algorithm>

bool TCustomGrid::CanFocus() const
{
    return focusPolicy() != Qt::NoFocus && isEnabled() && isVisible();
}

void TCustomGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    m_lastMousePoint = p;
    if (CanFocus() || !parentWidget())
        setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) {
        const TGridCoord cell = MouseCoordUnclipped(p.x(), p.y());
        if (cell.X >= m_fixedCols && cell.Y >= m_fixedRows) {
            MoveColRow(cell.X, cell.Y, true);
            m_selecting = true;
            m_scrollTimer.start(ScrollTimerInterval, this);
        }
    }
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
    event->accept();
}

void TCustomGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click takes the focus but neither moves
    // the current cell nor starts selecting.
    const QPoint p = event->position().toPoint();
    m_lastMousePoint = p;
    if (CanFocus() || !parentWidget())
        setFocus(Qt::MouseFocusReason);
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
    event->accept();
}

void TCustomGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    m_lastMousePoint = p;
    if (!m_selecting)
        return;
    if (!event->buttons().testFlag(Qt::LeftButton)) {
        // The release went elsewhere (e.g. a popup took the mouse).
        EndSelecting();
        return;
    }
    // Inside the view the cell under the pointer becomes current; outside,
    // the scroll timer moves it along the edge.
    const TGridCoord cell = MouseCoordUnclipped(p.x(), p.y());
    const bool colInView = cell.X >= m_leftCol && cell.X <= m_leftCol + VisibleColCount();
    const bool rowInView = cell.Y >= m_topRow && cell.Y <= m_topRow + VisibleRowCount();
    if (cell.X >= m_fixedCols && cell.Y >= m_fixedRows && colInView && rowInView
        && (cell.X != m_col || cell.Y != m_row))
        MoveColRow(cell.X, cell.Y, false);
}

void TCustomGrid::mouseReleaseEvent(QMouseEvent* event)
{
    m_lastMousePoint = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        EndSelecting();
    event->accept();
}

void TCustomGrid::EndSelecting()
{
    m_selecting = false;
    m_scrollTimer.stop();
}

void TCustomGrid::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_scrollTimer.timerId()) {
        ScrollTimerTick();
        return;
    }
    QAbstractScrollArea::timerEvent(event);
}

void TCustomGrid::ScrollTimerTick()
{
    ScrollTowards(m_lastMousePoint);
}

void TCustomGrid::ScrollTowards(QPoint point)
{
    if (!m_selecting)
        return;
    const int visibleRows = VisibleRowCount();
    const int visibleCols = VisibleColCount();
    // Where the wholly visible cells end.
    int bottom = fixedHeight();
    int right = fixedWidth();
    int start = 0;
    int size = 0;
    if (visibleRows > 0 && rowBand(m_topRow + visibleRows - 1, start, size))
        bottom = start + size;
    if (visibleCols > 0 && colBand(m_leftCol + visibleCols - 1, start, size))
        right = start + size;
    int dRow = 0;
    if (point.y() < fixedHeight())
        dRow = -1;
    else if (point.y() >= bottom)
        dRow = 1;
    int dCol = 0;
    const int x = LogicalX(point.x());
    if (x < fixedWidth())
        dCol = -1;
    else if (x >= right)
        dCol = 1;
    if (dRow == 0 && dCol == 0)
        return;

    const TGridCoord hit = MouseCoordUnclipped(point.x(), point.y());
    setTopLeft(m_leftCol + dCol, m_topRow + dRow);

    // The current cell goes to the edge the grid scrolled toward; along the
    // other axis it follows the pointer within the view.
    const int lastRow = std::min(m_rowCount - 1, m_topRow + std::max(1, VisibleRowCount()) - 1);
    const int lastCol = std::min(m_colCount - 1, m_leftCol + std::max(1, VisibleColCount()) - 1);
    int row = dRow < 0 ? m_topRow : dRow > 0 ? lastRow : std::clamp(hit.Y, m_topRow, lastRow);
    int col = dCol < 0 ? m_leftCol : dCol > 0 ? lastCol : std::clamp(hit.X, m_leftCol, lastCol);
    if (col != m_col || row != m_row)
        MoveColRow(col, row, false);
}
