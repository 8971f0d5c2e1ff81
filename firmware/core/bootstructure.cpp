#include "firmware/core/bootstructure.h"

#include "firmware/core/bootimage.h"

#include <algorithm>
#include <cstring>

namespace boot {

TBootStructure AnalyseBootStructure(const uint8_t* data, int64_t size)
{
    TBootStructure s;
    if (!data || size <= 0)
        return s;
    s.MarkerOffset = FindBootMarker(data, size);
    // The search gives 0 for a marker at 0 and for none: the bytes decide.
    s.MarkerFound = size >= 4 && std::memcmp(data + s.MarkerOffset, BootMarker, sizeof BootMarker) == 0;
    s.BlockFirst = s.MarkerOffset;
    s.BlockLast = int32_t(std::min<int64_t>(int64_t(s.MarkerOffset) + BootBlockSize, size) - 1);
    s.ImageCrc = ~Crc32Update(0xFFFFFFFFu, data, size_t(size));
    s.BlockCrc = ~Crc32Update(0xFFFFFFFFu, data + s.BlockFirst, size_t(std::max<int64_t>(s.BlockLength(), 0)));
    return s;
}

} // namespace boot
