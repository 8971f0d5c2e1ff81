#include "hexeditor/core/mphselectionstate.h"

#include <algorithm>

namespace {
int32_t ClampPosition(int64_t value, int32_t dataSize)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, -1, static_cast<int64_t>(dataSize) - 1));
}
} // namespace

void TMPHSelectionState::Store(int64_t anchor, int64_t first, int64_t last, int32_t dataSize)
{
    Anchor = ClampPosition(anchor, dataSize);
    First = ClampPosition(first, dataSize);
    Last = ClampPosition(last, dataSize);
}

void TMPHSelectionState::Clear()
{
    Extending = false;
    Anchor = First = Last = Origin = -1;
}
