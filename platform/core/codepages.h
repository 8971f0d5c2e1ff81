#pragma once
// The product's 8-bit character sets: text is Windows-1252 ("ANSI"), and the
// OEM code page is 437. Qt's core has no code-page codecs, so the tables are
// our own.

#include <QByteArray>
#include <QString>
#include <cstdint>

// One character between the OEM and the ANSI code page, as a one-character
// conversion does it: a character with no counterpart becomes '?'... see the
// implementation for the exact rule.
uint8_t OemToAnsiChar(uint8_t oem);
uint8_t AnsiToOemChar(uint8_t ansi);

// 8-bit (ANSI) to UTF-16 and back for one character; a UTF-16 unit with no
// ANSI counterpart gives '?'.
char16_t AnsiToUnicode(uint8_t ansi);
uint8_t UnicodeToAnsi(char16_t unit);

// Whole texts, for 8-bit text that reaches Qt (labels, the character field).
QString AnsiToQString(const QByteArray& text);
QByteArray QStringToAnsi(const QString& text);
