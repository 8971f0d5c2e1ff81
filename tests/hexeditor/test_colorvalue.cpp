// Colour values: the stored TColor form, inversion, gray and the system
// colour table.

#include "hexeditor/mphcolors.h"

#include <QPalette>
#include <gtest/gtest.h>

using namespace MPHColor;

TEST(ColorValue, ChannelsAreStoredBlueGreenRed)
{
    EXPECT_EQ(Red(clBlue), 0);
    EXPECT_EQ(Blue(clBlue), 255);
    EXPECT_EQ(Rgb(0xFF, 0xFF, 0xA8), clLightYellow);
    EXPECT_EQ(ResolveColor(clMaroon, QPalette()), QColor(128, 0, 0));
    EXPECT_EQ(ColorToRgb(QColor(1, 2, 3)), Rgb(1, 2, 3));
}

TEST(ColorValue, InvertAndGray)
{
    EXPECT_EQ(Invert(clBlue), Rgb(255, 255, 0));
    EXPECT_EQ(Invert(clWhite), clBlack);
    // Y = (74 R + 146 G + 36 B) div 256
    EXPECT_EQ(Gray(Rgb(255, 255, 0)), Rgb(219, 219, 219));
    EXPECT_EQ(Gray(clWhite), Rgb(255, 255, 255));
    EXPECT_EQ(Gray(Rgb(0, 0, 255)), Rgb(35, 35, 35));
}

TEST(ColorValue, SystemIndicesResolveThroughThePalette)
{
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(1, 1, 1));
    palette.setColor(QPalette::Button, QColor(2, 2, 2));
    palette.setColor(QPalette::Dark, QColor(3, 3, 3));
    palette.setColor(QPalette::Light, QColor(4, 4, 4));
    palette.setColor(QPalette::Window, QColor(5, 5, 5));
    EXPECT_TRUE(IsSystemColor(clWindow));
    EXPECT_FALSE(IsSystemColor(clNavy));
    EXPECT_EQ(ResolveColor(clWindow, palette), QColor(1, 1, 1));
    EXPECT_EQ(ResolveColor(clBtnFace, palette), QColor(2, 2, 2));
    EXPECT_EQ(ResolveColor(clBtnShadow, palette), QColor(3, 3, 3));
    EXPECT_EQ(ResolveColor(clBtnHighlight, palette), QColor(4, 4, 4));
    // An index outside the table falls back to the window colour.
    EXPECT_EQ(ResolveColor(0xFF0000C8, palette), QColor(5, 5, 5));
}
