// Code-page conversions: Windows-1252 <-> UTF-16 and OEM 437 <-> Windows-1252.
#include "platform/core/codepages.h"

#include <gtest/gtest.h>

TEST(CodePages, AnsiAndUnicode)
{
    const std::pair<int, int> cases[] = {{0x41, 'A'},     {0x80, 0x20AC}, {0x8A, 0x0160}, {0x99, 0x2122},
                                         {0x9F, 0x0178}, {0xE9, 0x00E9}, {0x81, 0x0081}, {0x9D, 0x009D}};
    for (auto [ansi, unit] : cases)
        EXPECT_EQ(AnsiToUnicode(uint8_t(ansi)), char16_t(unit)) << ansi;
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(UnicodeToAnsi(AnsiToUnicode(uint8_t(b))), b);
    // No counterpart: '?', or a refusal that leaves the output alone.
    EXPECT_EQ(UnicodeToAnsi(0x0100), '?');
    EXPECT_EQ(UnicodeToAnsi(0x0080), '?'); // the C1 code whose byte is the euro sign
    uint8_t untouched = 0x55;
    EXPECT_FALSE(TryUnicodeToAnsi(0x2500, untouched));
    EXPECT_EQ(untouched, 0x55);
}

TEST(CodePages, OemToAnsi)
{
    const std::pair<int, int> cases[] = {
        {0x41, 0x41}, {0x0A, 0x0A}, {0x82, 0xE9}, {0x8E, 0xC4}, {0x9C, 0xA3}, {0x9F, 0x83}, {0xE1, 0xDF},
        {0xFF, 0xA0}, // exact counterparts
        {0xC4, '-'},  {0xBA, '|'},  {0xC5, '+'},  {0xDB, '#'},  {0xE0, 'a'},  {0xF0, '='},  {0xF9, 0xB7},
        {0xA9, 0xAC}, // stand-ins
    };
    for (auto [oem, ansi] : cases)
        EXPECT_EQ(OemToAnsiChar(uint8_t(oem)), ansi) << oem;
    // Every OEM character shows as something other than '?'.
    for (int b = 0; b < 256; ++b) {
        if (b != '?') {
            EXPECT_NE(OemToAnsiChar(uint8_t(b)), '?') << b;
        }
    }
}

TEST(CodePages, AnsiToOem)
{
    const std::pair<int, int> cases[] = {{0xE9, 0x82}, {0x83, 0x9F}, {0xA0, 0xFF}, {0xC0, 'A'},
                                         {0xF8, 'o'},  {0x93, '"'},  {0x95, 0xF9}, {0x80, '?'}};
    for (auto [ansi, oem] : cases)
        EXPECT_EQ(AnsiToOemChar(uint8_t(ansi)), oem) << ansi;

    // The exact conversion refuses what the OEM page lacks and is the inverse
    // of OemToAnsiChar for everything else.
    int exact = 0;
    for (int a = 0; a < 256; ++a) {
        uint8_t oem = 0;
        if (TryAnsiToOem(uint8_t(a), oem)) {
            ++exact;
            EXPECT_EQ(OemToAnsiChar(oem), a);
            EXPECT_EQ(OemToUnicode(oem), AnsiToUnicode(uint8_t(a)));
        }
    }
    // ASCII, the 53 Latin-1 characters that both pages share, and the f hook.
    EXPECT_EQ(exact, 128 + 53 + 1);
}

TEST(CodePages, WholeTexts)
{
    const QByteArray ansi("Zelq \x80 \xE9", 8);
    EXPECT_EQ(AnsiToQString(ansi), QString::fromUtf8("Zelq \u20AC \u00E9"));
    EXPECT_EQ(QStringToAnsi(AnsiToQString(ansi)), ansi);
    // One question mark per missing character, also for a surrogate pair.
    EXPECT_EQ(QStringToAnsi(QString::fromUtf8("a\u0100b\U0001F600c")), QByteArray("a?b?c"));
}
