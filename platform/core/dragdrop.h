#pragma once
// The drag-and-drop interfaces the editor speaks, shaped like the data
// transfer interfaces of oletypes.h: a drop target fed by the drag events of
// a window, a drop source consulted by the drag loop, key-state bits and the
// loop's result codes. platform/oledragdrop.h connects them to Qt.

#include "platform/core/oletypes.h"

#include <QtCore/qnamespace.h>
#include <QPoint>

// Key-state bits of a drag: mouse buttons and modifier keys.
inline constexpr uint32_t MK_LBUTTON = 0x0001;
inline constexpr uint32_t MK_RBUTTON = 0x0002;
inline constexpr uint32_t MK_SHIFT = 0x0004;
inline constexpr uint32_t MK_CONTROL = 0x0008;
inline constexpr uint32_t MK_MBUTTON = 0x0010;
inline constexpr uint32_t MK_ALT = 0x0020;

// The key-state bits of Qt's buttons and modifiers.
uint32_t KeyStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

// Qt's drop actions carry the same bits as the drop effects.
inline Qt::DropActions DropActionsOf(uint32_t effects)
{
    return Qt::DropActions(int(effects & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK)));
}
inline uint32_t EffectsOf(Qt::DropActions actions)
{
    return uint32_t(actions.toInt()) & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
}

// The action a drag proposes to targets that do not choose one themselves
// (other programs: a file manager takes the proposal as is). A copy when the
// source allows it, so that the source deletes its data only when a target
// has asked for a move; then a move, then a link.
Qt::DropAction ProposedDropAction(uint32_t okEffects);

// A window that accepts drops. Points are in screen coordinates; effect is
// in/out: the effects the source allows on entry, the chosen one on return.
class IDropTarget : public virtual IUnknown
{
public:
    virtual HRESULT DragEnter(IDataObject* dataObject, uint32_t keyState, QPoint point, uint32_t& effect) = 0;
    virtual HRESULT DragOver(uint32_t keyState, QPoint point, uint32_t& effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(IDataObject* dataObject, uint32_t keyState, QPoint point, uint32_t& effect) = 0;
};

// The side that started a drag: asked whether to go on and how to show the
// pointer.
class IDropSource : public virtual IUnknown
{
public:
    // DRAGDROP_S_CANCEL, DRAGDROP_S_DROP or S_OK (go on).
    virtual HRESULT QueryContinueDrag(bool escapePressed, uint32_t keyState) = 0;
    // DRAGDROP_S_USEDEFAULTCURSORS, or a failure for effects it does not know.
    virtual HRESULT GiveFeedback(uint32_t effect) = 0;
};

inline constexpr HRESULT DRAGDROP_E_NOTREGISTERED = HRESULT(0x80040100u);
inline constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = HRESULT(0x80040101u);
