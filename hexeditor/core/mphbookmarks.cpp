// Bookmark table logic.
#include "hexeditor/core/mphbookmarks.h"

#include "hexeditor/core/mphexception.h"

void TMPHBookmarks::Set(int index, int32_t position, bool inCharField)
{
    if (!IsValidIndex(index))
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidBookmarkIndex));
    TMPHBookmark& mark = m_table[size_t(index)];
    if (mark.mPosition == position && mark.mInCharField == inCharField)
        mark.mPosition = -1;
    else
        mark.mPosition = position;
    mark.mInCharField = inCharField;
}

bool TMPHBookmarks::IsStale(int index, int64_t dataSize, bool insertMode) const
{
    if (!IsValidIndex(index))
        return false;
    const int32_t position = At(index).mPosition;
    if (position < 0)
        return false;
    return position >= dataSize && !(insertMode && position == dataSize);
}

bool TMPHBookmarks::CanGoTo(int index, int64_t dataSize, bool insertMode) const
{
    return IsValidIndex(index) && At(index).mPosition >= 0 && !IsStale(index, dataSize, insertMode);
}

bool TMPHBookmarks::Shift(int32_t from, int32_t delta, int64_t dataSize)
{
    if (from < 0)
        return false;
    bool touched = false;
    for (TMPHBookmark& mark : m_table) {
        if (mark.mPosition < from)
            continue;
        const int64_t moved = int64_t(mark.mPosition) + delta;
        mark.mPosition = (moved > dataSize || moved < 0) ? -1 : int32_t(moved);
        touched = true;
    }
    return touched;
}

bool TMPHBookmarks::IsOnRow(int index, int row, int bytesPerRow) const
{
    const int32_t position = At(index).mPosition;
    return position >= 0 && bytesPerRow > 0 && position / bytesPerRow + 2 == row;
}
