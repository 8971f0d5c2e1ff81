#include "hexeditor/core/mphmemorystream.h"
#include "hexeditor/core/mphexception.h"

#include <cstring>

void TMPHMemoryStream::CheckBounds(int64_t position)
{
    if (position < 0 || position > Size())
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::OutOfBounds));
}

uint8_t* TMPHMemoryStream::GetAddress(int64_t index, int64_t count)
{
    if (index < 0 || count < 0 || index + count > Size())
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::OutOfBounds));
    return Memory() + index;
}

void TMPHMemoryStream::MoveData(int64_t fromIndex, int64_t toIndex, int64_t count)
{
    if (count > 0)
        std::memmove(Memory() + toIndex, Memory() + fromIndex, static_cast<size_t>(count));
}

namespace {
// Restores a stream position when it goes out of scope.
class PositionKeeper
{
public:
    explicit PositionKeeper(TStream& s) : m_stream(s), m_pos(s.Position()) {}
    ~PositionKeeper() { m_stream.SetPosition(m_pos); }

private:
    TStream& m_stream;
    int64_t m_pos;
};
} // namespace

// Besides the end, the start and the count are checked too: a negative index
// would otherwise pass the end test and address memory before the buffer.
void TMPHMemoryStream::ReadBufferAt(void* buffer, int64_t index, int64_t count)
{
    if (index < 0 || count < 0)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::OutOfBounds));
    CheckBounds(index + count);
    PositionKeeper keep(*this);
    Seek(index, TSeekOrigin::soBeginning);
    ReadBuffer(buffer, count);
}

void TMPHMemoryStream::WriteBufferAt(const void* buffer, int64_t index, int64_t count)
{
    if (index < 0 || count < 0)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::OutOfBounds));
    CheckBounds(index + count);
    PositionKeeper keep(*this);
    Seek(index, TSeekOrigin::soBeginning);
    WriteBuffer(buffer, count);
}
