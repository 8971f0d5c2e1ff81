#pragma once
// The caret-move rule's decision, without a widget: whether a cell the grid
// is about to make current is accepted, refused, or refused in favour of
// another cell. The editor applies the decision (editor_selection.cpp).

#include "hexeditor/core/mphgridgeometry.h"

#include <cstdint>

// What the rule needs to know about the requested move.
struct TMPHCaretRequest
{
    TMPHCell Cell;
    int32_t DataSize = 0;
    bool InsertMode = false;       // insertion allowed now (the caret may stand at DataSize)
    bool CaretInCharField = false; // the field the caret is in before the move
    bool ShiftDown = false;
    bool LeftButtonDown = false;
};

enum class TMPHCaretVerdict { Accept, Redirect, Refuse };

struct TMPHCaretDecision
{
    TMPHCaretVerdict Verdict = TMPHCaretVerdict::Refuse;
    // With Redirect: the cell the caret moves to instead.
    TMPHCell Target;
    // Neither Shift nor the left button is held: the selection is dropped
    // before anything else (only with data).
    bool DropSelection = false;

    bool operator==(const TMPHCaretDecision&) const = default;
};

// The decision for a cell the grid base has accepted. With no data only the
// first hex and the first character cell are accepted. With data, a cell past
// the data end redirects to the last byte (overwrite mode) or the append
// position (insert mode) in the caret's field; the gap column is refused, or
// redirected to the row's last hex column while the left button is held.
TMPHCaretDecision DecideCaretCell(const TMPHGridGeometry& geometry, const TMPHCaretRequest& request);
