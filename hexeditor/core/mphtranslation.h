#pragma once
// Character translation of the character field: which character a byte shows
// and which byte a typed character stores, for each TMPHTranslationKind, the
// masking of unprintable codes and the two-byte (UTF-16) character view.
// Characters here are codes of the product's 8-bit character set
// (Windows-1252); the hex field and the data are never translated.

#include "hexeditor/core/mphtypes.h"

#include <QString>
#include <array>
#include <bitset>
#include <cstdint>

// A set of 8-bit character codes.
using TMPHCharSet = std::bitset<256>;
using TMPHTranslationTable = std::array<uint8_t, 256>;

// The codes shown as MaskChar and refused as typed input: 0 to 31.
TMPHCharSet DefaultMaskedChars();

// The constant Macintosh and EBCDIC tables: display maps byte -> character,
// input maps character -> byte; each input table is the inverse of its
// display table.
const TMPHTranslationTable& MacDisplayTable();
const TMPHTranslationTable& MacInputTable();
const TMPHTranslationTable& BcdDisplayTable();
const TMPHTranslationTable& BcdInputTable();

// The program-wide custom tables, shared by every editor; each code maps to
// itself until a host application fills them.
TMPHTranslationTable& CustomDisplayTable();
TMPHTranslationTable& CustomInputTable();

// Short ("WIN", "DOS" ...) and long ("Windows", ...) names of a kind, for the
// host application; empty for a value outside the enumeration.
QString TranslationShortName(TMPHTranslationKind kind);
QString TranslationLongName(TMPHTranslationKind kind);

// The character shown for byte b. A result in masked becomes maskChar unless
// maskChar is the zero character (which switches masking off).
uint8_t TranslateToDisplay(TMPHTranslationKind kind, uint8_t b, uint8_t maskChar, const TMPHCharSet& masked);

// The byte stored for a typed character; a result in masked comes back as 0,
// meaning that the character cannot be entered. Under tkDos8 and tkASCII a
// character that the OEM code page lacks is refused (0) rather than stored as
// a different character.
uint8_t TranslateFromInput(TMPHTranslationKind kind, uint8_t ch, const TMPHCharSet& masked);

// The code unit shown in unicode mode for the bytes at data (available of
// them; only the first two are read, a missing one counts as zero): low byte
// first, swapped when bigEndian; a unit below 256 that lies in masked shows
// maskChar (converted to UTF-16), also when maskChar is the zero character.
char16_t UnicodeDisplayUnit(const uint8_t* data, int64_t available, bool bigEndian, uint8_t maskChar,
                            const TMPHCharSet& masked);

// The two bytes stored for a code unit typed in unicode mode.
std::array<uint8_t, 2> UnicodeInputBytes(char16_t unit, bool bigEndian);

// Checks, in this order, that unicode mode may be switched on, and raises
// EMPHexEditor with the first failure: odd bytes per row, odd bytes per
// column, odd data size.
void CheckUnicodeModeAllowed(int bytesPerRow, int bytesPerColumn, int64_t dataSize);

// Raises EMPHexEditor when kind is not tkAsIs while unicode mode is on.
void CheckTranslationAllowed(TMPHTranslationKind kind, bool unicodeChars);
