// The overlay's tint keeps every cell readable.

#include "hexview/core/tint.h"

#include <gtest/gtest.h>

using namespace hexview;

TEST(Tint, BlendMixesEachChannel)
{
    EXPECT_EQ(BlendRgb(0xFFFFFF, 0x000000, 0), 0xFFFFFFu);
    EXPECT_EQ(BlendRgb(0xFFFFFF, 0x000000, 100), 0x000000u);
    EXPECT_EQ(BlendRgb(0xFFFFFF, 0x000000, 50), 0x808080u);
    EXPECT_EQ(BlendRgb(0x0000FF, 0xFF0000, 30), 0x4D00B3u);
    EXPECT_EQ(BlendRgb(0x102030, 0xFFFFFF, 150), 0xFFFFFFu) << "percent is clamped";
    EXPECT_EQ(BlendRgb(0x102030, 0xFFFFFF, -5), 0x102030u);
}

TEST(Tint, ContrastRatioEnds)
{
    EXPECT_NEAR(ContrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(0xFFFFFF, 0x000000), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(0x777777, 0x777777), 1.0, 1e-9);
}

TEST(Tint, ReadableTextKeepsGoodColoursAndReplacesBadOnes)
{
    // Blue on white reads well: kept.
    EXPECT_EQ(ReadableTextColor(0x0000FF, 0xFFFFFF), 0x0000FFu);
    // Yellow on white does not: black instead; yellow on navy is kept.
    EXPECT_EQ(ReadableTextColor(0xFFFF00, 0xFFFFFF), 0x000000u);
    EXPECT_EQ(ReadableTextColor(0xFFFF00, 0x000080), 0xFFFF00u);
    // Dark gray on black: white instead.
    EXPECT_EQ(ReadableTextColor(0x202020, 0x000000), 0xFFFFFFu);
}

TEST(Tint, EveryTintedEditorColourStaysReadable)
{
    // Fills and texts the editor uses (defaults, their selection inversions,
    // changed bytes, grays), and a coarse sweep of everything in between.
    std::vector<uint32_t> colours = {0xFFFFFF, 0x000000, 0x0000FF, 0x000080, 0xFFFF00, 0xFFFF7F, 0xFF0000,
                                     0x00FFFF, 0x808080, 0x7F7F7F, 0xC0C0C0, 0xF0F0F0, 0x3F3F3F};
    for (uint32_t r = 0; r < 256; r += 51)
        for (uint32_t g = 0; g < 256; g += 51)
            for (uint32_t b = 0; b < 256; b += 51)
                colours.push_back(r << 16 | g << 8 | b);
    for (uint32_t fill : colours) {
        const uint32_t tinted = BlendRgb(fill, BootBlockTint, BootBlockTintPercent);
        if (fill != BootBlockTint)
            EXPECT_NE(tinted, fill) << std::hex << fill;
        for (uint32_t text : colours)
            ASSERT_GE(ContrastRatio(ReadableTextColor(text, tinted), tinted), 4.5)
                << std::hex << "text " << text << " on " << tinted;
    }
}
