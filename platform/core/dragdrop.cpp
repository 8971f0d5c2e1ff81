#include "platform/core/dragdrop.h"

uint32_t KeyStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    uint32_t state = 0;
    if (buttons & Qt::LeftButton)
        state |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        state |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        state |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        state |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        state |= MK_CONTROL;
    if (modifiers & Qt::AltModifier)
        state |= MK_ALT;
    return state;
}

Qt::DropAction ProposedDropAction(uint32_t okEffects)
{
    if (okEffects & DROPEFFECT_COPY)
        return Qt::CopyAction;
    if (okEffects & DROPEFFECT_MOVE)
        return Qt::MoveAction;
    if (okEffects & DROPEFFECT_LINK)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}
