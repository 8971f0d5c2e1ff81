// The drop-position marker: where dragged bytes would land while a drag is
// over the editor. Painting draws the marker cell; these functions place it,
// hide it and answer its data position.

#include "hexeditor/mphexeditor.h"

#include <algorithm>

int32_t TCustomMPHexEditor::ShowDropPosition(int x, int y)
{
    // The cell under the point, also past the view's edges.
    TGridCoord raw = MouseCoordUnclipped(x, y);
    if (raw.X < 0)
        raw.X = ColCount() - 1;
    if (raw.Y < 0)
        raw.Y = RowCount() - 1;
    constexpr int firstRow = TMPHGridGeometry::FirstDataRow;
    const int col = std::max(raw.X, TMPHGridGeometry::FirstHexColumn);
    const int row = std::clamp(raw.Y, firstRow, std::max(firstRow, RowCount() - 1));

    int32_t position = std::clamp<int32_t>(PositionAtCell(col, row), 0, DataSize());
    if (SelCount() > 0 && position >= m_selection.First && position <= m_selection.Last)
        position = m_selection.First;
    position -= position % BytesPerUnit();

    ScrollTowardsDropPoint(raw);

    const TGridCoord cell = CellAtPosition(position, m_inCharField);
    SetDropMarker(true, cell.X, cell.Y);
    return position;
}

void TCustomMPHexEditor::ScrollTowardsDropPoint(TGridCoord cell)
{
    // At most one row and one column per call, so that the view creeps
    // toward a pointer held near an edge.
    if (cell.Y <= TopRow() && cell.Y >= 3)
        SetTopRow(TopRow() - 1);
    else if (cell.Y >= TopRow() + VisibleRowCount() - 1 && cell.Y < RowCount() - 1)
        SetTopRow(TopRow() + 1);
    if (cell.X <= LeftCol() && cell.X >= 3)
        SetLeftCol(LeftCol() - 1);
    else if (cell.X >= LeftCol() + VisibleColCount() - 1 && cell.X < ColCount() - 1)
        SetLeftCol(LeftCol() + 1);
}

void TCustomMPHexEditor::HideDropPosition()
{
    m_dropMarkerVisible = false;
    viewport()->update();
}

int32_t TCustomMPHexEditor::DropPosition()
{
    if (!m_dropMarkerVisible)
        return -1;
    // A probe: the caret's field stays as it is.
    const bool inCharField = m_inCharField;
    int32_t position = PositionAtCell(m_dropMarkerCol, m_dropMarkerRow);
    m_inCharField = inCharField;
    position -= position % BytesPerUnit();
    return position;
}
