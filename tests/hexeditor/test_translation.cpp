// Character translation tables and the unicode view.
#include "hexeditor/core/mphtranslation.h"

#include <gtest/gtest.h>

namespace {

const TMPHCharSet kMasked = DefaultMaskedChars();

struct Case
{
    TMPHTranslationKind kind;
    int from;
    int to;
};

} // namespace

TEST(Translation, DisplaySpotValues)
{
    const Case cases[] = {
        {tkAsIs, 0x41, 'A'},  {tkAsIs, 0x0A, '.'},  {tkAsIs, 0xE9, 0xE9},  {tkAsIs, 0x1F, '.'},
        {tkDos8, 0x82, 0xE9}, {tkDos8, 0xC4, '-'},  {tkDos8, 0x07, '.'},   {tkASCII, 0xC9, '.'},
        {tkASCII, 0x41, 'A'}, {tkMac, 0x41, 'A'},   {tkMac, 0x80, 0xC4},   {tkMac, 0xA5, 0xB4},
        {tkMac, 0xDB, 0x97},  {tkMac, 0xFF, 0xAF},  {tkBCD, 0xC1, 'A'},    {tkBCD, 0x81, 'a'},
        {tkBCD, 0x40, ' '},   {tkBCD, 0xF0, '0'},   {tkBCD, 0x4A, '['},    {tkBCD, 0x5A, ']'},
        {tkBCD, 0xE0, '\\'},  {tkBCD, 0x25, '.'},   {tkBCD, 0x07, 0x7F},   {tkCustom, 0x80, 0x80},
        {tkCustom, 0x0D, '.'}, {TMPHTranslationKind(17), 'A', '.'},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TranslateToDisplay(c.kind, uint8_t(c.from), '.', kMasked), c.to) << c.kind << " " << c.from;
    // The zero mask character switches masking off; tkASCII shows it above 127.
    EXPECT_EQ(TranslateToDisplay(tkAsIs, 0x0A, 0, kMasked), 0x0A);
    EXPECT_EQ(TranslateToDisplay(tkASCII, 0xC9, '#', kMasked), '#');
}

TEST(Translation, InputSpotValues)
{
    const Case cases[] = {
        {tkAsIs, 'A', 0x41},  {tkAsIs, 0x1F, 0},   {tkDos8, 0xE9, 0x82}, {tkDos8, 0x0D, 0},
        {tkDos8, 0xC0, 0},    {tkDos8, 0x80, 0},   {tkASCII, 'A', 'A'},  {tkASCII, 0xE9, 0},
        {tkMac, 0xC4, 0x80},  {tkMac, 0xAF, 0xFF}, {tkBCD, 'A', 0xC1},   {tkBCD, 'z', 0xA9},
        {tkBCD, 0xF7, 0},     {tkCustom, 0xE9, 0xE9}, {TMPHTranslationKind(17), 'A', 0},
    };
    // tkDos8 refuses A grave and the euro sign, which the OEM page lacks, instead
    // of storing another character; under tkBCD the division sign is byte 04,
    // a masked code.
    for (const Case& c : cases)
        EXPECT_EQ(TranslateFromInput(c.kind, uint8_t(c.from), kMasked), c.to) << c.kind << " " << c.from;
}

TEST(Translation, TablesAreExactInversesAndCustomStartsAsIdentity)
{
    for (const auto& [display, input] :
         {std::pair{&MacDisplayTable(), &MacInputTable()}, std::pair{&BcdDisplayTable(), &BcdInputTable()}}) {
        for (int v = 0; v < 256; ++v) {
            EXPECT_EQ((*input)[(*display)[v]], v);
            EXPECT_EQ((*display)[(*input)[v]], v);
        }
    }
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(CustomDisplayTable()[v], v);
        EXPECT_EQ(CustomInputTable()[v], v);
    }
    EXPECT_EQ(TranslationShortName(tkCustom), "Cust");
    EXPECT_EQ(TranslationLongName(tkBCD), "EBCDIC codepage 38");
}

TEST(Translation, UnicodeView)
{
    const uint8_t letterA[] = {0x41, 0x00};
    const uint8_t lineFeed[] = {0x0A, 0x00};
    EXPECT_EQ(UnicodeDisplayUnit(letterA, 2, false, '.', kMasked), u'A');
    EXPECT_EQ(UnicodeDisplayUnit(letterA, 2, true, '.', kMasked), char16_t(0x4100));
    EXPECT_EQ(UnicodeDisplayUnit(lineFeed, 2, false, '.', kMasked), u'.');
    EXPECT_EQ(UnicodeDisplayUnit(lineFeed, 2, true, '.', kMasked), char16_t(0x0A00));
    // Masked also with the zero mask character; the mask is an ANSI character.
    EXPECT_EQ(UnicodeDisplayUnit(lineFeed, 2, false, 0, kMasked), char16_t(0));
    EXPECT_EQ(UnicodeDisplayUnit(lineFeed, 2, false, 0x80, kMasked), char16_t(0x20AC));
    // The last byte of odd data: the missing half is zero.
    EXPECT_EQ(UnicodeDisplayUnit(letterA, 1, true, '.', kMasked), char16_t(0x4100));
    EXPECT_EQ(UnicodeInputBytes(0x20AC, false), (std::array<uint8_t, 2>{0xAC, 0x20}));
    EXPECT_EQ(UnicodeInputBytes(0x20AC, true), (std::array<uint8_t, 2>{0x20, 0xAC}));
}
