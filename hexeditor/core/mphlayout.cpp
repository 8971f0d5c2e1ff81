// Grid layout arithmetic.
#include "hexeditor/core/mphlayout.h"

#include "hexeditor/core/mphexception.h"
#include "hexeditor/core/mphgridgeometry.h"
#include "hexeditor/core/mphoffsetformat.h"

int CharColumnCount(int bytesPerRow, bool unicodeChars)
{
    return TMPHGridGeometry(bytesPerRow, unicodeChars).CharColumnCount();
}

int GridColumnCount(int bytesPerRow, bool unicodeChars)
{
    return TMPHGridGeometry(bytesPerRow, unicodeChars).ColumnCount();
}

QVector<int> ColumnWidths(const TMPHLayoutSettings& s, int w)
{
    const TMPHGridGeometry geo(s.BytesPerRow, s.UnicodeChars);
    const int charCols = geo.CharColumnCount();
    const int colCount = geo.ColumnCount();
    QVector<int> widths(colCount, 0);
    if (colCount < 2)
        return widths;
    widths[1] = 6;

    // 64-bit group and block lengths: BytesPerBlock may be any integer.
    const int64_t groupCols = 2 * int64_t(s.BytesPerColumn);
    const bool blocks = s.BytesPerBlock > 1;
    const int64_t blockCols = 2 * int64_t(s.BytesPerBlock);
    for (int j = TMPHGridGeometry::FirstHexColumn; j <= geo.GapColumn(); ++j) {
        if (j == geo.LastHexColumn()) {
            widths[j] = 2 * w;
            continue;
        }
        int width = w;
        if (groupCols > 0 && j % groupCols == 1)
            width += w; // space after each column group
        if (blocks && j % blockCols == 1)
            width += w; // more space after each block
        widths[j] = width;
    }

    const int unit = s.RulerUnit;
    const int64_t blockChars = s.UnicodeChars ? s.BytesPerBlock / 2 : s.BytesPerBlock;
    for (int k = 0; k < charCols; ++k) {
        int width = w + 1;
        if (unit > 1 && k % unit == unit - 1 && !s.UnicodeChars)
            width = (3 * w) / 2 + 1; // half a character after each ruler unit
        if (blocks && s.SeparateBlocksInCharField && blockChars > 0 && k % blockChars == blockChars - 1)
            width += w;
        widths[geo.FirstCharColumn() + k] = width;
    }
    widths[colCount - 1] = 2 * w + 1;
    return widths;
}

int GutterPixelWidth(int gutterWidth, int gutterChars, int charWidth)
{
    return gutterWidth != -1 ? gutterWidth : gutterChars * charWidth + 21;
}

int RulerRowHeight(bool showRuler, int charHeight)
{
    return showRuler ? charHeight + 3 : 0;
}

TMPHRulerTexts BuildRulerTexts(int bytesPerRow, int rulerUnit, uint8_t numberBase, bool unicodeChars,
                               bool lowerCase)
{
    TMPHRulerTexts texts;
    const int u = rulerUnit > 0 ? rulerUnit : 1;
    const int n = bytesPerRow / u;
    const int hexWidth = 2 * u;
    const int charWidth = unicodeChars ? u / 2 : u;
    texts.Hex.reserve(n * hexWidth);
    texts.Char.reserve(n * charWidth);
    for (int i = 0; i < n; ++i) {
        const QString hex = IntToRadix(uint32_t(i), numberBase, uint8_t(hexWidth));
        texts.Hex += hex.right(hexWidth);
        const QString chr = IntToRadix(uint32_t(i), numberBase, 0);
        if (chr.size() >= charWidth)
            texts.Char += chr.right(charWidth);
        else
            texts.Char += QString(charWidth - chr.size(), QLatin1Char(' ')) + chr;
    }
    if (lowerCase) {
        texts.Hex = texts.Hex.toLower();
        texts.Char = texts.Char.toLower();
    }
    return texts;
}

int EffectiveRulerUnit(int rulerBytesPerUnit, int bytesPerUnit)
{
    return rulerBytesPerUnit == -1 ? bytesPerUnit : rulerBytesPerUnit;
}

uint8_t NormalizeRulerNumberBase(int base)
{
    return (base >= 2 && base <= 16) ? uint8_t(base) : uint8_t(16);
}

void CheckBytesPerRow(int value, bool unicodeChars)
{
    if (value < 1 || value > 256 || (unicodeChars && value % 2 != 0))
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidBytesPerLine));
}

void CheckBytesPerColumn(int value, bool unicodeChars)
{
    if (value < 1 || value > 256 || (unicodeChars && value % 2 != 0))
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidBytesPerColumn));
}

void CheckBytesPerUnit(int value, bool unicodeChars)
{
    if (unicodeChars && value != 2)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::BytesPerUnitInUnicode));
    if (value != 1 && value != 2 && value != 4 && value != 8)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidBytesPerUnit).arg(value));
}

void CheckRulerBytesPerUnit(int value)
{
    if (value != -1 && value != 1 && value != 2 && value != 4 && value != 8)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidRulerBytesPerUnit).arg(value));
}
