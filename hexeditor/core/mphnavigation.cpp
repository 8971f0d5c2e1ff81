#include "hexeditor/core/mphnavigation.h"

#include <algorithm>

namespace {
// A view showing a single row still pages by one row.
int pageStep(int visibleRows)
{
    return std::max(1, visibleRows - 1);
}
} // namespace

TMPHRowJump PageUpJump(int row, int topRow, int visibleRows)
{
    const int step = pageStep(visibleRows);
    return {std::max(MPHFirstDataRow, topRow - step), std::max(MPHFirstDataRow, row - step)};
}

TMPHRowJump PageDownJump(int row, int topRow, int visibleRows, int rowCount)
{
    const int step = pageStep(visibleRows);
    const int lastTop = std::max(MPHFirstDataRow, rowCount - visibleRows);
    const int64_t top = std::min<int64_t>(int64_t(topRow) + step, lastTop);
    const int64_t target = std::min<int64_t>(int64_t(row) + step, rowCount - 1);
    return {static_cast<int>(top), static_cast<int>(std::max<int64_t>(target, MPHFirstDataRow))};
}

int WheelDownTopRow(int topRow, int visibleRows, int rowCount)
{
    const int lastTop = std::max(MPHFirstDataRow, rowCount - visibleRows);
    const int64_t top = std::min<int64_t>(lastTop, int64_t(topRow) + visibleRows - 1);
    return static_cast<int>(std::max<int64_t>(MPHFirstDataRow, top));
}

int WheelUpTopRow(int topRow, int visibleRows)
{
    return std::max(MPHFirstDataRow, topRow - visibleRows + 1);
}

int WheelRowsDownTopRow(int topRow, int rows, int visibleRows, int rowCount)
{
    const int lastTop = std::max(MPHFirstDataRow, rowCount - visibleRows);
    const int64_t top = std::min<int64_t>(lastTop, int64_t(topRow) + std::max(1, rows));
    return static_cast<int>(std::max<int64_t>(MPHFirstDataRow, top));
}

int WheelRowsUpTopRow(int topRow, int rows)
{
    return static_cast<int>(std::max<int64_t>(MPHFirstDataRow, int64_t(topRow) - std::max(1, rows)));
}

int HexDigitValue(char16_t ch)
{
    if (ch >= u'0' && ch <= u'9')
        return ch - u'0';
    if (ch >= u'a' && ch <= u'f')
        return ch - u'a' + 10;
    if (ch >= u'A' && ch <= u'F')
        return ch - u'A' + 10;
    return -1;
}

uint8_t OverwriteNibble(uint8_t oldByte, int digit, bool highNibble)
{
    const int d = digit & 0x0F;
    return static_cast<uint8_t>(highNibble ? (d << 4) | (oldByte & 0x0F) : (oldByte & 0xF0) | d);
}

uint8_t InsertedNibbleByte(int digit, bool swapNibbles)
{
    const int d = digit & 0x0F;
    return static_cast<uint8_t>(swapNibbles ? d : d << 4);
}
