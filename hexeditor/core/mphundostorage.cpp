#include "hexeditor/core/mphundostorage.h"

// Smallest stack that can hold an entry; anything shorter holds none.
static constexpr int64_t MinEntrySize = 30;

void TMPHUndoStorage::SetSize(int64_t newSize)
{
    TMemoryStream::SetSize(newSize);
    if (newSize < MinEntrySize)
        m_entryCount = 0;
}

void TMPHUndoStorage::Reset()
{
    SetSize(0);
    SetPosition(0);
    m_undoText.clear();
}
