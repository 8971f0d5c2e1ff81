#pragma once
// Grid control base: a scrollable widget of columns and rows with fixed
// leading columns and rows, per-column widths and per-row heights, a current
// cell that changes only through the SelectCell veto hook, a top-left visible
// cell, cell rectangles and hit testing. Descendants draw every cell.

#include "platform/core/exceptions.h"

#include <QAbstractScrollArea>
#include <QRect>
#include <QVector>

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

    // Rectangle of a cell in viewport coordinates; empty when not visible.
    QRect CellRect(int col, int row) const;
    // The cell under a viewport point; (-1, -1) when there is none.
    TGridCoord MouseCoord(int x, int y) const;
    // Scrolls so that the cell is visible.
    void ScrollInView(int col, int row);

    void InvalidateCell(int col, int row);
    void InvalidateRow(int row);
    void InvalidateCol(int col);
    void InvalidateGrid();

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
};
