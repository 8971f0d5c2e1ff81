#pragma once
// Grid control base: a scrollable widget of columns and rows with fixed
// leading columns and rows, per-column widths and per-row heights, a current
// cell that changes only through the SelectCell veto hook, a top-left visible
// cell, cell rectangles and hit testing. Descendants draw every cell.

#include "platform/core/exceptions.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QRect>
#include <QVector>

#include <functional>

class QPainter;

// A grid was given a count, index or size it cannot take; nothing changed.
class EInvalidGridOperation : public Exception
{
public:
    using Exception::Exception;
};

struct TGridCoord
{
    int X = 0; // column
    int Y = 0; // row
};

// ---- mouse (customgrid_mouse.cpp) ------------------------------------------
// A press on a control: the button, the modifier keys and the point in
// viewport pixels.
using TMouseEvent = std::function<void(QObject* sender, Qt::MouseButton button,
                                       Qt::KeyboardModifiers shift, int x, int y)>;

class TCustomGrid : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit TCustomGrid(QWidget* parent = nullptr);
    ~TCustomGrid() override;

    int ColCount() const { return m_colCount; }
    void SetColCount(int value);
    int RowCount() const { return m_rowCount; }
    void SetRowCount(int value);
    int FixedCols() const { return m_fixedCols; }
    void SetFixedCols(int value);
    int FixedRows() const { return m_fixedRows; }
    void SetFixedRows(int value);

    int DefaultColWidth() const { return m_defaultColWidth; }
    void SetDefaultColWidth(int value);   // also resets every column width
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    void SetDefaultRowHeight(int value);  // also resets every row height
    // True when every row after row takes the default height.
    bool DefaultHeightsAfter(int row) const { return m_rowHeights.size() <= row + 1; }
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);

    // The current cell. Setting it asks SelectCell first; a refused move
    // changes nothing. The Set* forms scroll the new cell into view.
    int Col() const { return m_col; }
    int Row() const { return m_row; }
    void SetCol(int col);
    void SetRow(int row);
    // Moves the current cell to (col, row) in one step; Show scrolls it into
    // view. Returns whether the move was accepted.
    bool MoveColRow(int col, int row, bool show = true);
    // Sets the current cell without asking SelectCell and without scrolling
    // (for descendants that have already decided, e.g. from inside SelectCell).
    void ForceCurrentCell(int col, int row);

    // First scrollable row and column shown.
    int TopRow() const { return m_topRow; }
    void SetTopRow(int row);
    int LeftCol() const { return m_leftCol; }
    void SetLeftCol(int col);
    // Number of scrollable rows / columns wholly visible.
    int VisibleRowCount() const;
    int VisibleColCount() const;

    // Rectangle of a cell in grid coordinates (left to right); empty when not
    // visible. In a right-to-left layout the cells are shown mirrored inside
    // the viewport: PhysicalRect gives where a grid rectangle is shown, and
    // LogicalX turns a viewport x into a grid x (both are the identity left
    // to right, and each is its own inverse).
    QRect CellRect(int col, int row) const;
    QRect PhysicalRect(const QRect& gridRect) const;
    int LogicalX(int viewportX) const;
    // The cell under a viewport point; (-1, -1) when there is none.
    TGridCoord MouseCoord(int x, int y) const;
    // Scrolls so that the cell is visible.
    void ScrollInView(int col, int row);

    // Pixels kept free between the cells and the vertical scroll bar, for a
    // widget of the program's own placed there; 0 (the default) keeps none.
    int RightMargin() const { return m_rightMargin; }
    void SetRightMargin(int pixels);

    void InvalidateCell(int col, int row);
    void InvalidateRow(int row);
    void InvalidateCol(int col);
    void InvalidateGrid();

    // ---- mouse selection (customgrid_mouse.cpp) ------------------------------
    // The cell under a viewport point as if the grid went on past the edges
    // of the viewport (for a pointer dragged outside): a point left of or
    // above the grid maps to column / row 0; (-1, -1) only past the grid's end.
    TGridCoord MouseCoordUnclipped(int x, int y) const;
    // True from a left press on a scrollable cell until the button is released:
    // moves of the pointer move the current cell, and a pointer outside the
    // scrolled area scrolls the grid on a timer.
    bool IsSelecting() const { return m_selecting; }
    // The pointer position of the last mouse event (viewport pixels).
    QPoint LastMousePoint() const { return m_lastMousePoint; }
    // Interval of the auto-scroll timer while selecting.
    static constexpr int ScrollTimerInterval = 60;
    // Fired by the base press handling.
    TMouseEvent OnMouseDown;
    // The focus policy allows the focus and the control is enabled and visible.
    virtual bool CanFocus() const;

protected:
    // Veto hook of every current-cell move; the base accepts cells inside the
    // scrollable area.
    virtual bool SelectCell(int col, int row);
    // Draws one cell; the base fills it with the background colour.
    virtual void DrawCell(QPainter& painter, int col, int row, const QRect& rect);
    // Called after the current cell changed.
    virtual void CurrentCellChanged(int oldCol, int oldRow);
    // Called after TopRow or LeftCol changed.
    virtual void TopLeftChanged();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

    // ---- mouse selection (customgrid_mouse.cpp) ------------------------------
    // The base press: takes the focus; a left press on a scrollable cell
    // moves the current cell there (through SelectCell) and starts selecting,
    // except for a double click; fires OnMouseDown.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // While selecting, the current cell follows the pointer inside the view.
    void mouseMoveEvent(QMouseEvent* event) override;
    // Ends selecting.
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    // One tick of the auto-scroll timer; descendants decide whether it
    // reaches ScrollTowards (the base always passes it on).
    virtual void ScrollTimerTick();
    // While selecting with the pointer at point (viewport pixels) outside the
    // scrolled area: scrolls one row and/or column toward it and moves the
    // current cell onto the new edge.
    void ScrollTowards(QPoint point);
    // Leaves the selecting state and stops the timer.
    void EndSelecting();

    void UpdateScrollBars();

private:
    int fixedWidth() const;
    int fixedHeight() const;
    void clampTopLeft();

    int m_colCount = 5;
    int m_rowCount = 5;
    int m_fixedCols = 1;
    int m_fixedRows = 1;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 24;
    QVector<int> m_colWidths;
    QVector<int> m_rowHeights;
    int m_col = 1;
    int m_row = 1;
    int m_topRow = 1;
    int m_leftCol = 1;
    int m_rightMargin = 0;
    bool m_updatingScrollBars = false;

    // Cell geometry helpers shared by painting, hit testing and invalidation.
    int maxTopRow() const;
    int maxLeftCol() const;
    bool rowBand(int row, int& top, int& height) const;
    bool colBand(int col, int& left, int& width) const;
    void setTopLeft(int leftCol, int topRow);
    void storeCurrentCell(int col, int row);
    void clampCurrentCell();

    // A scroll bar update was asked for while one was running.
    bool m_scrollBarsStale = false;

    // ---- mouse selection -------------------------------------------------------
    bool m_selecting = false;
    QBasicTimer m_scrollTimer;
    QPoint m_lastMousePoint;
};
