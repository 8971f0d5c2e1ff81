// The editing operations behind paste and cut.
// Stopgap until the editor's undoable editing operations are available:
// plain data changes without undo, with the same effect on data and caret.
#include "hexeditor/ex/mphexeditorex.h"

#include <cstring>

bool TMPHexEditorEx::TransferReadOnlyView() const { return false; }

bool TMPHexEditorEx::TransferNoSizeChange() const { return false; }

void TMPHexEditorEx::TransferReplaceSelection(const uint8_t* bytes, int32_t count, const QString&)
{
    TMPHMemoryStream& data = DataStorage();
    int32_t start = SelStart();
    int32_t removed = 0;
    if (SelCount() > 0) {
        start = SelFirst();
        removed = SelCount();
    }
    const int64_t oldSize = data.Size();
    start = int32_t(std::clamp<int64_t>(start, 0, oldSize));
    const int64_t newSize = oldSize - removed + count;
    if (newSize > oldSize)
        data.SetSize(newSize);
    data.MoveData(start + removed, start + count, oldSize - start - removed);
    if (newSize < oldSize)
        data.SetSize(newSize);
    std::memcpy(data.GetAddress(start, count), bytes, size_t(count));
    ResetSelection(false);
    UpdateGridSize();
    SetModified(true);
    const int32_t caret = std::min<int32_t>(start + count, std::max<int32_t>(0, DataSize() - 1));
    const TGridCoord cell = CellAtPosition(caret, InCharField());
    MoveColRow(cell.X, cell.Y, true);
    Changed();
}

void TMPHexEditorEx::TransferDeleteSelection(const QString&)
{
    if (SelCount() == 0)
        return;
    TMPHMemoryStream& data = DataStorage();
    const int32_t start = SelFirst(), removed = SelCount();
    const int64_t oldSize = data.Size();
    data.MoveData(start + removed, start, oldSize - start - removed);
    data.SetSize(oldSize - removed);
    ResetSelection(false);
    UpdateGridSize();
    SetModified(true);
    const int32_t caret = std::min<int32_t>(start, std::max<int32_t>(0, DataSize() - 1));
    const TGridCoord cell = CellAtPosition(caret, InCharField());
    MoveColRow(cell.X, cell.Y, true);
    Changed();
}
