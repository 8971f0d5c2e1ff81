#pragma once
// The product's 8-bit character sets: text is Windows-1252 ("ANSI"), and the
// OEM (DOS) code page is 437, as on a Western Windows system. Qt's core has no
// code-page codecs, so the tables are our own.
//
// Rules for characters without a counterpart:
// - ANSI -> UTF-16 is total: the five byte values that Windows-1252 leaves
//   undefined (81, 8D, 8F, 90, 9D hex) map to the C1 control code points of the
//   same value, so every byte has exactly one code unit and back.
// - UTF-16 -> ANSI is exact; a code unit without a counterpart gives '?'
//   (TryUnicodeToAnsi reports the miss instead).
// - OEM -> ANSI (display direction) uses the exact counterpart when one
//   exists, else a visual stand-in: line-drawing characters become '-', '|'
//   or '+', shade and block characters '#', Greek letters and mathematical
//   signs a Latin look-alike ("a" for alpha, "=" for the identity sign ...).
//   Every OEM byte thus yields a printable ANSI character or a control code
//   below 32 / 7F for the same control codes of the OEM page.
// - ANSI -> OEM (input direction) is exact where possible; AnsiToOemChar then
//   falls back to the base letter of an accented character ("A" for A-grave)
//   and to '?' for everything else. TryAnsiToOem reports the miss instead, so
//   that a caller storing typed characters can refuse one rather than store a
//   different character.
// Byte values 0 to 127 are the same in both 8-bit code pages and map to
// themselves in every direction.

#include <QByteArray>
#include <QString>
#include <cstdint>

// One character between the OEM and the ANSI code page.
uint8_t OemToAnsiChar(uint8_t oem);
uint8_t AnsiToOemChar(uint8_t ansi);
// Exact conversion only: false (and oem untouched) when the OEM code page has
// no such character.
bool TryAnsiToOem(uint8_t ansi, uint8_t& oem);
// The UTF-16 code unit of an OEM character (for tests and display).
char16_t OemToUnicode(uint8_t oem);

// 8-bit (ANSI) to UTF-16 and back for one character; a UTF-16 unit with no
// ANSI counterpart gives '?'.
char16_t AnsiToUnicode(uint8_t ansi);
uint8_t UnicodeToAnsi(char16_t unit);
bool TryUnicodeToAnsi(char16_t unit, uint8_t& ansi);

// Whole texts, for 8-bit text that reaches Qt (labels, the character field).
// QStringToAnsi writes one '?' for each character without an ANSI counterpart
// (a surrogate pair is one character).
QString AnsiToQString(const QByteArray& text);
QByteArray QStringToAnsi(const QString& text);
