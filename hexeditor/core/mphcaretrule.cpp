#include "hexeditor/core/mphcaretrule.h"

#include <algorithm>

TMPHCaretDecision DecideCaretCell(const TMPHGridGeometry& geo, const TMPHCaretRequest& r)
{
    TMPHCaretDecision d;
    const int col = r.Cell.Col;
    const int row = r.Cell.Row;
    if (r.DataSize == 0) {
        // An empty document has just the first hex and the first character cell.
        const bool first = row == TMPHGridGeometry::FirstDataRow
                           && (col == TMPHGridGeometry::FirstHexColumn || col == geo.FirstCharColumn());
        d.Verdict = first ? TMPHCaretVerdict::Accept : TMPHCaretVerdict::Refuse;
        return d;
    }
    d.DropSelection = !r.ShiftDown && !r.LeftButtonDown;
    const int32_t p = geo.PositionAt(col, row);
    const int32_t size = r.DataSize;
    if (p >= size && (!r.InsertMode || p > size || geo.IsSecondDigit(col))) {
        d.Verdict = TMPHCaretVerdict::Redirect;
        d.Target = geo.CellOf(r.InsertMode ? size : size - 1, r.CaretInCharField);
        return d;
    }
    if (geo.IsGapColumn(col)) {
        d.Verdict = r.LeftButtonDown ? TMPHCaretVerdict::Redirect : TMPHCaretVerdict::Refuse;
        if (r.LeftButtonDown)
            d.Target = {std::max(TMPHGridGeometry::FirstHexColumn, geo.LastHexColumn()), row};
        return d;
    }
    d.Verdict = TMPHCaretVerdict::Accept;
    return d;
}
