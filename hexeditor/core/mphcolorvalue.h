#pragma once
// Colour values as the editor stores them (TColor) and the colour arithmetic
// of painting that needs no widget: inversion and the gray of a colour.
//
// A TColor is a 32-bit value. With the top byte 00h it is an RGB triple in
// blue-green-red byte order (red in the low byte); with the top byte FFh the
// low byte is a system colour index, resolved through the widget's palette
// (see mphcolors.h for the table).

#include <cstdint>

using TColor = uint32_t;

namespace MPHColor {

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clLightYellow = 0xA8FFFF;
inline constexpr TColor clSystemFlag = 0xFF000000;
inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clBtnShadow = 0xFF000010;
inline constexpr TColor clBtnHighlight = 0xFF000014;

constexpr bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == clSystemFlag; }
constexpr int SystemColorIndex(TColor c) { return int(c & 0xFF); }

constexpr int Red(TColor rgb) { return int(rgb & 0xFF); }
constexpr int Green(TColor rgb) { return int((rgb >> 8) & 0xFF); }
constexpr int Blue(TColor rgb) { return int((rgb >> 16) & 0xFF); }
constexpr TColor Rgb(int r, int g, int b)
{
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}

// The inverse of an RGB colour (each channel 255 - value).
constexpr TColor Invert(TColor rgb) { return (rgb ^ 0xFFFFFFu) & 0xFFFFFFu; }

// The gray of equal brightness: Y = (74 R + 146 G + 36 B) / 256.
constexpr TColor Gray(TColor rgb)
{
    const int y = (74 * Red(rgb) + 146 * Green(rgb) + 36 * Blue(rgb)) / 256;
    return Rgb(y, y, y);
}

} // namespace MPHColor
