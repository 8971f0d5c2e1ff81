#pragma once
// The boot block's structure in an image held in memory: where the marker
// stands, the block's byte range, and the CRC-32 of the whole image and of
// the block. The ID strings' ranges are the fixed ones of bootimage.h.

#include <cstdint>

namespace boot {

struct TBootStructure
{
    bool MarkerFound = false;  // the image holds the marker
    int32_t MarkerOffset = 0;  // where the block starts (0 without a marker, as the commands use it)
    int32_t BlockFirst = 0;    // the block's bytes present in the image,
    int32_t BlockLast = -1;    // both ends included; empty when Last < First
    uint32_t ImageCrc = 0;     // CRC-32 of the whole image
    uint32_t BlockCrc = 0;     // CRC-32 of the block's bytes present in the image
    int64_t BlockLength() const { return int64_t(BlockLast) - BlockFirst + 1; }
};

TBootStructure AnalyseBootStructure(const uint8_t* data, int64_t size);

} // namespace boot
