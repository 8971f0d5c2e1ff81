// The data-changing operations, their settings (read-only view, fixed size,
// insert mode), the change marks and the internal moves that record nothing.

#include "hexeditor/mphexeditor.h"

#include <algorithm>

// ---- settings ----------------------------------------------------------------------

bool TCustomMPHexEditor::InsertMode() const
{
    return m_insertMode && !NoSizeChangeInForce() && m_allowInsertMode && !m_readOnlyView;
}

void TCustomMPHexEditor::SetInsertMode(bool value)
{
    const bool allowed = !NoSizeChangeInForce() && m_allowInsertMode && !m_readOnlyView;
    if (value == m_insertMode || !allowed)
        return;
    const bool charField = CaretInCharField();
    const int32_t caret = PositionAtCell(Col(), Row());
    m_insertMode = value;
    if (DataSize() >= 1) {
        UpdateGridSize();
        if (!value && caret >= DataSize()) {
            const TGridCoord cell = CellAtPosition(DataSize() - 1, charField);
            MoveColRow(cell.X, cell.Y, true);
        }
    }
    UpdateCaretPos();
    RefreshAutoCaret();
    m_document.ChangedBytes.clear();
    viewport()->update();
}

void TCustomMPHexEditor::SetReadOnlyView(bool value)
{
    if (value == m_readOnlyView)
        return;
    m_readOnlyView = value;
    RefreshAutoCaret();
    UpdateCaretPos();
}

void TCustomMPHexEditor::SetNoSizeChange(bool value)
{
    if (value == m_noSizeChange)
        return;
    if (value)
        SetInsertMode(false);
    m_noSizeChange = value;
}

void TCustomMPHexEditor::SetAllowInsertMode(bool value)
{
    if (value == m_allowInsertMode)
        return;
    if (!value)
        SetInsertMode(false);
    m_allowInsertMode = value;
}

// ---- helpers -----------------------------------------------------------------------

void TCustomMPHexEditor::MoveToFirstCell(bool charField)
{
    const TMPHCell cell = Geometry().CellOf(0, charField);
    MoveColRow(cell.Col, cell.Row, true);
}

void TCustomMPHexEditor::PlaceCaret(int32_t position, bool charField, bool secondNibble)
{
    const int32_t size = DataSize();
    if (size == 0) {
        MoveToFirstCell(charField);
        return;
    }
    const int32_t limit = InsertMode() ? size : size - 1;
    const int32_t p = std::clamp(position, 0, limit);
    TGridCoord cell = CellAtPosition(p, charField);
    if (!charField && secondNibble && p < size)
        ++cell.X;
    MoveColRow(cell.X, cell.Y, true);
}

void TCustomMPHexEditor::SetChangeMark(int32_t position, bool changed)
{
    if (InsertMode())
        m_document.ChangedBytes.clear();
    if (position < 0 || position >= DataSize())
        return;
    if (changed && position >= m_document.ChangedBytes.size())
        m_document.ChangedBytes.resize(position + 1);
    if (position < m_document.ChangedBytes.size())
        m_document.ChangedBytes.setBit(position, changed);
}

void TCustomMPHexEditor::CutChangeMarks(int32_t position)
{
    if (position < 0 || m_document.ChangedBytes.size() < position)
        return;
    // The rows of the marks dropped lose their changed colours.
    if (m_document.ChangedBytes.size() > position && !InsertMode())
        InvalidateRowsOf(position, int32_t(m_document.ChangedBytes.size()) - 1);
    m_document.ChangedBytes.resize(position);
}

void TCustomMPHexEditor::CheckGrowth(int64_t newSize) const
{
    if (newSize > MaxDataSize)
        throw EMPHexEditor(
            MPHStrings::Text(MPHStrings::DataSizeLimit).arg(newSize - int64_t(DataSize())).arg(MaxDataSize));
}

void TCustomMPHexEditor::SelectRange(int32_t anchor, int32_t first, int32_t last)
{
    const int32_t oldFirst = m_selection.First;
    const int32_t oldLast = m_selection.Last;
    StoreSelection(anchor, first, last);
    SelectionMoved(oldFirst, oldLast);
}

// ---- internal moves (no undo record) ----------------------------------------------------

void TCustomMPHexEditor::ApplyDataChange(const TMPHDataChange& change)
{
    m_lastDataChange = change;
    // A change of zero bytes still brings the grid in line, as it always has.
    if (change.ChangesSize() || change.IsEmpty())
        UpdateGridSize();
    InvalidateRowSpan(ChangedRows(Geometry(), change, DataSize()));
}

void TCustomMPHexEditor::InsertData(const void* buffer, int32_t count, int32_t position)
{
    const int32_t size = DataSize();
    if (size == 0) {
        m_document.Data->SetPosition(0);
        m_document.ChangedBytes.clear();
    }
    // Room for the bytes at position; what follows does not move.
    m_document.Data->Insert(position, nullptr, count);
    if (buffer && count > 0)
        WriteBuffer(buffer, position, count);
    ApplyDataChange({position, 0, count});
}

void TCustomMPHexEditor::AppendData(const void* buffer, int32_t count)
{
    const int32_t size = DataSize();
    if (size == 0) {
        m_document.Data->SetPosition(0);
        m_document.ChangedBytes.clear();
    }
    m_document.Data->SetSize(int64_t(size) + count);
    if (buffer && count > 0)
        WriteBuffer(buffer, size, count);
    ApplyDataChange({size, 0, count});
}

void TCustomMPHexEditor::DeleteData(int32_t start, int32_t end, int caretCol, int caretRow)
{
    const int32_t size = DataSize();
    // Bounds check before any change.
    if (start < 0 || end < start || end > size)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::OutOfBounds));
    m_document.Data->Remove(start, end - start);
    ApplyDataChange({start, end - start, 0});

    const bool charField = CaretInCharField();
    const int32_t newSize = DataSize();
    if (newSize == 0) {
        MoveToFirstCell(charField);
    } else if (caretCol >= 0) {
        const int32_t p = PositionAtCell(caretCol, caretRow);
        if (p >= newSize)
            PlaceCaret(InsertMode() ? newSize : newSize - 1, charField);
        else
            MoveColRow(caretCol, caretRow, true);
    }
    ResetSelection(true);
}

// ---- overwriting ---------------------------------------------------------------------

void TCustomMPHexEditor::ChangeByte(int32_t position, uint8_t oldByte, uint8_t newByte, const QString& description)
{
    if (oldByte == newByte)
        return;
    CreateUndo(ukChangeBytes, position, 1, 0, description);
    SetByteAt(position, newByte);
    if (!InsertMode())
        SetChangeMark(position, true);
    ApplyDataChange({position, 1, 1});
    Changed();
}

void TCustomMPHexEditor::ChangeWord(int32_t position, uint16_t oldWord, uint16_t newWord, const QString& description)
{
    if (oldWord == newWord)
        return;
    CreateUndo(ukChangeBytes, position, 2, 0, description);
    const uint8_t bytes[2] = {uint8_t(newWord & 0xFF), uint8_t(newWord >> 8)};
    WriteBuffer(bytes, position, 2);
    if (!InsertMode()) {
        SetChangeMark(position, (oldWord & 0xFF) != (newWord & 0xFF));
        SetChangeMark(position + 1, (oldWord >> 8) != (newWord >> 8));
    }
    ApplyDataChange({position, 2, 2});
    Changed();
}

// ---- removing --------------------------------------------------------------------------

void TCustomMPHexEditor::DeleteSelection(const QString& description)
{
    const bool charField = CaretInCharField();
    int32_t start;
    int32_t end;
    TGridCoord target{Col(), Row()};
    if (SelCount() > 0) {
        start = m_selection.First;
        end = m_selection.Last + 1;
        target = CellAtPosition(start, charField);
    } else {
        start = PositionAtCell(Col(), Row());
        end = start + 1;
    }
    // The caret after the last byte (insert mode) has no byte to remove.
    if (start >= DataSize())
        return;
    CreateUndo(ukRemove, start, end - start, 0, description);
    CutChangeMarks(start);
    DeleteData(start, end, target.X, target.Y);
    Changed();
}

void TCustomMPHexEditor::DeleteAtCaret(bool backwards, const QString& description)
{
    const int32_t u = m_bytesPerUnit;
    const int32_t size = DataSize();
    const int32_t caret = PositionAtCell(Col(), Row());
    const int32_t a = AlignToUnit(std::clamp(caret, 0, std::max(0, size - 1)));
    if (backwards) {
        int32_t q = a;
        int32_t k = u;
        if (InsertMode() && m_selection.Anchor == -1) {
            q = caret;
            if (q == size && size % u != 0)
                k = 1;
            else
                q = AlignToUnit(q);
        }
        if (q <= 0 || q - k < 0)
            return;
        CreateUndo(ukRemove, q - k, k, 0, description);
        CutChangeMarks(q - k);
        DeleteData(q - k, q, Col(), Row());
        if (q == a)
            Seek(q - k, 0);
        else if (Col() + 1 < ColCount())
            MoveColRow(Col() + 1, Row(), true);
    } else {
        if (a >= size)
            return;
        const int32_t k = std::min(u, size - a);
        CreateUndo(ukRemove, a, k, 0, description);
        CutChangeMarks(a);
        DeleteData(a, a + k, Col(), Row());
    }
    Changed();
}

// ---- inserting -------------------------------------------------------------------------

void TCustomMPHexEditor::InsertBuffer(const void* buffer, int32_t count, int32_t position, const QString& description,
                                      bool moveCaret)
{
    if (position < 0 || position > DataSize() || count < 0)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::OutOfBounds));
    if (count == 0)
        return;
    CheckGrowth(int64_t(DataSize()) + count);
    CreateUndo(ukInsert, position, count, 0, description);
    InsertData(buffer, count, position);
    CutChangeMarks(position);
    if (isEnabled()) {
        SelectRange(position, position, position + count - 1);
        if (moveCaret) {
            const TGridCoord cell = CellAtPosition(position + count - 1, CaretInCharField());
            MoveColRow(cell.X, cell.Y, true);
            SelectRange(position, position, position + count - 1);
        }
    }
    Changed();
}

void TCustomMPHexEditor::AppendBuffer(const void* buffer, int32_t count, const QString& description, bool moveCaret)
{
    if (!buffer || count <= 0)
        return;
    const int32_t oldSize = DataSize();
    CheckGrowth(int64_t(oldSize) + count);
    CreateUndo(ukAppend, oldSize, count, 0, description);
    CutChangeMarks(oldSize);
    AppendData(buffer, count);
    if (moveCaret) {
        const TGridCoord cell = CellAtPosition(oldSize, CaretInCharField());
        MoveColRow(cell.X, cell.Y, true);
    }
    SelectRange(oldSize, oldSize, oldSize + count - 1);
    Changed();
}

// ---- replacing -------------------------------------------------------------------------

void TCustomMPHexEditor::ReplaceSelection(const void* buffer, int32_t count, const QString& description,
                                          bool moveCaret)
{
    if (count < 0)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::OutOfBounds));
    if (SelCount() == 0) {
        InsertBuffer(buffer, count, SelStart(), description, moveCaret);
        return;
    }
    if (NoSizeChangeInForce()) {
        count = std::min(count, SelCount());
        if (count == 0)
            return;
        if (count < SelCount()) {
            const int32_t start = std::min(SelStart(), SelEnd());
            StoreSelection(start, start, start + count - 1);
        }
    }
    const int32_t first = m_selection.First;
    const int32_t oldCount = SelCount();
    const bool charField = CaretInCharField();
    CheckGrowth(int64_t(DataSize()) - oldCount + count);
    CreateUndo(ukReplace, first, count, oldCount, description);
    const TGridCoord target = CellAtPosition(first, charField);
    DeleteData(first, first + oldCount, target.X, target.Y);
    InsertData(buffer, count, first);
    CutChangeMarks(first);
    if (moveCaret && count > 0) {
        const TGridCoord cell = CellAtPosition(first + count - 1, charField);
        MoveColRow(cell.X, cell.Y, true);
        SelectRange(first + count - 1, first, first + count - 1);
    }
    // The whole replacement as one change (the moves above made their part).
    ApplyDataChange({first, oldCount, count});
    Changed();
}

int32_t TCustomMPHexEditor::Replace(const void* buffer, int32_t position, int32_t oldCount, int32_t newCount,
                                    const QString& description, bool moveCaret)
{
    const int32_t size = DataSize();
    if (position < 0 || oldCount < 0 || newCount < 0 || position > size)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::OutOfBounds));
    if (oldCount > size - position) {
        if (newCount == oldCount)
            newCount = size - position;
        oldCount = size - position;
    }
    if (NoSizeChangeInForce())
        oldCount = newCount = std::min(oldCount, newCount);
    CheckGrowth(int64_t(size) - oldCount + newCount);
    const bool charField = CaretInCharField();
    CreateUndo(ukReplace, position, newCount, oldCount, description);
    if (!moveCaret && m_undo.Storage->SuspendCount() == 0)
        m_undo.Storage->SetUndoSelection(position, oldCount);
    if (oldCount > newCount)
        DeleteData(position, position + oldCount - newCount, Col(), Row());
    else if (oldCount < newCount)
        InsertData(nullptr, newCount - oldCount, position);
    if (newCount > 0)
        WriteBuffer(buffer, position, newCount);
    // The whole replacement as one change (the moves above made their part).
    if (oldCount > 0 || newCount > 0)
        ApplyDataChange({position, oldCount, newCount});
    CutChangeMarks(position);
    if (moveCaret)
        PlaceCaret(position, charField);
    Changed();
    return newCount;
}

// ---- caret and selection helpers ---------------------------------------------------------

int32_t TCustomMPHexEditor::Seek(int32_t offset, int origin)
{
    const int32_t size = DataSize();
    if (size == 0)
        return -1;
    const int64_t caret = std::clamp(PositionAtCell(Col(), Row()), 0, size - 1);
    int64_t target;
    switch (origin) {
    case 0: target = offset; break;
    case 1: target = caret + offset; break;
    case 2: target = int64_t(size) - 1 + offset; break;
    default: target = caret; break;
    }
    const auto clamped = static_cast<int32_t>(std::clamp<int64_t>(target, 0, size - 1));
    SetSelStart(clamped);
    return clamped;
}

void TCustomMPHexEditor::SelectAll()
{
    const int32_t size = DataSize();
    if (size == 0)
        return;
    PlaceCaret(InsertMode() ? size : size - 1, CaretInCharField());
    SelectRange(0, 0, size - 1);
    SelectionChanged();
}
