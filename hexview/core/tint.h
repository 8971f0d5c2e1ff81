#pragma once
// Colour arithmetic of the firmware overlay's tint. Colours are 0xRRGGBB.

#include <cstdint>

namespace hexview {

// The overlay's tint: a warm amber that differs from every default editor
// colour (white, the blues, the changed-byte colours).
inline constexpr uint32_t BootBlockTint = 0xFFB000;
// How much of the tint goes into a cell's background, in percent.
inline constexpr int BootBlockTintPercent = 30;

// rgb mixed with tint: percent of tint, the rest of rgb (percent 0..100).
uint32_t BlendRgb(uint32_t rgb, uint32_t tint, int percent);
// Relative luminance (sRGB, 0..1).
double Luminance(uint32_t rgb);
// Contrast ratio of two colours, 1 (none) to 21 (black on white).
double ContrastRatio(uint32_t a, uint32_t b);
// The text colour to use on background: text itself while it stays readable
// (contrast at least 4.5), else black or white, whichever reads better.
uint32_t ReadableTextColor(uint32_t text, uint32_t background);

} // namespace hexview
