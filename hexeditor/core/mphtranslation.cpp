// Translation tables and the conversions of the character field.
#include "hexeditor/core/mphtranslation.h"

#include "hexeditor/core/mphexception.h"
#include "platform/core/codepages.h"

namespace {

constexpr TMPHTranslationTable MakeMacDisplay()
{
    constexpr uint8_t high[128] = {
        0xC4, 0xC5, 0xC7, 0xC9, 0xD1, 0xD6, 0xDC, 0xE1, 0xE0, 0xE2, 0xE4, 0xE3, 0xE5, 0xE7, 0xE9, 0xE8, // 8x
        0xEA, 0xEB, 0xED, 0xEC, 0xEE, 0xEF, 0xF1, 0xF3, 0xF2, 0xF4, 0xF6, 0xF5, 0xFA, 0xF9, 0xFB, 0xFC, // 9x
        0xA0, 0xB0, 0xA2, 0xA3, 0xA7, 0xB4, 0xB6, 0xDF, 0xAE, 0xA9, 0x8E, 0x82, 0x8C, 0xAD, 0xC6, 0xD8, // Ax
        0x8D, 0xB1, 0xB2, 0xB3, 0xA5, 0xB5, 0xA6, 0xB7, 0xB8, 0xB9, 0xBC, 0xAA, 0xBA, 0xBD, 0xE6, 0xF8, // Bx
        0xBF, 0xA1, 0xAC, 0x92, 0x80, 0x81, 0xA8, 0xAB, 0xBB, 0x83, 0xBE, 0xC0, 0xC3, 0xD5, 0x91, 0x93, // Cx
        0xD0, 0x84, 0x96, 0x94, 0x95, 0x90, 0xF7, 0xD7, 0xFF, 0xDD, 0x98, 0x97, 0x86, 0x99, 0xDE, 0xA4, // Dx
        0x88, 0x87, 0x89, 0x8B, 0x8A, 0xC2, 0xCA, 0xC1, 0xCB, 0xC8, 0xCD, 0xCE, 0xCF, 0xCC, 0xD3, 0xD4, // Ex
        0xF0, 0xD2, 0xDA, 0xDB, 0xD9, 0x9B, 0x9A, 0x85, 0x8F, 0x9D, 0x9C, 0x9E, 0x9F, 0xFD, 0xFE, 0xAF, // Fx
    };
    TMPHTranslationTable table{};
    for (int i = 0; i < 128; ++i) {
        table[i] = uint8_t(i);
        table[128 + i] = high[i];
    }
    return table;
}

constexpr TMPHTranslationTable kBcdDisplay = {
    0x00, 0x01, 0x02, 0x03, 0xF7, 0x09, 0xD2, 0x7F, 0xF2, 0xA8, 0x93, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, // 0x
    0x10, 0x11, 0x12, 0x13, 0xD3, 0xA1, 0x08, 0xD7, 0x18, 0x19, 0x96, 0xD0, 0x1C, 0x1D, 0x1E, 0x1F, // 1x
    0x7C, 0xD6, 0x81, 0xC0, 0xD1, 0x0A, 0x17, 0x1B, 0xD4, 0xE9, 0xE0, 0xD5, 0x92, 0x05, 0x06, 0x07, // 2x
    0xF0, 0xF1, 0x16, 0xF3, 0xF4, 0xF5, 0xF6, 0x04, 0xF8, 0xF9, 0xA9, 0x94, 0x14, 0x15, 0x95, 0x1A, // 3x
    0x20, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0x5B, 0x2E, 0x3C, 0x28, 0x2B, 0x21, // 4x
    0x26, 0xD8, 0xD9, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0x5D, 0x24, 0x2A, 0x29, 0x3B, 0x5E, // 5x
    0x2D, 0x2F, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0xA6, 0x2C, 0x25, 0x5F, 0x3E, 0x3F, // 6x
    0x97, 0x98, 0x99, 0xA2, 0xA3, 0xA4, 0xA5, 0x91, 0xA7, 0x60, 0x3A, 0x23, 0x40, 0x27, 0x3D, 0x22, // 7x
    0x80, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F, // 8x
    0x90, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F, 0x70, 0x71, 0x72, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F, // 9x
    0xA0, 0x7E, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, // Ax
    0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, // Bx
    0x7B, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF, // Cx
    0x7D, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x50, 0x51, 0x52, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF, // Dx
    0x5C, 0xE1, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF, // Ex
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF, // Fx
};

constexpr bool IsPermutation(const TMPHTranslationTable& table)
{
    bool seen[256] = {};
    for (uint8_t value : table) {
        if (seen[value])
            return false;
        seen[value] = true;
    }
    return true;
}

constexpr TMPHTranslationTable Inverse(const TMPHTranslationTable& table)
{
    TMPHTranslationTable inverse{};
    for (int i = 0; i < 256; ++i)
        inverse[table[i]] = uint8_t(i);
    return inverse;
}

constexpr TMPHTranslationTable Identity()
{
    TMPHTranslationTable table{};
    for (int i = 0; i < 256; ++i)
        table[i] = uint8_t(i);
    return table;
}

constexpr TMPHTranslationTable kMacDisplay = MakeMacDisplay();
// The input tables are derived, so they can only be exact inverses when the
// display tables are permutations of 0..255.
static_assert(IsPermutation(kMacDisplay), "Macintosh display table must be a permutation");
static_assert(IsPermutation(kBcdDisplay), "EBCDIC display table must be a permutation");
constexpr TMPHTranslationTable kMacInput = Inverse(kMacDisplay);
constexpr TMPHTranslationTable kBcdInput = Inverse(kBcdDisplay);

// The custom tables are plain data, ready before any editor exists.
TMPHTranslationTable g_customDisplay = Identity();
TMPHTranslationTable g_customInput = Identity();

} // namespace

TMPHCharSet DefaultMaskedChars()
{
    TMPHCharSet set;
    for (int i = 0; i < 32; ++i)
        set.set(i);
    return set;
}

const TMPHTranslationTable& MacDisplayTable() { return kMacDisplay; }
const TMPHTranslationTable& MacInputTable() { return kMacInput; }
const TMPHTranslationTable& BcdDisplayTable() { return kBcdDisplay; }
const TMPHTranslationTable& BcdInputTable() { return kBcdInput; }
TMPHTranslationTable& CustomDisplayTable() { return g_customDisplay; }
TMPHTranslationTable& CustomInputTable() { return g_customInput; }

QString TranslationShortName(TMPHTranslationKind kind)
{
    const int i = int(kind);
    return (i >= 0 && i < 6) ? MPHStrings::Text(MPHStrings::TranslationShortNames[i]) : QString();
}

QString TranslationLongName(TMPHTranslationKind kind)
{
    const int i = int(kind);
    return (i >= 0 && i < 6) ? MPHStrings::Text(MPHStrings::TranslationLongNames[i]) : QString();
}

uint8_t TranslateToDisplay(TMPHTranslationKind kind, uint8_t b, uint8_t maskChar, const TMPHCharSet& masked)
{
    uint8_t ch;
    switch (kind) {
    case tkAsIs:
        ch = b;
        break;
    case tkDos8:
        ch = OemToAnsiChar(b);
        break;
    case tkASCII:
        ch = b > 127 ? maskChar : OemToAnsiChar(b);
        break;
    case tkMac:
        ch = kMacDisplay[b];
        break;
    case tkBCD:
        ch = kBcdDisplay[b];
        break;
    case tkCustom:
        ch = g_customDisplay[b];
        break;
    default:
        ch = maskChar;
        break;
    }
    if (maskChar != 0 && masked.test(ch))
        ch = maskChar;
    return ch;
}

uint8_t TranslateFromInput(TMPHTranslationKind kind, uint8_t ch, const TMPHCharSet& masked)
{
    uint8_t b = 0;
    switch (kind) {
    case tkAsIs:
        b = ch;
        break;
    case tkDos8:
        if (ch > 31 && !TryAnsiToOem(ch, b))
            b = 0;
        break;
    case tkASCII:
        if (ch > 31 && ch < 128 && !TryAnsiToOem(ch, b))
            b = 0;
        break;
    case tkMac:
        b = kMacInput[ch];
        break;
    case tkBCD:
        b = kBcdInput[ch];
        break;
    case tkCustom:
        b = g_customInput[ch];
        break;
    default:
        b = 0;
        break;
    }
    if (masked.test(b))
        b = 0;
    return b;
}

char16_t UnicodeDisplayUnit(const uint8_t* data, int64_t available, bool bigEndian, uint8_t maskChar,
                            const TMPHCharSet& masked)
{
    const uint8_t first = available > 0 ? data[0] : 0;
    const uint8_t second = available > 1 ? data[1] : 0;
    const char16_t unit = bigEndian ? char16_t((first << 8) | second) : char16_t((second << 8) | first);
    if (unit < 256 && masked.test(unit))
        return AnsiToUnicode(maskChar);
    return unit;
}

std::array<uint8_t, 2> UnicodeInputBytes(char16_t unit, bool bigEndian)
{
    const uint8_t low = uint8_t(unit & 0xFF);
    const uint8_t high = uint8_t(unit >> 8);
    return bigEndian ? std::array<uint8_t, 2>{high, low} : std::array<uint8_t, 2>{low, high};
}

void CheckUnicodeModeAllowed(int bytesPerRow, int bytesPerColumn, int64_t dataSize)
{
    if (bytesPerRow % 2 != 0)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidBytesPerLine));
    if (bytesPerColumn % 2 != 0)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidBytesPerColumn));
    if (dataSize % 2 != 0)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::OddFileInUnicode));
}

void CheckTranslationAllowed(TMPHTranslationKind kind, bool unicodeChars)
{
    if (kind != tkAsIs && unicodeChars)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::TranslationsInUnicode));
}
