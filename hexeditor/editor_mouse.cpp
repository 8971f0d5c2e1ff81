// Mouse input: the insert-mode adjustment of the pointer, presses, moves and
// releases around the grid base's own selecting, clicks inside the
// selection, and the pointer shape.

#include "hexeditor/mphexeditor.h"

#include "platform/core/apperror.h"
#include "platform/inputstate.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>

namespace {

Qt::KeyboardModifiers shiftStateOf(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
}

bool isDataCell(TGridCoord cell)
{
    return cell.X >= TMPHGridGeometry::FirstHexColumn && cell.Y >= TMPHGridGeometry::FirstDataRow;
}

} // namespace

// ---- hit testing ---------------------------------------------------------------------------

TMPHMousePoint TCustomMPHexEditor::AdjustMousePoint(int x, int y) const
{
    TMPHMousePoint point{x, y, MouseCoordUnclipped(x, y)};
    if (!InsertMode() || !isDataCell(point.Cell))
        return point;
    // The arithmetic runs in grid coordinates; the point goes back mirrored
    // in a right-to-left layout.
    point.X = LogicalX(x);
    AdjustInsertPoint(point);
    point.X = LogicalX(point.X);
    return point;
}

void TCustomMPHexEditor::AdjustInsertPoint(TMPHMousePoint& point) const
{
    // Only the columns matter: take their extent on the top row, which is
    // visible even when the pointer has left the view.
    auto columnRect = [this](int col) { return CellRect(col, TopRow()); };
    const TMPHGridGeometry geo = Geometry();
    const int lastHex = geo.LastHexColumn();
    const int lastCol = ColCount() - 1;
    const int halfChar = m_charWidth / 2;
    QRect r = columnRect(point.Cell.X);
    if (r.isEmpty())
        return;
    // The right half of a cell stands for the position after it.
    if (point.X >= r.left() + halfChar && point.Cell.X != lastHex && point.Cell.X != lastCol) {
        point.X = r.left() + r.width() + 1;
        ++point.Cell.X;
        r = columnRect(point.Cell.X);
        if (r.isEmpty())
            return;
    }
    // Past the end of a row: the first cell of the field in the next row.
    if ((point.Cell.X == lastCol || point.Cell.X == lastHex) && point.X - r.left() > halfChar) {
        const int firstCol = point.Cell.X == lastCol ? geo.FirstCharColumn() : TMPHGridGeometry::FirstHexColumn;
        point.Y += DefaultRowHeight();
        point.Cell = TGridCoord{firstCol, point.Cell.Y + 1};
        const QRect first = columnRect(firstCol);
        if (!first.isEmpty())
            point.X = first.left();
    }
}

bool TCustomMPHexEditor::IsMouseOverSelection(int x, int y)
{
    if (SelCount() == 0 || DataSize() == 0)
        return false;
    const TGridCoord cell = MouseCoordUnclipped(x, y);
    if (!isDataCell(cell))
        return false;
    // A probe: the caret's field stays as it is.
    const bool inCharField = m_inCharField;
    const int32_t position = PositionAtCell(cell.X, cell.Y);
    m_inCharField = inCharField;
    return position >= 0 && position < DataSize() && position >= m_selection.First && position <= m_selection.Last;
}

bool TCustomMPHexEditor::IsMouseOverSelection()
{
    const QPoint p = viewport()->mapFromGlobal(QCursor::pos());
    return IsMouseOverSelection(p.x(), p.y());
}

bool TCustomMPHexEditor::IsOverFixedCell(int x, int y) const
{
    const TGridCoord cell = MouseCoordUnclipped(x, y);
    return cell.X < 2 || cell.Y < 2;
}

bool TCustomMPHexEditor::CanFocus() const
{
    if (!TCustomGrid::CanFocus())
        return false;
    const QWidget* form = window();
    return form->isEnabled() && form->isVisible();
}

std::unique_ptr<QMouseEvent> TCustomMPHexEditor::MovedMouseEvent(const QMouseEvent& e, QPoint point)
{
    return std::make_unique<QMouseEvent>(e.type(), QPointF(point), e.globalPosition(), e.button(), e.buttons(),
                                         e.modifiers(), e.pointingDevice());
}

// ---- press, move, release -------------------------------------------------------------------

void TCustomMPHexEditor::mousePressEvent(QMouseEvent* e)
{
    EditorMouseDown(e, false);
}

void TCustomMPHexEditor::mouseDoubleClickEvent(QMouseEvent* e)
{
    EditorMouseDown(e, true);
}

void TCustomMPHexEditor::EditorMouseDown(QMouseEvent* e, bool doubleClick)
{
    const TScopedInputState state(e->modifiers().testFlag(Qt::ShiftModifier), e->buttons().testFlag(Qt::LeftButton));
    const bool left = e->button() == Qt::LeftButton;
    const QPoint pos = e->position().toPoint();
    m_selection.Extending = false;
    m_pendingSelectionClick = false;
    const TMPHMousePoint point = left ? AdjustMousePoint(pos.x(), pos.y())
                                      : TMPHMousePoint{pos.x(), pos.y(), MouseCoordUnclipped(pos.x(), pos.y())};
    const bool overSelection = IsMouseOverSelection(point.X, point.Y);
    const bool baseSees = !overSelection && !IsOverFixedCell(point.X, point.Y);
    try {
        if (baseSees) {
            const auto moved = MovedMouseEvent(*e, QPoint(point.X, point.Y));
            if (doubleClick)
                TCustomGrid::mouseDoubleClickEvent(moved.get());
            else
                TCustomGrid::mousePressEvent(moved.get());
        } else if (CanFocus() || !parentWidget()) {
            setFocus(Qt::MouseFocusReason);
        }
        // The window's remembered focus is this editor, but the window is
        // not active: give the keyboard focus directly.
        if (window()->focusWidget() == this && !window()->isActiveWindow() && isVisible()) {
            window()->activateWindow();
            setFocus(Qt::MouseFocusReason);
        }
        if (left && !overSelection && isDataCell(point.Cell)) {
            ResetSelection(true);
            // Dragging from here selects; the second press of a double click does not.
            if (!doubleClick)
                m_selection.Extending = true;
        }
        if (left && overSelection) {
            m_pendingClickPoint = QPoint(point.X, point.Y);
            m_pendingClickCell = point.Cell;
            m_pendingSelectionClick = true;
        }
        if (!baseSees && OnMouseDown && hasFocus())
            OnMouseDown(this, e->button(), e->modifiers(), pos.x(), pos.y());
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
    e->accept();
}

void TCustomMPHexEditor::mouseMoveEvent(QMouseEvent* e)
{
    const TScopedInputState state(e->modifiers().testFlag(Qt::ShiftModifier), e->buttons().testFlag(Qt::LeftButton));
    const QPoint pos = e->position().toPoint();
    TMPHMousePoint point{pos.x(), pos.y(), MouseCoordUnclipped(pos.x(), pos.y())};
    if (e->buttons() == Qt::LeftButton && shiftStateOf(e->modifiers()) == Qt::NoModifier)
        point = AdjustMousePoint(pos.x(), pos.y());
    try {
        const auto moved = MovedMouseEvent(*e, QPoint(point.X, point.Y));
        TCustomGrid::mouseMoveEvent(moved.get());
        // A press inside the selection stays a click until the pointer
        // reaches another cell.
        if (m_pendingSelectionClick
            && (point.Cell.X != m_pendingClickCell.X || point.Cell.Y != m_pendingClickCell.Y))
            m_pendingSelectionClick = false;
        UpdatePointerShape(pos.x(), pos.y(), e->buttons(), e->modifiers());
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
    e->accept();
}

void TCustomMPHexEditor::mouseReleaseEvent(QMouseEvent* e)
{
    const TScopedInputState state(e->modifiers().testFlag(Qt::ShiftModifier), e->buttons().testFlag(Qt::LeftButton));
    const QPoint pos = e->position().toPoint();
    const TMPHMousePoint point = AdjustMousePoint(pos.x(), pos.y());
    try {
        const auto moved = MovedMouseEvent(*e, QPoint(point.X, point.Y));
        TCustomGrid::mouseReleaseEvent(moved.get());
        if (m_pendingSelectionClick) {
            // A click inside the selection: the caret goes where it was clicked.
            m_pendingSelectionClick = false;
            ResetSelection(true);
            MoveColRow(point.Cell.X, point.Cell.Y, true);
        }
        // Every release ends a drop position shown while dragging.
        if (DropMarkerVisible()) {
            SetDropMarker(false, DropMarkerCol(), DropMarkerRow());
            viewport()->update();
        }
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
    e->accept();
}

void TCustomMPHexEditor::ScrollTimerTick()
{
    if (!IsSelecting())
        return;
    // The base selects only while the left button is held.
    const TScopedInputState state(InputState().ShiftDown(), true);
    const QPoint last = LastMousePoint();
    const TMPHMousePoint point = AdjustMousePoint(last.x(), last.y());
    if (point.Cell.X == -1 && point.Cell.Y == -1)
        return;
    try {
        ScrollTowards(QPoint(point.X, point.Y));
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
}

void TCustomMPHexEditor::UpdatePointerShape(int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift)
{
    // The hourglass of a long operation stays.
    if (m_busyCursors.Depth() > 0)
        return;
    const bool idle = buttons == Qt::NoButton && shiftStateOf(shift) == Qt::NoModifier;
    const Qt::CursorShape shape
        = idle && (IsMouseOverSelection(x, y) || IsOverFixedCell(x, y)) ? Qt::ArrowCursor : Qt::IBeamCursor;
    if (viewport()->cursor().shape() != shape)
        viewport()->setCursor(shape);
}
