#include "hexeditor/core/mphdropeffect.h"

uint32_t MPHDropEffect(bool dragStartedHere, bool readOnlyView, uint32_t keyState, bool fileList)
{
    if (dragStartedHere) {
        if (readOnlyView || (keyState & MK_CONTROL))
            return DROPEFFECT_COPY;
        return DROPEFFECT_MOVE;
    }
    if ((keyState & MK_SHIFT) && !readOnlyView)
        return fileList ? DROPEFFECT_LINK : DROPEFFECT_MOVE;
    return DROPEFFECT_COPY;
}

HRESULT MPHQueryContinueDrag(bool escapePressed, uint32_t keyState)
{
    if (escapePressed)
        return DRAGDROP_S_CANCEL;
    if (!(keyState & MK_LBUTTON))
        return DRAGDROP_S_DROP;
    return S_OK;
}

HRESULT MPHGiveFeedback(uint32_t effect)
{
    const uint32_t e = effect & 7;
    if (e == DROPEFFECT_NONE || e == DROPEFFECT_COPY || e == DROPEFFECT_MOVE)
        return DRAGDROP_S_USEDEFAULTCURSORS;
    return E_INVALIDARG;
}
