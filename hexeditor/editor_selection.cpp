// Cell/position mapping, the caret-move rule, the selection and its
// deferred notification.

#include "hexeditor/mphexeditor.h"

#include "hexeditor/core/mphcaretrule.h"

#include "platform/core/apperror.h"
#include "platform/inputstate.h"
#include "platform/privatemessages.h"

#include <algorithm>

// ---- mapping ---------------------------------------------------------------------

// The arithmetic is the grid geometry's; these keep InCharField in step.

int32_t TCustomMPHexEditor::PositionAtCell(int col, int row)
{
    const TMPHGridGeometry geo = Geometry();
    m_inCharField = geo.IsCharColumn(col);
    return geo.PositionAt(col, row);
}

int TCustomMPHexEditor::RowOfPosition(int32_t position) const
{
    return Geometry().RowOf(position);
}

TGridCoord TCustomMPHexEditor::CellAtPosition(int32_t position, bool charField) const
{
    const TMPHCell cell = Geometry().CellOf(position, charField);
    return {cell.Col, cell.Row};
}

int TCustomMPHexEditor::OtherFieldColumn(int col) const
{
    return Geometry().OtherFieldColumn(col);
}

int TCustomMPHexEditor::OtherFieldColumnAndSet(int col)
{
    m_inCharField = Geometry().IsCharColumn(col);
    return OtherFieldColumn(col);
}

int32_t TCustomMPHexEditor::AlignToUnit(int32_t position) const
{
    return (position / m_bytesPerUnit) * m_bytesPerUnit;
}

void TCustomMPHexEditor::AlignRange(int32_t& p, int32_t& q) const
{
    const int32_t u = m_bytesPerUnit;
    const int32_t size = DataSize();
    int32_t& low = p <= q ? p : q;
    int32_t& high = p <= q ? q : p;
    low = AlignToUnit(low);
    high = AlignToUnit(high) + u - 1;
    if (high >= size)
        high = size - 1;
}

// ---- caret and selection properties -------------------------------------------------

int32_t TCustomMPHexEditor::CaretPosition()
{
    const int32_t position = PositionAtCell(Col(), Row());
    return std::clamp<int32_t>(position, 0, std::max<int32_t>(0, DataSize() - 1));
}

bool TCustomMPHexEditor::InCharField()
{
    if (DataSize() == 0)
        return false;
    return CaretInCharField();
}

void TCustomMPHexEditor::SetInCharField(bool value)
{
    if (DataSize() > 0 && value != InCharField())
        MoveColRow(OtherFieldColumn(Col()), Row(), true);
}

int32_t TCustomMPHexEditor::SelStart()
{
    if (m_selection.Anchor != -1)
        return m_selection.Anchor;
    return PositionAtCell(Col(), Row());
}

void TCustomMPHexEditor::SetSelStart(int32_t value)
{
    if (value < 0 || value >= DataSize())
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidSelStart));
    const bool charField = CaretInCharField();
    ResetSelection(true);
    const TGridCoord cell = CellAtPosition(value, charField);
    MoveColRow(cell.X, cell.Y, true);
}

int32_t TCustomMPHexEditor::SelEnd()
{
    if (m_selection.Anchor == -1)
        return PositionAtCell(Col(), Row());
    return m_selection.Anchor == m_selection.Last ? m_selection.First : m_selection.Last;
}

void TCustomMPHexEditor::SetSelEnd(int32_t value)
{
    if (value < -1 || value >= DataSize())
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidSelEnd));
    ResetSelection(true);
    if (value >= 0) {
        SetSelection(PositionAtCell(Col(), Row()), value);
        SelectionChanged();
    }
}

int32_t TCustomMPHexEditor::SelCount() const
{
    return m_selection.Count();
}

QByteArray TCustomMPHexEditor::SelectionAsText()
{
    const int32_t count = SelCount();
    if (DataSize() == 0 || count == 0)
        return QByteArray();
    QByteArray text(count, '\0');
    ReadBuffer(text.data(), m_selection.First, count);
    return text;
}

void TCustomMPHexEditor::ResetSelection(bool repaint)
{
    const bool hadSelection = m_selection.First != -1;
    const int32_t first = m_selection.First;
    const int32_t last = m_selection.Last;
    m_selection.Clear();
    if (repaint && hadSelection)
        InvalidateRowsOf(first, last);
}

void TCustomMPHexEditor::StoreSelection(int32_t anchor, int32_t first, int32_t last)
{
    m_selection.Store(anchor, first, last, DataSize());
}

void TCustomMPHexEditor::SetSelection(int32_t startPosition, int32_t endPosition)
{
    AlignRange(startPosition, endPosition);
    const int32_t oldFirst = m_selection.First;
    const int32_t oldLast = m_selection.Last;
    StoreSelection(startPosition, std::min(startPosition, endPosition), std::max(startPosition, endPosition));

    if (oldFirst == -1) {
        InvalidateRowsOf(m_selection.First, m_selection.Last);
    } else {
        InvalidateRowsOf(std::min(oldFirst, m_selection.First), std::max(oldFirst, m_selection.First));
        InvalidateRowsOf(std::min(oldLast, m_selection.Last), std::max(oldLast, m_selection.Last));
    }
    SelectionChanged();
}

void TCustomMPHexEditor::SelectionMoved(int32_t oldFirst, int32_t oldLast)
{
    if (oldFirst == m_selection.First && oldLast == m_selection.Last)
        return;
    InvalidateRowsOf(oldFirst, oldLast);
    InvalidateRowsOf(m_selection.First, m_selection.Last);
}

void TCustomMPHexEditor::InvalidateRowsOf(int32_t first, int32_t last)
{
    if (first < 0 || last < 0)
        return;
    InvalidateRowSpan({RowOfPosition(std::min(first, last)), RowOfPosition(std::max(first, last))});
}

void TCustomMPHexEditor::InvalidateRowSpan(const TMPHRowSpan& rows)
{
    const int firstRow = std::max(rows.First, TopRow());
    const int lastRow = std::min(rows.Last, TopRow() + VisibleRowCount() + 1);
    for (int row = firstRow; row <= lastRow; ++row)
        InvalidateRow(row);
}

// ---- the caret-move rule --------------------------------------------------------

bool TCustomMPHexEditor::SelectCell(int col, int row)
{
    if (DataSize() == 0) {
        TMPHCaretRequest request;
        request.Cell = {col, row};
        const bool accepted = DecideCaretCell(Geometry(), request).Verdict == TMPHCaretVerdict::Accept;
        if (accepted)
            UpdateCaretPos();
        return accepted;
    }
    if (!TCustomGrid::SelectCell(col, row))
        return false;
    // A move made by the check itself is accepted without a second check.
    if (!m_inSelectCell && !ApplyCaretRule(col, row))
        return false;
    CaretMoved({Col(), Row()}, {col, row});
    if (m_selection.Extending)
        ExtendSelectionTo(col, row);
    else
        ResetSelection(true);
    UpdateCaretPos();
    SelectionChanged();
    return true;
}

bool TCustomMPHexEditor::ApplyCaretRule(int col, int row)
{
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(m_inSelectCell);

    const IInputState& input = InputState();
    TMPHCaretRequest request;
    request.Cell = {col, row};
    request.DataSize = DataSize();
    request.InsertMode = InsertMode();
    request.CaretInCharField = CaretInCharField();
    request.ShiftDown = input.ShiftDown();
    request.LeftButtonDown = input.LeftButtonDown();
    const TMPHCaretDecision decision = DecideCaretCell(Geometry(), request);

    if (decision.DropSelection)
        ResetSelection(true);
    // The field follows the requested cell, as mapping it always has.
    m_inCharField = Geometry().IsCharColumn(col);
    if (decision.Verdict == TMPHCaretVerdict::Redirect)
        MoveColRow(decision.Target.Col, decision.Target.Row, true);
    return decision.Verdict == TMPHCaretVerdict::Accept;
}

void TCustomMPHexEditor::CaretMoved(TGridCoord from, TGridCoord to)
{
    if (from.X == to.X && from.Y == to.Y)
        return;
    // The caret's cells, their partners framed in the other field and the
    // gutter cells: the rows of both; and the ruler's marks.
    InvalidateRow(from.Y);
    if (to.Y != from.Y)
        InvalidateRow(to.Y);
    InvalidateRow(TMPHGridGeometry::RulerRow);
}

void TCustomMPHexEditor::ExtendSelectionTo(int col, int row)
{
    int32_t newPosition = PositionAtCell(col, row);
    const int32_t current = PositionAtCell(Col(), Row());
    if (m_selection.Origin == -1)
        m_selection.Origin = current;
    if (!InsertMode()) {
        AlignRange(m_selection.Origin, newPosition);
        SetSelection(m_selection.Origin, newPosition);
        return;
    }
    // Insert mode: the caret stands between bytes.
    const int32_t u = m_bytesPerUnit;
    const int32_t origin = AlignToUnit(m_selection.Origin);
    newPosition = AlignToUnit(newPosition);
    if (origin == newPosition) {
        ResetSelection(true);
        m_selection.Origin = newPosition;
        m_selection.Extending = true;
    } else if (newPosition < origin) {
        SetSelection(origin - u, newPosition);
    } else {
        SetSelection(origin, newPosition - u);
    }
}

// ---- deferred selection notification ----------------------------------------------

void TCustomMPHexEditor::SelectionChanged()
{
    if (m_selectionChangedCount == 0)
        PostPrivateMessage(this, CM_SELECTIONCHANGED);
    ++m_selectionChangedCount;
}

bool TCustomMPHexEditor::event(QEvent* e)
{
    if (HandleInputEvent(e))
        return true;
    if (IsPrivateMessage(e, CM_SELECTIONCHANGED)) {
        m_selectionChangedCount = 0;
        // The handler runs from the event loop: its errors go to the
        // application's error handler instead of into the toolkit.
        try {
            if (OnSelectionChanged)
                OnSelectionChanged(this);
        } catch (...) {
            HandleApplicationException(std::current_exception());
        }
        return true;
    }
    return TCustomGrid::event(e);
}
