#pragma once
// The text of an error as both programs' error boxes show it.

#include <QString>

// A full stop is appended when the last character sorts after "." (letters
// and digits do; "." and ")" do not, nor does an empty text).
QString WithFullStop(const QString& text);
