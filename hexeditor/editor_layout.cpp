// Column widths and row heights. Provisional: counts and widths follow the
// settings the editor has so far; gutter digits, blocks and the ruler unit
// come with the complete layout.

#include "hexeditor/mphexeditor.h"

#include <QFontMetrics>

void TCustomMPHexEditor::AdjustMetrics()
{
    const QFontMetrics metrics(font());
    m_charWidth = metrics.horizontalAdvance(QLatin1Char('w'));
    m_charHeight = metrics.boundingRect(QStringLiteral("yY")).height() + 2;

    const int h = HexColumnCount();
    const int cw = m_charWidth;
    // Gutter: "0x" and enough hex digits for the largest row offset.
    const int64_t maxOffset = static_cast<int64_t>(std::max(0, RowCount() - 3)) * m_bytesPerRow;
    const int digits = std::max(1, static_cast<int>(QString::number(maxOffset, 16).size()));
    SetColWidths(0, (digits + 2 + 1) * cw + 21);
    SetColWidths(1, 6);
    for (int col = 2; col <= h + 2 && col < ColCount(); ++col) {
        int width = cw;
        if (col == h + 1)
            width = 2 * cw;
        else if (col % 4 == 1)
            width += cw;
        SetColWidths(col, width);
    }
    for (int col = h + 3; col < ColCount(); ++col)
        SetColWidths(col, cw + 1);
    if (ColCount() > 0)
        SetColWidths(ColCount() - 1, 2 * cw + 1);

    SetDefaultRowHeight(m_charHeight);
    SetRowHeights(0, 0);
    SetRowHeights(1, 0);
    UpdateCaretPos();
}

void TCustomMPHexEditor::SetBytesPerRow(int value)
{
    if (value < 1 || value > 256 || (m_unicodeChars && value % 2 != 0))
        throw EMPHexEditor(QStringLiteral("Invalid bytes per line argument"));
    if (value == m_bytesPerRow)
        return;
    m_bytesPerRow = value;
    UpdateGridSize();
}

void TCustomMPHexEditor::BookmarkChanged()
{
}

QString TCustomMPHexEditor::FormatOffset(uint32_t offset)
{
    return QStringLiteral("0x%1").arg(offset, 0, 16);
}

QString TCustomMPHexEditor::OffsetToText(uint32_t offset)
{
    return QString::number(offset, 16).toUpper();
}
