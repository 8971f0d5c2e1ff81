// Code-page tables: Windows-1252 and OEM code page 437 against UTF-16, and the
// one-character conversions between the two 8-bit pages built on them. The
// rules for characters without a counterpart are described in the header.
#include "platform/core/codepages.h"

#include <array>

namespace {

// Windows-1252, bytes 80h to 9Fh (A0h to FFh equal their Latin-1 code points).
constexpr std::array<char16_t, 32> kAnsi80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98
};

// OEM code page 437, bytes 80h to FFh (00h to 7Fh are ASCII and controls).
constexpr std::array<char16_t, 128> kOem80 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, // D8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, // E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0, // F8
};

constexpr char16_t AnsiUnit(uint8_t ansi)
{
    return (ansi >= 0x80 && ansi < 0xA0) ? kAnsi80[ansi - 0x80] : char16_t(ansi);
}

constexpr char16_t OemUnit(uint8_t oem)
{
    return oem >= 0x80 ? kOem80[oem - 0x80] : char16_t(oem);
}

// Stand-ins for characters that one of the two pages lacks. Each entry names
// a character that the other page (or ASCII) has; the target page converts
// the stand-in exactly.
struct BestFit
{
    char16_t from;
    char16_t to;
};

constexpr BestFit kBestFits[] = {
    // Greek letters and mathematical signs of the OEM page.
    {0x03B1, u'a'}, {0x0393, u'G'}, {0x03C0, u'p'}, {0x03A3, u'S'}, {0x03C3, u's'},
    {0x03C4, u't'}, {0x03A6, u'F'}, {0x0398, u'T'}, {0x03A9, u'O'}, {0x03B4, u'd'},
    {0x03C6, u'f'}, {0x03B5, u'e'}, {0x221E, u'8'}, {0x2229, u'n'}, {0x2261, u'='},
    {0x2265, u'>'}, {0x2264, u'<'}, {0x2320, u'('}, {0x2321, u')'}, {0x2248, u'~'},
    {0x2219, 0x00B7}, {0x221A, u'v'}, {0x207F, u'n'}, {0x20A7, u'P'}, {0x2310, 0x00AC},
    // Accented letters of the ANSI page that the OEM page lacks: the base letter.
    {0x00C0, u'A'}, {0x00C1, u'A'}, {0x00C2, u'A'}, {0x00C3, u'A'}, {0x00C8, u'E'},
    {0x00CA, u'E'}, {0x00CB, u'E'}, {0x00CC, u'I'}, {0x00CD, u'I'}, {0x00CE, u'I'},
    {0x00CF, u'I'}, {0x00D0, u'D'}, {0x00D2, u'O'}, {0x00D3, u'O'}, {0x00D4, u'O'},
    {0x00D5, u'O'}, {0x00D8, u'O'}, {0x00D9, u'U'}, {0x00DA, u'U'}, {0x00DB, u'U'},
    {0x00DD, u'Y'}, {0x00E3, u'a'}, {0x00F0, u'd'}, {0x00F5, u'o'}, {0x00F8, u'o'},
    {0x00FD, u'y'}, {0x0160, u'S'}, {0x0161, u's'}, {0x017D, u'Z'}, {0x017E, u'z'},
    {0x0178, u'Y'},
    // Punctuation and signs of the ANSI page.
    {0x201A, u','}, {0x201E, u'"'}, {0x2018, u'\''}, {0x2019, u'\''}, {0x201C, u'"'},
    {0x201D, u'"'}, {0x2013, u'-'}, {0x2014, u'-'}, {0x02C6, u'^'}, {0x02DC, u'~'},
    {0x2039, u'<'}, {0x203A, u'>'}, {0x2022, 0x2219}, {0x00A6, u'|'}, {0x00A8, u'"'},
    {0x00AD, u'-'}, {0x00AF, u'-'}, {0x00B4, u'\''}, {0x00B8, u','}, {0x00B9, u'1'},
    {0x00B3, u'3'}, {0x00D7, u'x'},
};

constexpr char16_t BestFitOf(char16_t unit)
{
    // Line drawing: straight lines by direction, every joint a '+'.
    if (unit == 0x2500 || unit == 0x2550)
        return u'-';
    if (unit == 0x2502 || unit == 0x2551)
        return u'|';
    if (unit >= 0x2500 && unit <= 0x257F)
        return u'+';
    // Shades and blocks.
    if ((unit >= 0x2580 && unit <= 0x259F) || unit == 0x25A0)
        return u'#';
    for (const BestFit& fit : kBestFits)
        if (fit.from == unit)
            return fit.to;
    return 0;
}

// Exact reverse lookups, -1 where the page has no such character.
constexpr int ExactAnsiOf(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return unit;
    for (int i = 0; i < 32; ++i)
        if (kAnsi80[i] == unit)
            return 0x80 + i;
    return -1;
}

constexpr int ExactOemOf(char16_t unit)
{
    if (unit < 0x80)
        return unit;
    for (int i = 0; i < 128; ++i)
        if (kOem80[i] == unit)
            return 0x80 + i;
    return -1;
}

constexpr std::array<uint8_t, 256> MakeOemToAnsi()
{
    std::array<uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const char16_t unit = OemUnit(uint8_t(b));
        int ansi = ExactAnsiOf(unit);
        if (ansi < 0) {
            const char16_t fit = BestFitOf(unit);
            ansi = fit ? ExactAnsiOf(fit) : -1;
        }
        table[b] = ansi < 0 ? uint8_t('?') : uint8_t(ansi);
    }
    return table;
}

// Exact ANSI -> OEM; -1 where the OEM page lacks the character.
constexpr std::array<int16_t, 256> MakeAnsiToOemExact()
{
    std::array<int16_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = int16_t(ExactOemOf(AnsiUnit(uint8_t(b))));
    return table;
}

constexpr std::array<uint8_t, 256> MakeAnsiToOemBestFit(const std::array<int16_t, 256>& exact)
{
    std::array<uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        int oem = exact[b];
        if (oem < 0) {
            const char16_t fit = BestFitOf(AnsiUnit(uint8_t(b)));
            oem = fit ? ExactOemOf(fit) : -1;
        }
        table[b] = oem < 0 ? uint8_t('?') : uint8_t(oem);
    }
    return table;
}

constexpr std::array<uint8_t, 256> kOemToAnsi = MakeOemToAnsi();
constexpr std::array<int16_t, 256> kAnsiToOemExact = MakeAnsiToOemExact();
constexpr std::array<uint8_t, 256> kAnsiToOem = MakeAnsiToOemBestFit(kAnsiToOemExact);

} // namespace

uint8_t OemToAnsiChar(uint8_t oem)
{
    return kOemToAnsi[oem];
}

uint8_t AnsiToOemChar(uint8_t ansi)
{
    return kAnsiToOem[ansi];
}

bool TryAnsiToOem(uint8_t ansi, uint8_t& oem)
{
    const int16_t value = kAnsiToOemExact[ansi];
    if (value < 0)
        return false;
    oem = uint8_t(value);
    return true;
}

char16_t OemToUnicode(uint8_t oem)
{
    return OemUnit(oem);
}

char16_t AnsiToUnicode(uint8_t ansi)
{
    return AnsiUnit(ansi);
}

bool TryUnicodeToAnsi(char16_t unit, uint8_t& ansi)
{
    const int value = ExactAnsiOf(unit);
    if (value < 0)
        return false;
    ansi = uint8_t(value);
    return true;
}

uint8_t UnicodeToAnsi(char16_t unit)
{
    uint8_t ansi = '?';
    TryUnicodeToAnsi(unit, ansi);
    return ansi;
}

QString AnsiToQString(const QByteArray& text)
{
    QString result(text.size(), Qt::Uninitialized);
    QChar* out = result.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = QChar(AnsiUnit(uint8_t(text[i])));
    return result;
}

QByteArray QStringToAnsi(const QString& text)
{
    QByteArray result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        // A surrogate pair is one character outside the 8-bit page.
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            result.append('?');
            ++i;
            continue;
        }
        result.append(char(UnicodeToAnsi(unit)));
    }
    return result;
}
