// Wheel paging, scroll bar and top-left changes, the deferred caret
// placement after a resize.

#include "hexeditor/mphexeditor.h"

#include "hexeditor/core/mphnavigation.h"
#include "platform/core/apperror.h"
#include "platform/privatemessages.h"

#include <QWheelEvent>

#include <cstdlib>

namespace {
// One notch of a wheel, in eighths of a degree.
constexpr int WheelNotch = 120;
} // namespace

void TCustomMPHexEditor::wheelEvent(QWheelEvent* e)
{
    const int delta = e->angleDelta().y();
    if (delta == 0) {
        TCustomGrid::wheelEvent(e);
        return;
    }
    const Qt::KeyboardModifiers shift
        = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const Qt::MouseButtons buttons = e->buttons();
    // Fine-grained wheels report parts of a notch; they add up.
    if ((m_wheelRemainder < 0) != (delta < 0))
        m_wheelRemainder = 0;
    m_wheelRemainder += delta;
    bool handled = true;
    try {
        while (handled && std::abs(m_wheelRemainder) >= WheelNotch) {
            const bool down = m_wheelRemainder < 0;
            m_wheelRemainder += down ? WheelNotch : -WheelNotch;
            handled = down ? DoMouseWheelDown(shift, buttons) : DoMouseWheelUp(shift, buttons);
        }
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
    const bool plain = shift == Qt::NoModifier && buttons == Qt::NoButton;
    if (!handled || !plain) {
        m_wheelRemainder = 0;
        if (!handled)
            TCustomGrid::wheelEvent(e);
        return;
    }
    e->accept();
}

bool TCustomMPHexEditor::DoMouseWheelDown(Qt::KeyboardModifiers shift, Qt::MouseButtons buttons)
{
    if (shift != Qt::NoModifier || buttons != Qt::NoButton)
        return false;
    SetTopRow(m_wheelRows > 0 ? WheelRowsDownTopRow(TopRow(), m_wheelRows, VisibleRowCount(), RowCount())
                              : WheelDownTopRow(TopRow(), VisibleRowCount(), RowCount()));
    UpdateCaretPos();
    return true;
}

bool TCustomMPHexEditor::DoMouseWheelUp(Qt::KeyboardModifiers shift, Qt::MouseButtons buttons)
{
    if (shift != Qt::NoModifier || buttons != Qt::NoButton)
        return false;
    SetTopRow(m_wheelRows > 0 ? WheelRowsUpTopRow(TopRow(), m_wheelRows) : WheelUpTopRow(TopRow(), VisibleRowCount()));
    UpdateCaretPos();
    return true;
}

void TCustomMPHexEditor::TopLeftChanged()
{
    TCustomGrid::TopLeftChanged();
    UpdateCaretPos();
    // Called from scroll bars and other toolkit code: the handler's errors
    // go to the application's error handler.
    try {
        if (OnTopLeftChanged)
            OnTopLeftChanged(this);
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
}

void TCustomMPHexEditor::resizeEvent(QResizeEvent* e)
{
    // The caret is placed once the grid has settled into the new size.
    PostPrivateMessage(this, CM_INTRESIZE, 7, 7);
    TCustomGrid::resizeEvent(e);
}
