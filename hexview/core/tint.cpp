#include "hexview/core/tint.h"

#include <algorithm>
#include <cmath>

namespace hexview {

namespace {

int Channel(uint32_t rgb, int shift) { return int((rgb >> shift) & 0xFF); }

double Linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

uint32_t BlendRgb(uint32_t rgb, uint32_t tint, int percent)
{
    percent = std::clamp(percent, 0, 100);
    uint32_t result = 0;
    for (int shift : {16, 8, 0}) {
        const int mixed = (Channel(rgb, shift) * (100 - percent) + Channel(tint, shift) * percent + 50) / 100;
        result |= uint32_t(mixed) << shift;
    }
    return result;
}

double Luminance(uint32_t rgb)
{
    return 0.2126 * Linear(Channel(rgb, 16)) + 0.7152 * Linear(Channel(rgb, 8)) + 0.0722 * Linear(Channel(rgb, 0));
}

double ContrastRatio(uint32_t a, uint32_t b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

uint32_t ReadableTextColor(uint32_t text, uint32_t background)
{
    constexpr double Readable = 4.5;
    if (ContrastRatio(text, background) >= Readable)
        return text;
    return ContrastRatio(0x000000, background) >= ContrastRatio(0xFFFFFF, background) ? 0x000000 : 0xFFFFFF;
}

} // namespace hexview
