#pragma once
// The editor's own error class and its message texts.

#include "platform/core/exceptions.h"

class EMPHexEditor : public Exception
{
public:
    using Exception::Exception;
};

// Message texts of the editor (the program's string table).
namespace MPHStrings {
// A string-table text as a QString (the texts are plain ASCII).
inline QString Text(const char* text) { return QString::fromLatin1(text); }

inline constexpr const char* Untitled = "Untitled";
inline constexpr const char* ErrorFileOpen = "Cannot open %1.\r\n(%2.)";
inline constexpr const char* CannotSaveReadOnly = "Cannot save readonly file %1.";
inline constexpr const char* OutOfBounds = "Data position/length out of data bounds";
inline constexpr const char* OperationCancelled = "Operation cancelled";
inline constexpr const char* InvalidSelStart = "Invalid selection start";
inline constexpr const char* InvalidSelEnd = "Invalid selection end";
inline constexpr const char* FileTooLarge = "Cannot open %1: the file is %2 bytes long, the editor holds at most %3 bytes";
// Character translation and unicode mode.
inline constexpr const char* TranslationsInUnicode = "Translations cannot be used in unicode mode";
inline constexpr const char* OddFileInUnicode = "Cannot use unicode mode with odd-sized files";
inline constexpr const char* BytesPerUnitInUnicode = "BytesPerUnit must be set to 2 in unicode mode";
// Short and long names of the translation kinds, in the order of TMPHTranslationKind.
inline constexpr const char* TranslationShortNames[6] = {"WIN", "DOS", "ASC", "MAC", "BCD", "Cust"};
inline constexpr const char* TranslationLongNames[6] = {"Windows", "Dos 8 bits", "ASCII 7 bits", "Macintosh",
                                                        "EBCDIC codepage 38", "Custom translation"};
// Grid layout settings.
inline constexpr const char* InvalidBytesPerLine = "Invalid bytes per line argument";
inline constexpr const char* InvalidBytesPerColumn = "Invalid bytes per column argument";
inline constexpr const char* InvalidBytesPerUnit = "Invalid bytes per unit value %1, allowed: 1,2,4,8";
inline constexpr const char* InvalidRulerBytesPerUnit = "Invalid ruler bytes per unit value %1, allowed: -1,1,2,4,8";
inline constexpr const char* InvalidGutterWidth = "Invalid gutter width %1, allowed: -1 (automatic) or 0 and more";
inline constexpr const char* InvalidMaskChar = "Invalid mask character code %1, allowed: 0..255";
// Offset format (%1 of InvalidRadixChar is the character, %2 the radix in hexadecimal).
inline constexpr const char* InvalidRadixChar = "Invalid character %1, cannot convert using radix %2h";
inline constexpr const char* MissingOffsetFormatChar = "Missing char in offset format: %1";
inline constexpr const char* OffsetFormatNumberRadix = "number radix";
inline constexpr const char* InvalidOffsetFormatRadix = "Invalid radix in offset format (%1h), allowed: 02h..10h";
// Bookmarks.
inline constexpr const char* InvalidBookmarkIndex = "Invalid bookmark index";
inline constexpr const char* InvalidBookmarkBitmap = "Invalid bookmark bitmap (must be 10 x 200 px)";
// ---- undo storage and editing operations ----
inline constexpr const char* CannotUpdateUndo = "Cannot update undo storage";
// %1 the bytes the change adds, %2 the largest data size.
inline constexpr const char* DataSizeLimit = "Cannot add %1 bytes: the data would exceed %2 bytes";
} // namespace MPHStrings
