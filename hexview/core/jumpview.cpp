#include "hexview/core/jumpview.h"

#include <algorithm>

namespace hexview {

int CenteredTopRow(int row, int visibleRows, int rowCount, int firstRow)
{
    const int visible = std::max(1, visibleRows);
    const int lastTop = std::max(firstRow, rowCount - visible);
    return std::clamp(row - (visible - 1) / 2, firstRow, lastTop);
}

} // namespace hexview
