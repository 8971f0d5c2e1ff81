#include "hexview/core/bootoverlay.h"

#include "firmware/core/bootimage.h"

#include <algorithm>
#include <cstring>

namespace hexview {

namespace {

TPosRange CutToData(int32_t first, int32_t last, int64_t size)
{
    TPosRange range;
    range.First = first;
    range.Last = int32_t(std::min<int64_t>(last, size - 1));
    return range;
}

} // namespace

TBootLayout DetectBootLayout(const uint8_t* data, int64_t size)
{
    TBootLayout layout;
    if (!data || size < 4)
        return layout;
    return BootLayoutAt(data, size, boot::FindBootMarker(data, size));
}

TBootLayout BootLayoutAt(const uint8_t* data, int64_t size, int64_t offset)
{
    if (!data)
        return TBootLayout{};
    return BootLayoutAt(
        [data](int64_t position, uint8_t* buffer, int64_t count) {
            std::memcpy(buffer, data + position, size_t(count));
        },
        size, offset);
}

TBootLayout BootLayoutAt(const TDataReader& read, int64_t size, int64_t offset)
{
    TBootLayout layout;
    if (offset < 0 || offset + int64_t(sizeof boot::BootMarker) > size)
        return layout;
    uint8_t marker[sizeof boot::BootMarker] = {};
    read(offset, marker, int64_t(sizeof marker));
    if (std::memcmp(marker, boot::BootMarker, sizeof boot::BootMarker) != 0)
        return layout;
    layout.Found = true;
    layout.MarkerOffset = int32_t(offset);
    layout.Block = CutToData(int32_t(offset), int32_t(std::min<int64_t>(int64_t(offset) + boot::BootBlockSize - 1, INT32_MAX)),
                             size);
    layout.FirstId = CutToData(boot::FirstIdStart, boot::FirstIdEnd, size);
    layout.SecondId = CutToData(boot::SecondIdStart, boot::SecondIdEnd, size);
    return layout;
}

bool TMarkerScan::Step(const TDataReader& read, int64_t sliceSize)
{
    if (m_done)
        return true;
    // Offsets are 32-bit signed: no marker is looked for beyond the largest.
    const int64_t candidates = std::min<int64_t>(m_size - 3, int64_t(INT32_MAX) + 1);
    if (m_next >= candidates || sliceSize <= 0) {
        m_done = true;
        return true;
    }
    const int64_t first = m_next;
    const int64_t count = std::min(sliceSize, candidates - first);
    const int64_t length = count + 3; // the bytes of a marker starting at the last candidate
    m_buffer.resize(size_t(length));
    read(first, m_buffer.data(), length);
    const int32_t hit = boot::FindBootMarker(m_buffer.data(), length);
    // The search gives 0 for "none" as well: the bytes decide.
    if (std::memcmp(m_buffer.data() + hit, boot::BootMarker, sizeof boot::BootMarker) == 0) {
        m_found = first + hit;
        m_done = true;
    } else {
        m_next = first + count;
        m_done = m_next >= candidates;
    }
    if (m_done)
        std::vector<uint8_t>().swap(m_buffer);
    return m_done;
}

int FrameEdges(const TPosRange& range, int32_t first, int32_t last, bool startsByte, bool endsByte,
               int bytesPerRow)
{
    if (!range.Overlaps(first, last) || bytesPerRow <= 0)
        return feNone;
    int edges = feTop | feBottom;
    if (startsByte && (first <= range.First || first % bytesPerRow == 0))
        edges |= feLeft;
    if (endsByte && (last >= range.Last || (last + 1) % bytesPerRow == 0))
        edges |= feRight;
    return edges;
}

} // namespace hexview
