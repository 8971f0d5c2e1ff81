#pragma once
// "editboot diff A B": the ranges where two files differ, for scripts.
//
// Bytes are compared position by position up to the shorter length; what the
// longer file has beyond it is one range. Each range is one line
//   OFFSET LENGTH
// OFFSET the range's first byte (counted from 0) in upper-case hexadecimal of
// at least 8 digits, LENGTH its number of bytes in decimal. Exit status as
// cmp's: 0 when the files are equal, 1 when they differ, 2 on an error.

#include <QString>
#include <cstdint>

class QTextStream;

namespace editboot {

// The diff command's exit statuses.
inline constexpr int DiffEqual = 0;
inline constexpr int DiffDifferent = 1;
inline constexpr int DiffTrouble = 2;

// One output line (without its line break).
QString DiffLine(int64_t offset, int64_t length);

// Compares the files at pathA and pathB and writes the ranges to out as they
// are found. Both are opened as the other commands open their inputs: regular
// files only, at most the editor's largest document, unchanged while read;
// anything else raises the stream layer's error. Returns DiffEqual or
// DiffDifferent.
int DiffFiles(const QString& pathA, const QString& pathB, QTextStream& out);

} // namespace editboot
