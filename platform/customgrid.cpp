#include "platform/customgrid.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>
#include <limits>

namespace {

// One axis of the grid (the columns or the rows). The first items may carry
// sizes of their own; every item past the stored sizes has the default size.
// Row counts follow the data size and can run into the billions, so nothing
// here walks the default-sized tail item by item: it is done by arithmetic.
struct Axis
{
    const QVector<int>& sizes;
    int defaultSize;
    int count;

    int explicitEnd() const { return static_cast<int>(std::min<qsizetype>(sizes.size(), count)); }

    int size(int i) const { return i < sizes.size() ? sizes[i] : defaultSize; }

    // Total size of the items first .. last - 1.
    qint64 span(int first, int last) const
    {
        first = std::max(first, 0);
        last = std::min(last, count);
        if (first >= last)
            return 0;
        const int e = explicitEnd();
        qint64 total = 0;
        for (int i = first; i < std::min(last, e); ++i)
            total += sizes[i];
        const int tailFirst = std::max(first, e);
        if (last > tailFirst)
            total += qint64(last - tailFirst) * defaultSize;
        return total;
    }

    // How many items, starting at first, fit wholly into avail pixels.
    int fitting(int first, qint64 avail) const
    {
        if (avail < 0 || first >= count)
            return 0;
        const int e = explicitEnd();
        int i = std::max(first, 0);
        int n = 0;
        for (; i < e; ++i) {
            if (sizes[i] > avail)
                return n;
            avail -= sizes[i];
            ++n;
        }
        const qint64 rest = count - i;
        if (defaultSize == 0)
            return n + static_cast<int>(rest);
        return n + static_cast<int>(std::min<qint64>(rest, avail / defaultSize));
    }

    // The smallest first >= low for which the items first .. end - 1 all fit
    // into avail pixels; end - 1 (but not below low) when not even that fits.
    int firstToShow(int end, int low, qint64 avail) const
    {
        const int e = explicitEnd();
        int i = end;
        qint64 remaining = avail;
        bool stopped = false;
        const int tailLow = std::max(e, low);
        if (i > tailLow) {
            const qint64 n = i - tailLow;
            qint64 k = 0;
            if (remaining >= 0)
                k = defaultSize == 0 ? n : std::min<qint64>(n, remaining / defaultSize);
            i -= static_cast<int>(k);
            remaining -= k * defaultSize;
            stopped = k < n;
        }
        if (!stopped) {
            while (i - 1 >= low && i - 1 < e && sizes[i - 1] <= remaining) {
                remaining -= sizes[i - 1];
                --i;
            }
        }
        if (i >= end)
            i = end - 1;
        return std::max(i, low);
    }

    // The item that holds the pixel at offset, counted from the start of
    // item first; -1 when no item does (zero-sized items hold no pixel).
    int itemAt(int first, qint64 offset) const
    {
        if (offset < 0)
            return -1;
        const int e = explicitEnd();
        int i = std::max(first, 0);
        for (; i < e; ++i) {
            if (offset < sizes[i])
                return i;
            offset -= sizes[i];
        }
        if (defaultSize == 0 || i >= count)
            return -1;
        const qint64 k = offset / defaultSize;
        return k < count - i ? i + static_cast<int>(k) : -1;
    }
};

// The visible items of one axis, in viewport order, with their places.
struct Band
{
    int index;
    int start;
    int size;
};

// Collects the fixed items and then the scrolled items from first on whose
// place lies inside [0, limit), skipping zero-sized ones. gridEnd receives
// where the last item of the axis ends when that is inside the viewport,
// else limit.
QVector<Band> visibleBands(const Axis& axis, int fixed, int first, int limit, int& gridEnd)
{
    QVector<Band> bands;
    qint64 pos = 0;
    for (int i = 0; i < fixed && pos < limit; ++i) {
        const int s = axis.size(i);
        if (s > 0)
            bands.append({i, static_cast<int>(pos), s});
        pos += s;
    }
    const int e = axis.explicitEnd();
    int i = std::max(first, fixed);
    for (; i < axis.count && pos < limit; ++i) {
        const int s = axis.size(i);
        if (i >= e && s == 0) {
            // The rest of the axis takes no space at all.
            i = axis.count;
            break;
        }
        if (s > 0)
            bands.append({i, static_cast<int>(pos), s});
        pos += s;
    }
    gridEnd = (i >= axis.count && pos < limit) ? static_cast<int>(pos) : limit;
    return bands;
}

} // namespace

TCustomGrid::TCustomGrid(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    UpdateScrollBars();
}

TCustomGrid::~TCustomGrid() = default;

// ---- counts ------------------------------------------------------------

void TCustomGrid::SetColCount(int value)
{
    if (value < 1)
        throw EInvalidGridOperation(QStringLiteral("Column count must be at least 1"));
    if (value == m_colCount)
        return;
    m_colCount = value;
    if (m_colWidths.size() > value)
        m_colWidths.resize(value);
    // A fixed area as large as the grid leaves nothing to scroll: give back
    // one column to the scrolling area.
    if (m_fixedCols >= value)
        m_fixedCols = value - 1;
    clampCurrentCell();
    setTopLeft(m_leftCol, m_topRow);
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomGrid::SetRowCount(int value)
{
    if (value < 1)
        throw EInvalidGridOperation(QStringLiteral("Row count must be at least 1"));
    if (value == m_rowCount)
        return;
    m_rowCount = value;
    if (m_rowHeights.size() > value)
        m_rowHeights.resize(value);
    if (m_fixedRows >= value)
        m_fixedRows = value - 1;
    clampCurrentCell();
    setTopLeft(m_leftCol, m_topRow);
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomGrid::SetFixedCols(int value)
{
    if (value < 0 || value >= m_colCount)
        throw EInvalidGridOperation(QStringLiteral("Fixed column count must be less than column count"));
    if (value == m_fixedCols)
        return;
    m_fixedCols = value;
    clampCurrentCell();
    setTopLeft(m_leftCol, m_topRow);
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomGrid::SetFixedRows(int value)
{
    if (value < 0 || value >= m_rowCount)
        throw EInvalidGridOperation(QStringLiteral("Fixed row count must be less than row count"));
    if (value == m_fixedRows)
        return;
    m_fixedRows = value;
    clampCurrentCell();
    setTopLeft(m_leftCol, m_topRow);
    UpdateScrollBars();
    InvalidateGrid();
}

// ---- sizes ---------------------------------------------------------------

void TCustomGrid::SetDefaultColWidth(int value)
{
    if (value < 0)
        throw EInvalidGridOperation(QStringLiteral("Column width cannot be negative"));
    m_defaultColWidth = value;
    m_colWidths.clear(); // every column takes the default again
    setTopLeft(m_leftCol, m_topRow);
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomGrid::SetDefaultRowHeight(int value)
{
    if (value < 0)
        throw EInvalidGridOperation(QStringLiteral("Row height cannot be negative"));
    m_defaultRowHeight = value;
    m_rowHeights.clear();
    setTopLeft(m_leftCol, m_topRow);
    UpdateScrollBars();
    InvalidateGrid();
}

int TCustomGrid::ColWidths(int col) const
{
    if (col < 0 || col >= m_colCount)
        return 0;
    return Axis{m_colWidths, m_defaultColWidth, m_colCount}.size(col);
}

int TCustomGrid::RowHeights(int row) const
{
    if (row < 0 || row >= m_rowCount)
        return 0;
    return Axis{m_rowHeights, m_defaultRowHeight, m_rowCount}.size(row);
}

void TCustomGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= m_colCount)
        throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    if (width < 0)
        throw EInvalidGridOperation(QStringLiteral("Column width cannot be negative"));
    if (ColWidths(col) == width)
        return;
    // Only the columns up to the last one given a width of its own are
    // stored; the rest keep the default.
    while (m_colWidths.size() <= col)
        m_colWidths.append(m_defaultColWidth);
    m_colWidths[col] = width;
    setTopLeft(m_leftCol, m_topRow);
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomGrid::SetRowHeights(int row, int height)
{
    if (row < 0 || row >= m_rowCount)
        throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    if (height < 0)
        throw EInvalidGridOperation(QStringLiteral("Row height cannot be negative"));
    if (RowHeights(row) == height)
        return;
    while (m_rowHeights.size() <= row)
        m_rowHeights.append(m_defaultRowHeight);
    m_rowHeights[row] = height;
    setTopLeft(m_leftCol, m_topRow);
    UpdateScrollBars();
    InvalidateGrid();
}

int TCustomGrid::fixedWidth() const
{
    const qint64 w = Axis{m_colWidths, m_defaultColWidth, m_colCount}.span(0, m_fixedCols);
    return static_cast<int>(std::min<qint64>(w, std::numeric_limits<int>::max()));
}

int TCustomGrid::fixedHeight() const
{
    const qint64 h = Axis{m_rowHeights, m_defaultRowHeight, m_rowCount}.span(0, m_fixedRows);
    return static_cast<int>(std::min<qint64>(h, std::numeric_limits<int>::max()));
}

// ---- current cell --------------------------------------------------------

void TCustomGrid::SetCol(int col)
{
    if (col != m_col)
        MoveColRow(col, m_row, true);
}

void TCustomGrid::SetRow(int row)
{
    if (row != m_row)
        MoveColRow(m_col, row, true);
}

bool TCustomGrid::MoveColRow(int col, int row, bool show)
{
    if (col < 0 || col >= m_colCount || row < 0 || row >= m_rowCount)
        return false;
    // The hook may refuse, and it may move the current cell itself before
    // refusing; then that move stands and nothing more happens here.
    if (!SelectCell(col, row))
        return false;
    // The hook may also have changed the counts under us.
    if (col >= m_colCount || row >= m_rowCount)
        return false;
    storeCurrentCell(col, row);
    if (show)
        ScrollInView(col, row);
    return true;
}

void TCustomGrid::ForceCurrentCell(int col, int row)
{
    if (col < 0 || col >= m_colCount || row < 0 || row >= m_rowCount)
        return;
    storeCurrentCell(col, row);
}

void TCustomGrid::storeCurrentCell(int col, int row)
{
    const int oldCol = m_col;
    const int oldRow = m_row;
    if (oldCol == col && oldRow == row)
        return;
    m_col = col;
    m_row = row;
    InvalidateCell(oldCol, oldRow);
    InvalidateCell(col, row);
    CurrentCellChanged(oldCol, oldRow);
}

void TCustomGrid::clampCurrentCell()
{
    const int col = std::clamp(m_col, m_fixedCols, m_colCount - 1);
    const int row = std::clamp(m_row, m_fixedRows, m_rowCount - 1);
    storeCurrentCell(col, row);
}

bool TCustomGrid::SelectCell(int col, int row)
{
    return col >= m_fixedCols && col < m_colCount && row >= m_fixedRows && row < m_rowCount;
}

void TCustomGrid::CurrentCellChanged(int, int) {}

// ---- scrolling -----------------------------------------------------------

int TCustomGrid::maxTopRow() const
{
    const Axis rows{m_rowHeights, m_defaultRowHeight, m_rowCount};
    return rows.firstToShow(m_rowCount, m_fixedRows, qint64(viewport()->height()) - fixedHeight());
}

int TCustomGrid::maxLeftCol() const
{
    const Axis cols{m_colWidths, m_defaultColWidth, m_colCount};
    return cols.firstToShow(m_colCount, m_fixedCols, qint64(viewport()->width()) - fixedWidth());
}

void TCustomGrid::SetRightMargin(int pixels)
{
    pixels = std::max(pixels, 0);
    if (pixels == m_rightMargin)
        return;
    m_rightMargin = pixels;
    setViewportMargins(0, 0, pixels, 0);
    // The viewport is narrower or wider now: as after a resize.
    clampTopLeft();
    UpdateScrollBars();
    viewport()->update();
}

void TCustomGrid::SetTopRow(int row)
{
    setTopLeft(m_leftCol, row);
}

void TCustomGrid::SetLeftCol(int col)
{
    setTopLeft(col, m_topRow);
}

void TCustomGrid::clampTopLeft()
{
    setTopLeft(m_leftCol, m_topRow);
}

void TCustomGrid::setTopLeft(int leftCol, int topRow)
{
    leftCol = std::clamp(leftCol, m_fixedCols, std::max(m_fixedCols, maxLeftCol()));
    topRow = std::clamp(topRow, m_fixedRows, std::max(m_fixedRows, maxTopRow()));
    if (leftCol == m_leftCol && topRow == m_topRow)
        return;
    m_leftCol = leftCol;
    m_topRow = topRow;
    UpdateScrollBars();
    InvalidateGrid();
    TopLeftChanged();
}

void TCustomGrid::TopLeftChanged() {}

int TCustomGrid::VisibleRowCount() const
{
    const Axis rows{m_rowHeights, m_defaultRowHeight, m_rowCount};
    return rows.fitting(m_topRow, qint64(viewport()->height()) - fixedHeight());
}

int TCustomGrid::VisibleColCount() const
{
    const Axis cols{m_colWidths, m_defaultColWidth, m_colCount};
    return cols.fitting(m_leftCol, qint64(viewport()->width()) - fixedWidth());
}

void TCustomGrid::ScrollInView(int col, int row)
{
    if (col < 0 || col >= m_colCount || row < 0 || row >= m_rowCount)
        return;
    int left = m_leftCol;
    int top = m_topRow;
    if (col >= m_fixedCols) {
        const Axis cols{m_colWidths, m_defaultColWidth, m_colCount};
        if (col < m_leftCol)
            left = col;
        else if (col >= m_leftCol + VisibleColCount())
            left = cols.firstToShow(col + 1, m_fixedCols, qint64(viewport()->width()) - fixedWidth());
    }
    if (row >= m_fixedRows) {
        const Axis rows{m_rowHeights, m_defaultRowHeight, m_rowCount};
        if (row < m_topRow)
            top = row;
        else if (row >= m_topRow + VisibleRowCount())
            top = rows.firstToShow(row + 1, m_fixedRows, qint64(viewport()->height()) - fixedHeight());
    }
    setTopLeft(left, top);
}

void TCustomGrid::UpdateScrollBars()
{
    // Changing a range can move a scroll bar, which comes back here through
    // scrollContentsBy; such a nested request is repeated afterwards instead.
    if (m_updatingScrollBars) {
        m_scrollBarsStale = true;
        return;
    }
    m_updatingScrollBars = true;
    for (int round = 0; round < 3; ++round) {
        m_scrollBarsStale = false;
        QScrollBar* v = verticalScrollBar();
        v->setRange(m_fixedRows, std::max(m_fixedRows, maxTopRow()));
        v->setSingleStep(1);
        v->setPageStep(std::max(1, VisibleRowCount()));
        v->setValue(m_topRow);
        QScrollBar* h = horizontalScrollBar();
        h->setRange(m_fixedCols, std::max(m_fixedCols, maxLeftCol()));
        h->setSingleStep(1);
        h->setPageStep(std::max(1, VisibleColCount()));
        h->setValue(m_leftCol);
        if (!m_scrollBarsStale)
            break;
    }
    m_updatingScrollBars = false;
}

void TCustomGrid::scrollContentsBy(int, int)
{
    if (m_updatingScrollBars)
        return;
    const int left = horizontalScrollBar()->value();
    const int top = verticalScrollBar()->value();
    setTopLeft(left, top);
    // A clamped position puts the scroll bars back where the grid is.
    if (left != m_leftCol || top != m_topRow)
        UpdateScrollBars();
}

void TCustomGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    // A larger viewport can leave the last page part empty: scroll back.
    clampTopLeft();
    UpdateScrollBars();
}

// ---- geometry ------------------------------------------------------------

bool TCustomGrid::colBand(int col, int& left, int& width) const
{
    if (col < 0 || col >= m_colCount)
        return false;
    const Axis cols{m_colWidths, m_defaultColWidth, m_colCount};
    qint64 x;
    if (col < m_fixedCols)
        x = cols.span(0, col);
    else if (col >= m_leftCol)
        x = qint64(fixedWidth()) + cols.span(m_leftCol, col);
    else
        return false;
    const int w = cols.size(col);
    if (w <= 0 || x >= viewport()->width())
        return false;
    left = static_cast<int>(x);
    width = w;
    return true;
}

bool TCustomGrid::rowBand(int row, int& top, int& height) const
{
    if (row < 0 || row >= m_rowCount)
        return false;
    const Axis rows{m_rowHeights, m_defaultRowHeight, m_rowCount};
    qint64 y;
    if (row < m_fixedRows)
        y = rows.span(0, row);
    else if (row >= m_topRow)
        y = qint64(fixedHeight()) + rows.span(m_topRow, row);
    else
        return false;
    const int h = rows.size(row);
    if (h <= 0 || y >= viewport()->height())
        return false;
    top = static_cast<int>(y);
    height = h;
    return true;
}

QRect TCustomGrid::CellRect(int col, int row) const
{
    int x, w, y, h;
    if (!colBand(col, x, w) || !rowBand(row, y, h))
        return QRect();
    return QRect(x, y, w, h);
}

QRect TCustomGrid::PhysicalRect(const QRect& gridRect) const
{
    if (layoutDirection() != Qt::RightToLeft || gridRect.isEmpty())
        return gridRect;
    return QRect(viewport()->width() - gridRect.left() - gridRect.width(), gridRect.top(), gridRect.width(),
                 gridRect.height());
}

int TCustomGrid::LogicalX(int viewportX) const
{
    return layoutDirection() == Qt::RightToLeft ? viewport()->width() - 1 - viewportX : viewportX;
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const
{
    const TGridCoord none{-1, -1};
    x = LogicalX(x);
    if (x < 0 || y < 0 || x >= viewport()->width() || y >= viewport()->height())
        return none;
    const Axis fixedCols{m_colWidths, m_defaultColWidth, m_fixedCols};
    const Axis cols{m_colWidths, m_defaultColWidth, m_colCount};
    const int fw = fixedWidth();
    const int col = x < fw ? fixedCols.itemAt(0, x) : cols.itemAt(m_leftCol, qint64(x) - fw);
    const Axis fixedRows{m_rowHeights, m_defaultRowHeight, m_fixedRows};
    const Axis rows{m_rowHeights, m_defaultRowHeight, m_rowCount};
    const int fh = fixedHeight();
    const int row = y < fh ? fixedRows.itemAt(0, y) : rows.itemAt(m_topRow, qint64(y) - fh);
    if (col < 0 || row < 0)
        return none;
    return TGridCoord{col, row};
}

TGridCoord TCustomGrid::MouseCoordUnclipped(int x, int y) const
{
    const TGridCoord none{-1, -1};
    x = LogicalX(x);
    // Left of or above the grid: the first column / row, as a pointer dragged
    // out over the fixed cells.
    const Axis fixedCols{m_colWidths, m_defaultColWidth, m_fixedCols};
    const Axis cols{m_colWidths, m_defaultColWidth, m_colCount};
    const int fw = fixedWidth();
    int col = 0;
    if (x >= 0) {
        col = x < fw ? fixedCols.itemAt(0, x) : cols.itemAt(m_leftCol, qint64(x) - fw);
        // A zero-width fixed column run ends where the scrolled area starts.
        if (col < 0 && x < fw)
            col = m_leftCol;
    }
    const Axis fixedRows{m_rowHeights, m_defaultRowHeight, m_fixedRows};
    const Axis rows{m_rowHeights, m_defaultRowHeight, m_rowCount};
    const int fh = fixedHeight();
    int row = 0;
    if (y >= 0) {
        row = y < fh ? fixedRows.itemAt(0, y) : rows.itemAt(m_topRow, qint64(y) - fh);
        if (row < 0 && y < fh)
            row = m_topRow;
    }
    if (col < 0 || row < 0)
        return none;
    return TGridCoord{col, row};
}

// ---- invalidation --------------------------------------------------------

void TCustomGrid::InvalidateCell(int col, int row)
{
    const QRect r = PhysicalRect(CellRect(col, row));
    if (!r.isEmpty())
        viewport()->update(r);
}

void TCustomGrid::InvalidateRow(int row)
{
    int y, h;
    if (rowBand(row, y, h))
        viewport()->update(QRect(0, y, viewport()->width(), h));
}

void TCustomGrid::InvalidateCol(int col)
{
    int x, w;
    if (colBand(col, x, w))
        viewport()->update(PhysicalRect(QRect(x, 0, w, viewport()->height())));
}

void TCustomGrid::InvalidateGrid()
{
    viewport()->update();
}

// ---- painting --------------------------------------------------------------

void TCustomGrid::DrawCell(QPainter& painter, int, int, const QRect& rect)
{
    painter.fillRect(rect, palette().color(QPalette::Base));
}

void TCustomGrid::paintEvent(QPaintEvent* event)
{
    QWidget* port = viewport();
    const QRect area = event->rect().intersected(port->rect());
    if (area.isEmpty())
        return;
    QPainter painter(port);

    int gridRight = 0;
    int gridBottom = 0;
    const QVector<Band> cols = visibleBands(Axis{m_colWidths, m_defaultColWidth, m_colCount},
                                           m_fixedCols, m_leftCol, port->width(), gridRight);
    const QVector<Band> rows = visibleBands(Axis{m_rowHeights, m_defaultRowHeight, m_rowCount},
                                           m_fixedRows, m_topRow, port->height(), gridBottom);

    // Only the cells that meet the area being painted are drawn.
    QVector<Band> paintCols;
    for (const Band& c : cols) {
        if (c.start <= area.right() && c.start + c.size > area.left())
            paintCols.append(c);
    }
    for (const Band& r : rows) {
        if (r.start > area.bottom() || r.start + r.size <= area.top())
            continue;
        for (const Band& c : paintCols) {
            painter.save();
            DrawCell(painter, c.index, r.index, QRect(c.start, r.start, c.size, r.size));
            painter.restore();
        }
    }

    // The room right of the last column and below the last row.
    const QColor background = port->palette().color(port->backgroundRole());
    if (gridRight < port->width())
        painter.fillRect(QRect(gridRight, 0, port->width() - gridRight, port->height()), background);
    if (gridBottom < port->height())
        painter.fillRect(QRect(0, gridBottom, gridRight, port->height() - gridBottom), background);
}
