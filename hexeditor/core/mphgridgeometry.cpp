#include "hexeditor/core/mphgridgeometry.h"

#include <algorithm>

int TMPHGridGeometry::RowCountFor(int32_t size, bool insertMode) const
{
    if (size <= 0)
        return FixedRows + 1;
    const int b = m_bytesPerRow;
    int rows = static_cast<int>((static_cast<int64_t>(size) + b - 1) / b + FixedRows);
    if (size % b == 0 && insertMode)
        ++rows;
    return rows;
}

int32_t TMPHGridGeometry::PositionAt(int col, int row) const
{
    int64_t x;
    if (IsCharColumn(col)) {
        x = col - FirstCharColumn();
        if (m_unicodeChars)
            x *= 2;
    } else {
        // Truncating toward zero: the spacer counts as the row's first byte,
        // the gutter as the byte before it.
        x = (col - FirstHexColumn) / 2;
    }
    const int64_t position = x + RowStart(row);
    return static_cast<int32_t>(std::clamp<int64_t>(position, 0, MaxPosition));
}

TMPHCell TMPHGridGeometry::CellOf(int32_t position, bool charField) const
{
    if (position < 0)
        return {FirstHexColumn, FirstDataRow};
    const int inRow = position % m_bytesPerRow;
    TMPHCell cell;
    cell.Row = RowOf(position);
    if (charField)
        cell.Col = FirstCharColumn() + (m_unicodeChars ? inRow / 2 : inRow);
    else
        cell.Col = FirstHexColumn + 2 * inRow;
    return cell;
}

int TMPHGridGeometry::OtherFieldColumn(int col) const
{
    if (IsCharColumn(col))
        return FirstHexColumn + (m_unicodeChars ? 4 : 2) * (col - FirstCharColumn());
    return FirstCharColumn() + (col - FirstHexColumn) / (m_unicodeChars ? 4 : 2);
}
