#pragma once
// Message texts of the extended editor (its part of the program's string table).

#include "hexeditor/core/mphexception.h"

namespace MPHExStrings {
using MPHStrings::Text;

// Backups (%1 the backup's name, %2 the system's text for the error).
inline constexpr const char* CannotDeleteBackup = "Cannot delete previous backup %1. (%2)";
inline constexpr const char* CannotCreateBackup = "Cannot create backup %1. (%2)";
// Saving (%1 the file, %2 the system's text for the error).
inline constexpr const char* CannotSave = "Cannot save %1.\r\n(%2.)";
// Copying one object into another of an unrelated class (%1 the source's
// class or "nil", %2 the target's class).
inline constexpr const char* CannotAssign = "Cannot assign a %1 to a %2";
// Fonts (%1 the value).
inline constexpr const char* InvalidFontSize = "Invalid font size %1, allowed: -1000..-1 (pixels) or 1..1000 (points)";
inline constexpr const char* InvalidFontCharset = "Invalid font character set %1, allowed: 0..255";
inline constexpr const char* EmptyFontName = "A font name cannot be empty";
} // namespace MPHExStrings
