#include "hexview/core/desktopcolors.h"

#include "hexview/core/tint.h"

namespace hexview {

namespace {

// A colour for the role: the component's own while it reads, else the
// palette's, made readable.
uint32_t Choose(uint32_t own, uint32_t fromPalette, uint32_t background, double minContrast)
{
    if (ContrastRatio(own, background) >= minContrast)
        return own;
    return ReadableOn(fromPalette, background, minContrast);
}

} // namespace

uint32_t ReadableOn(uint32_t color, uint32_t background, double minContrast)
{
    if (ContrastRatio(color, background) >= minContrast)
        return color;
    const uint32_t towards = IsDarkBackground(background) ? 0xFFFFFFu : 0x000000u;
    for (int percent = 5; percent < 100; percent += 5) {
        const uint32_t mixed = BlendRgb(color, towards, percent);
        if (ContrastRatio(mixed, background) >= minContrast)
            return mixed;
    }
    return towards;
}

bool IsDarkBackground(uint32_t background)
{
    return ContrastRatio(0xFFFFFF, background) > ContrastRatio(0x000000, background);
}

TViewColors DesktopViewColors(const TViewColors& own, const TDesktopPalette& palette)
{
    const uint32_t base = palette.Base;
    TViewColors colors;
    colors.Offset = Choose(own.Offset, palette.Text, base, TextContrast);
    colors.OddColumn = Choose(own.OddColumn, palette.Link, base, TextContrast);
    // The even columns a little nearer the text colour than the odd ones, so
    // that the two still alternate.
    colors.EvenColumn = Choose(own.EvenColumn, BlendRgb(palette.Link, palette.Text, 40), base, TextContrast);
    if (colors.EvenColumn == colors.OddColumn)
        colors.EvenColumn = ReadableOn(BlendRgb(colors.OddColumn, palette.Text, 50), base, TextContrast);
    colors.CursorFrame = Choose(own.CursorFrame, palette.Highlight, base, FrameContrast);

    // Changed bytes: the component's pair reads on its own, but a light
    // yellow cell glares on a dark background; there the cell gets a dark
    // tint of that yellow and text that reads on it.
    colors.ChangedText = own.ChangedText;
    colors.ChangedBackground = own.ChangedBackground;
    if (IsDarkBackground(base)) {
        colors.ChangedBackground = BlendRgb(base, own.ChangedBackground, 25);
        colors.ChangedText = ReadableOn(BlendRgb(own.ChangedText, 0xFFFFFF, 50), colors.ChangedBackground,
                                        TextContrast);
    }
    return colors;
}

} // namespace hexview
