#pragma once
// The text of an error as both programs' error boxes show it.

#include <QString>
#include <exception>

// A full stop is appended when the last character sorts after "." (letters
// and digits do; "." and ")" do not, nor does an empty text).
QString WithFullStop(const QString& text);

// The message of an error: the text of an Exception, "Out of memory" for a
// failed allocation, what() of another std::exception, "Unknown error" for
// anything else; empty for no error.
QString ExceptionText(std::exception_ptr error);
