#pragma once
// The editor's selection as stored positions: the anchor the selection grows
// from, its first and last byte (both included), the position a selecting
// caret move started at, and whether caret moves extend it. -1 means none.

#include <cstdint>

struct TMPHSelectionState
{
    int32_t Anchor = -1;
    int32_t First = -1;
    int32_t Last = -1;
    int32_t Origin = -1;    // where a selecting move started; -1 before the first
    bool Extending = false; // caret moves extend the selection

    // The number of bytes selected; 0 without a selection.
    int32_t Count() const { return Anchor == -1 || First == -1 ? 0 : Last - First + 1; }
    // Stores the positions, each clamped to -1..dataSize-1.
    void Store(int64_t anchor, int64_t first, int64_t last, int32_t dataSize);
    // No selection, no selecting move under way.
    void Clear();
};
