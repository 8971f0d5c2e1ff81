// Key down: the Qt key event mapped to key down and typed characters, the
// navigation keys, deletion, insert mode, field switching and bookmarks.

#include "hexeditor/mphexeditor.h"

#include "hexeditor/core/mphnavigation.h"

#include "platform/core/apperror.h"
#include "platform/inputstate.h"
#include "platform/privatemessages.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <algorithm>

namespace {

using Mods = Qt::KeyboardModifiers;

bool ctrlIn(Mods shift) { return shift.testFlag(Qt::ControlModifier); }

// The modifiers that make up a shift state.
Mods shiftStateOf(Mods modifiers)
{
    return modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
}

// The digit of the key a Ctrl+digit press came from. With Shift held the
// layout reports the shifted symbol; the physical key decides, as the
// bookmark keys are named by the digit keys.
int digitKeyOf(const QKeyEvent& e)
{
    const int key = e.key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return key;
    // Keycodes 10..19 are the top row 1..9, 0 of a PC keyboard under X11.
    const quint32 code = e.nativeScanCode();
    if (QGuiApplication::platformName() == QLatin1String("xcb") && code >= 10 && code <= 19)
        return code == 19 ? Qt::Key_0 : Qt::Key_1 + int(code - 10);
    static const char shifted[] = ")!@#$%^&*(";
    for (int d = 0; d < 10; ++d) {
        if (key == shifted[d])
            return Qt::Key_0 + d;
    }
    return key;
}

// The key code the key table works with.
int keyCodeOf(const QKeyEvent& e)
{
    if (e.key() == Qt::Key_Backtab)
        return Qt::Key_Tab;
    if (e.modifiers().testFlag(Qt::ControlModifier))
        return digitKeyOf(e);
    return e.key();
}

// The shift state of a key event. Pressing a modifier key holds it, whatever
// the window system reports for the press itself (X11 reports the state
// before the press): a Ctrl press must not count as a key without Shift.
Mods shiftStateOf(const QKeyEvent& e)
{
    Mods shift = shiftStateOf(e.modifiers());
    switch (e.key()) {
    case Qt::Key_Shift: shift |= Qt::ShiftModifier; break;
    case Qt::Key_Control: shift |= Qt::ControlModifier; break;
    case Qt::Key_Alt: shift |= Qt::AltModifier; break;
    default: break;
    }
    return shift;
}

// Whether the press also types its text. Ctrl with a printable key is a
// command, not a character (Ctrl+Alt is AltGr and types).
bool typesText(const QKeyEvent& e)
{
    const QString text = e.text();
    if (text.isEmpty())
        return false;
    const Mods m = e.modifiers();
    if (m.testFlag(Qt::ControlModifier) && !m.testFlag(Qt::AltModifier))
        return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 32; });
    return true;
}

// Runs part of an event handler; an error goes to the application's error
// handler instead of into the toolkit.
template <typename F>
void guarded(F&& part)
{
    try {
        part();
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
}

// ---- navigation -------------------------------------------------------------------

// The caret cell and what the key table needs of it.
struct Caret
{
    int col;
    int row;
    int32_t position; // not clamped to the data
    bool inChar;
};

Caret caretOf(TCustomMPHexEditor& ed)
{
    const int col = ed.Col();
    const int row = ed.Row();
    return {col, row, ed.PositionAtCell(col, row), ed.Geometry().IsCharColumn(col)};
}

void moveTo(TCustomMPHexEditor& ed, TGridCoord cell)
{
    ed.MoveColRow(cell.X, cell.Y, true);
}

// The last position the caret may take.
int32_t lastPosition(TCustomMPHexEditor& ed)
{
    return ed.InsertMode() ? ed.DataSize() : ed.DataSize() - 1;
}

// Unit steps while selecting, and in the unicode character field.
bool stepsByUnit(TCustomMPHexEditor& ed, const Caret& c)
{
    return ed.ExtendingSelection() || (c.inChar && ed.UnicodeChars());
}

void keyLeft(TCustomMPHexEditor& ed, Mods shift)
{
    const Caret c = caretOf(ed);
    if (ctrlIn(shift)) {
        ed.MoveColRow(TMPHGridGeometry::FirstHexColumn, c.row, true);
        return;
    }
    const int32_t target = c.position - (stepsByUnit(ed, c) ? ed.BytesPerUnit() : 1);
    if (c.inChar) {
        moveTo(ed, ed.CellAtPosition(std::max<int32_t>(target, 0), true));
    } else if (ed.ExtendingSelection()) {
        moveTo(ed, ed.CellAtPosition(ed.AlignToUnit(std::max<int32_t>(target, 0)), false));
    } else if (c.col % 2 == 1) {
        ed.MoveColRow(c.col - 1, c.row, true); // second digit -> first digit
    } else if (c.position > 0) {
        const TGridCoord cell = ed.CellAtPosition(c.position - 1, false);
        ed.MoveColRow(cell.X + 1, cell.Y, true);
    }
}

void keyRight(TCustomMPHexEditor& ed, Mods shift)
{
    const Caret c = caretOf(ed);
    if (ctrlIn(shift)) {
        ed.MoveColRow(ed.ColCount() - 1, c.row, true);
        return;
    }
    const int32_t last = std::max<int32_t>(lastPosition(ed), 0);
    const int32_t target = c.position + (stepsByUnit(ed, c) ? ed.BytesPerUnit() : 1);
    if (c.inChar) {
        moveTo(ed, ed.CellAtPosition(std::min(target, last), true));
    } else if (ed.ExtendingSelection()) {
        moveTo(ed, ed.CellAtPosition(std::min(ed.AlignToUnit(target), last), false));
    } else if (c.col % 2 == 0 && c.position != ed.DataSize()) {
        ed.MoveColRow(c.col + 1, c.row, true); // first digit -> second digit
    } else if (c.position + 1 < ed.DataSize() || (ed.InsertMode() && c.position + 1 == ed.DataSize())) {
        moveTo(ed, ed.CellAtPosition(c.position + 1, false));
    }
}

void keyUpDown(TCustomMPHexEditor& ed, int key, Mods shift)
{
    if (ctrlIn(shift))
        return;
    const int row = ed.Row() + (key == Qt::Key_Up ? -1 : 1);
    if (row >= MPHFirstDataRow && row < ed.RowCount())
        ed.MoveColRow(ed.Col(), row, true);
}

void keyPage(TCustomMPHexEditor& ed, int key, Mods shift)
{
    const int visible = ed.VisibleRowCount();
    if (ctrlIn(shift)) {
        // The first or the last visible row, same column.
        const int row = key == Qt::Key_PageUp ? ed.TopRow()
                                              : std::min(ed.TopRow() + std::max(visible, 1) - 1, ed.RowCount() - 1);
        ed.MoveColRow(ed.Col(), row, true);
        return;
    }
    const TMPHRowJump jump = key == Qt::Key_PageUp ? PageUpJump(ed.Row(), ed.TopRow(), visible)
                                                   : PageDownJump(ed.Row(), ed.TopRow(), visible, ed.RowCount());
    ed.SetTopRow(jump.TopRow);
    ed.MoveColRow(ed.Col(), jump.Row, true);
}

void keyHome(TCustomMPHexEditor& ed, Mods shift)
{
    const Caret c = caretOf(ed);
    const int col = c.inChar ? ed.Geometry().FirstCharColumn() : TMPHGridGeometry::FirstHexColumn;
    ed.MoveColRow(col, ctrlIn(shift) ? MPHFirstDataRow : c.row, true);
}

void keyEnd(TCustomMPHexEditor& ed, Mods shift)
{
    const Caret c = caretOf(ed);
    const int32_t last = std::max<int32_t>(lastPosition(ed), 0);
    if (ctrlIn(shift)) {
        moveTo(ed, ed.CellAtPosition(last, c.inChar));
        return;
    }
    const int64_t rowEnd = int64_t(c.row - MPHFirstDataRow) * ed.BytesPerRow() + ed.BytesPerRow() - 1;
    const int32_t target = static_cast<int32_t>(std::min<int64_t>(rowEnd, last));
    TGridCoord cell = ed.CellAtPosition(target, c.inChar);
    if (!c.inChar)
        ++cell.X; // the byte's second digit
    moveTo(ed, cell);
}

// Tab and Ctrl+T: the same byte in the other field.
void keySwitchField(TCustomMPHexEditor& ed)
{
    const int col = std::max(TMPHGridGeometry::FirstHexColumn, ed.OtherFieldColumnAndSet(ed.Col()));
    ed.MoveColRow(col, ed.Row(), true);
}

bool handleNavigationKey(TCustomMPHexEditor& ed, int key, Mods shift)
{
    switch (key) {
    case Qt::Key_Left: keyLeft(ed, shift); return true;
    case Qt::Key_Right: keyRight(ed, shift); return true;
    case Qt::Key_Up:
    case Qt::Key_Down: keyUpDown(ed, key, shift); return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: keyPage(ed, key, shift); return true;
    case Qt::Key_Home: keyHome(ed, shift); return true;
    case Qt::Key_End: keyEnd(ed, shift); return true;
    case Qt::Key_Tab:
        if (shift == Qt::NoModifier || shift == Qt::ShiftModifier)
            keySwitchField(ed);
        return true;
    case Qt::Key_T:
        if (ctrlIn(shift))
            keySwitchField(ed);
        return true;
    default: return false;
    }
}

// ---- deletion and insert mode ---------------------------------------------------------

void keyBackspace(TCustomMPHexEditor& ed, Mods shift)
{
    if (ed.InsertMode() && !ed.ReadOnlyView()) {
        if (ed.SelCount() >= 1)
            ed.DeleteSelection();
        else
            ed.DeleteAtCaret(true);
        return;
    }
    if (!ctrlIn(shift))
        keyLeft(ed, shift);
}

void keyDelete(TCustomMPHexEditor& ed, Mods shift)
{
    if (ed.ReadOnlyView())
        return;
    // Overwrite mode deletes only with Ctrl alone.
    if (!ed.InsertMode() && shift != Qt::ControlModifier)
        return;
    if (ed.SelCount() > 0)
        ed.DeleteSelection();
    else
        ed.DeleteAtCaret(false);
}

bool handleEditingKey(TCustomMPHexEditor& ed, int key, Mods shift)
{
    switch (key) {
    case Qt::Key_Backspace: keyBackspace(ed, shift); return true;
    case Qt::Key_Delete: keyDelete(ed, shift); return true;
    case Qt::Key_Insert:
        if (shift == Qt::NoModifier)
            ed.SetInsertMode(!ed.InsertMode());
        return true;
    default: return false;
    }
}

// ---- bookmarks --------------------------------------------------------------------------

bool handleBookmarkKey(TCustomMPHexEditor& ed, int key, Mods shift)
{
    if (key < Qt::Key_0 || key > Qt::Key_9 || !ctrlIn(shift))
        return false;
    const int index = key - Qt::Key_0;
    if (shift.testFlag(Qt::ShiftModifier)) {
        const Caret c = caretOf(ed);
        ed.SetBookmark(index, c.position, c.inChar);
    } else {
        ed.GotoBookmark(index);
    }
    return true;
}

// Keys the editor takes before the window's shortcuts see them.
bool isEditorKey(const QKeyEvent& e)
{
    const Mods shift = shiftStateOf(e);
    switch (e.key()) {
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
    case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Home: case Qt::Key_End:
    case Qt::Key_Backspace: case Qt::Key_Delete: case Qt::Key_Insert:
        return true;
    default:
        break;
    }
    const int key = keyCodeOf(e);
    if (ctrlIn(shift) && (key == Qt::Key_T || (key >= Qt::Key_0 && key <= Qt::Key_9)))
        return true;
    // Plain typing.
    return !ctrlIn(shift) && !shift.testFlag(Qt::AltModifier) && typesText(e);
}

} // namespace

// ---- key down ----------------------------------------------------------------------------

void TCustomMPHexEditor::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
    if (shift == Qt::NoModifier && key != Qt::Key_Shift && !InsertMode())
        ResetSelection(true);

    if (handleNavigationKey(*this, key, shift) || handleEditingKey(*this, key, shift)
        || handleBookmarkKey(*this, key, shift))
        return;
    if (key == Qt::Key_Shift && shift.testFlag(Qt::ShiftModifier) && !shift.testFlag(Qt::AltModifier))
        m_selection.Extending = true;
}

void TCustomMPHexEditor::keyPressEvent(QKeyEvent* e)
{
    // The caret-move rule asks whether Shift is down: the event says.
    const TScopedInputState state(shiftStateOf(*e).testFlag(Qt::ShiftModifier), InputState().LeftButtonDown());
    int key = keyCodeOf(*e);
    const Qt::KeyboardModifiers shift = shiftStateOf(*e);
    guarded([&] { KeyDown(key, shift); });
    if (typesText(*e)) {
        for (QChar c : e->text())
            guarded([&] { KeyPress(c); });
    }
    // Every key belongs to the editor; none travels on to the parent.
    e->accept();
}

void TCustomMPHexEditor::keyReleaseEvent(QKeyEvent* e)
{
    e->accept();
}

bool TCustomMPHexEditor::HandleInputEvent(QEvent* e)
{
    switch (e->type()) {
    case QEvent::KeyPress: {
        // Tab reaches the key table instead of moving the focus while the
        // editor wants it.
        auto* k = static_cast<QKeyEvent*>(e);
        const bool tab = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
        if (tab && m_wantTabs && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(k);
            return true;
        }
        return false;
    }
    case QEvent::ShortcutOverride: {
        auto* k = static_cast<QKeyEvent*>(e);
        const bool tab = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
        if (isEditorKey(*k) || (tab && m_wantTabs)) {
            e->accept();
            return true;
        }
        return false;
    }
    case QEvent::FocusOut:
        m_selection.Extending = false;
        return false; // the base and the painting still see it
    default:
        break;
    }
    if (IsPrivateMessage(e, CM_INTRESIZE)) {
        if (static_cast<TPrivateMessage*>(e)->WParam() == 7)
            UpdateCaretPos();
        return true;
    }
    return false;
}
