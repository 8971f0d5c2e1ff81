#pragma once
// Grid layout arithmetic of the editor, free of any widget: column counts,
// column widths, the gutter width, the ruler texts and the checks of the
// layout settings. The editor measures the font and applies the results.
//
// Grid geometry (B = bytes per row, H = 2 * B hex columns, N = B character
// columns, or B div 2 in unicode mode): column 0 gutter, 1 spacer, 2 .. H + 1
// hex digits, H + 2 gap, H + 3 .. H + 2 + N characters. Row 0 ruler, row 1
// never shown, data rows from 2.

#include <QString>
#include <QVector>
#include <cstdint>

// The inputs of the column widths.
struct TMPHLayoutSettings
{
    int BytesPerRow = 16;
    int BytesPerColumn = 2;     // bytes per column group
    int BytesPerBlock = -1;     // 1 or less: no blocks
    int RulerUnit = 1;          // bytes per ruler unit in effect
    bool UnicodeChars = false;
    bool SeparateBlocksInCharField = true;
};

// Number of character columns (one per byte, one per two bytes in unicode mode).
int CharColumnCount(int bytesPerRow, bool unicodeChars);
// Number of grid columns: 3 * B + 3, or 2 * B + B div 2 + 3 in unicode mode.
int GridColumnCount(int bytesPerRow, bool unicodeChars);

// Widths of columns 1 .. column count - 1 (column 0, the gutter, is set by
// GutterPixelWidth; entry 0 of the result is left 0).
QVector<int> ColumnWidths(const TMPHLayoutSettings& settings, int charWidth);

// Gutter width in pixels: gutterWidth when it is not -1, else
// gutterChars * charWidth + 21.
int GutterPixelWidth(int gutterWidth, int gutterChars, int charWidth);

// Height of the ruler row: charHeight + 3 while shown, else 0.
int RulerRowHeight(bool showRuler, int charHeight);

// Ruler texts: one character per hex column over the hex field and one per
// character column over the character field, in upper or lower case. With a
// row shorter than a ruler unit the texts are shorter than the fields (or
// empty): readers must not assume one character per column.
struct TMPHRulerTexts
{
    QString Hex;
    QString Char;
};
TMPHRulerTexts BuildRulerTexts(int bytesPerRow, int rulerUnit, uint8_t numberBase, bool unicodeChars,
                               bool lowerCase);

// The ruler unit in effect: rulerBytesPerUnit, or bytesPerUnit for -1.
int EffectiveRulerUnit(int rulerBytesPerUnit, int bytesPerUnit);
// A ruler number base outside 2..16 is stored as 16.
uint8_t NormalizeRulerNumberBase(int base);

// Checks of the layout settings; each raises EMPHexEditor with its message.
void CheckBytesPerRow(int value, bool unicodeChars);
void CheckBytesPerColumn(int value, bool unicodeChars);
// Unicode rule first ("must be set to 2"), then the range 1, 2, 4, 8.
void CheckBytesPerUnit(int value, bool unicodeChars);
void CheckRulerBytesPerUnit(int value);
