#pragma once
// Widget-free arithmetic of the editor's keyboard and wheel handling: paging
// the top row and the caret row, and the byte a typed hex digit produces.
// Rows are grid rows: 0 and 1 are the fixed rows, data rows start at 2.

#include <cstdint>

// The first data row of the grid.
inline constexpr int MPHFirstDataRow = 2;

// A new top row and caret row.
struct TMPHRowJump
{
    int TopRow;
    int Row;
};

// Page Up: both the caret row and the top row go up by the visible row count
// less one (at least one row), neither above the first data row.
TMPHRowJump PageUpJump(int row, int topRow, int visibleRows);
// Page Down: the caret row goes down by the visible row count less one (at
// least one), not past the last row; the top row by the same amount, not
// beyond the last full page.
TMPHRowJump PageDownJump(int row, int topRow, int visibleRows, int rowCount);

// The top row after one wheel notch: a page less one row, never past the
// first or the last page.
int WheelDownTopRow(int topRow, int visibleRows, int rowCount);
int WheelUpTopRow(int topRow, int visibleRows);
// The same for a fixed step of rows per notch (rows > 0).
int WheelRowsDownTopRow(int topRow, int rows, int visibleRows, int rowCount);
int WheelRowsUpTopRow(int topRow, int rows);

// The value 0..15 of a typed hex digit (either case), or -1.
int HexDigitValue(char16_t ch);

// The byte stored when digit is typed over oldByte in overwrite mode. With
// highNibble the digit replaces the high nibble, else the low one.
uint8_t OverwriteNibble(uint8_t oldByte, int digit, bool highNibble);
// The first byte of the unit inserted for a typed digit: the digit in the
// nibble the hex field shows first (the high one, or the low one with
// swapNibbles), the other nibble zero.
uint8_t InsertedNibbleByte(int digit, bool swapNibbles);
