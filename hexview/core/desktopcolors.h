#pragma once
// hexview's editor colours on the desktop's palette. The component's own
// colours are fixed (black offsets, blue and navy digits, a navy caret frame,
// maroon on light yellow for changed bytes): they read well on a light
// background and not at all on a dark one. hexview keeps each of them where it
// stays readable on the palette's background and otherwise takes the matching
// palette colour, made readable by the contrast rule of the firmware overlay.
// Colours are 0xRRGGBB.

#include <cstdint>

namespace hexview {

// The palette colours the choice starts from.
struct TDesktopPalette
{
    uint32_t Base = 0xFFFFFF;      // the editor's background
    uint32_t Text = 0x000000;      // text on Base
    uint32_t Link = 0x0000FF;      // the palette's link colour
    uint32_t Highlight = 0x308CC6; // selection / focus colour
};

// The editor colours hexview chooses (the rest of the component's colours
// are palette colours already).
struct TViewColors
{
    uint32_t Offset = 0;
    uint32_t OddColumn = 0;
    uint32_t EvenColumn = 0;
    uint32_t CursorFrame = 0;
    uint32_t ChangedText = 0;
    uint32_t ChangedBackground = 0;
};

// Contrast a text colour needs on its background (the overlay's rule), and a
// frame around a cell.
inline constexpr double TextContrast = 4.5;
inline constexpr double FrameContrast = 3.0;

// color itself when it has at least minContrast on background; else color
// mixed with white (on a dark background) or black (on a light one), just
// enough to reach it.
uint32_t ReadableOn(uint32_t color, uint32_t background, double minContrast);

// True for a background on which light text reads better than dark text.
bool IsDarkBackground(uint32_t background);

// The colours for the palette, starting from the component's defaults.
TViewColors DesktopViewColors(const TViewColors& componentDefaults, const TDesktopPalette& palette);

} // namespace hexview
