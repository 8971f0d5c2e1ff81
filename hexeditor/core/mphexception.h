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
inline constexpr const char* Untitled = "Untitled";
inline constexpr const char* ErrorFileOpen = "Cannot open %1.\r\n(%2.)";
inline constexpr const char* CannotSaveReadOnly = "Cannot save readonly file %1.";
inline constexpr const char* OutOfBounds = "Data position/length out of data bounds";
inline constexpr const char* OperationCancelled = "Operation cancelled";
inline constexpr const char* InvalidSelStart = "Invalid selection start";
inline constexpr const char* InvalidSelEnd = "Invalid selection end";
inline constexpr const char* FileTooLarge = "Cannot open %1: the file is %2 bytes long, the editor holds at most %3 bytes";
} // namespace MPHStrings
