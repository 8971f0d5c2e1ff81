#pragma once
// The drag-and-drop rules that need no widget: which effect a drop over the
// editor gets, and the drop source's answers to the drag loop.

#include "platform/core/dragdrop.h"

// The effect of a drag over the editor. The effect the source offered is
// not looked at: the answer replaces it.
//   dragStartedHere  the drag came from this very editor
//   fileList         the format chosen for drops is a list of files
uint32_t MPHDropEffect(bool dragStartedHere, bool readOnlyView, uint32_t keyState, bool fileList);

// The drop source's answer to the loop: cancel on Escape, drop once the left
// button is up, otherwise go on.
HRESULT MPHQueryContinueDrag(bool escapePressed, uint32_t keyState);
// Default pointers for none, copy and move; other effects are refused.
HRESULT MPHGiveFeedback(uint32_t effect);
