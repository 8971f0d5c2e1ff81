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
    TBootLayout layout;
    if (!data || offset < 0 || offset + int64_t(sizeof boot::BootMarker) > size)
        return layout;
    if (std::memcmp(data + offset, boot::BootMarker, sizeof boot::BootMarker) != 0)
        return layout;
    layout.Found = true;
    layout.MarkerOffset = int32_t(offset);
    layout.Block = CutToData(int32_t(offset), int32_t(std::min<int64_t>(int64_t(offset) + boot::BootBlockSize - 1, INT32_MAX)),
                             size);
    layout.FirstId = CutToData(boot::FirstIdStart, boot::FirstIdEnd, size);
    layout.SecondId = CutToData(boot::SecondIdStart, boot::SecondIdEnd, size);
    return layout;
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
