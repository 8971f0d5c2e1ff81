// Column widths, row heights, the gutter, the ruler texts and the layout
// settings. The arithmetic lives in core/mphlayout; this file measures the
// font and applies the results to the grid.

#include "hexeditor/mphexeditor.h"

#include <QEvent>
#include <QFontMetrics>

TMPHLayoutSettings TCustomMPHexEditor::LayoutSettings() const
{
    TMPHLayoutSettings settings;
    settings.BytesPerRow = m_bytesPerRow;
    settings.BytesPerColumn = m_bytesPerColumn;
    settings.BytesPerBlock = m_bytesPerBlock;
    settings.RulerUnit = m_rulerUnit;
    settings.UnicodeChars = m_unicodeChars;
    settings.SeparateBlocksInCharField = m_separateBlocksInCharField;
    return settings;
}

void TCustomMPHexEditor::InitViewDefaults()
{
    setFont(QFont(QStringLiteral("Courier New"), 11));
    ParseOffsetFormat(m_offsetFormat, QStringLiteral("-!10:0x|"), OffsetUnitSources());
    BuildRulerTexts();
    SetBookmarkBitmap(QImage());
}

void TCustomMPHexEditor::AdjustMetrics()
{
    const QFontMetrics metrics(font());
    m_charWidth = metrics.horizontalAdvance(QStringLiteral("w"));
    UpdateGutterWidth();

    const QVector<int> widths = ColumnWidths(LayoutSettings(), m_charWidth);
    // The grid's column count follows UpdateGridSize; never address past it.
    const int count = std::min<int>(widths.size(), ColCount());
    for (int col = 1; col < count; ++col)
        SetColWidths(col, widths[col]);

    m_charHeight = metrics.size(Qt::TextSingleLine, QStringLiteral("yY")).height() + 2;
    // Resetting the heights repaints the whole grid: only when the default
    // changes or a data row was given a height of its own.
    if (DefaultRowHeight() != m_charHeight || !DefaultHeightsAfter(1))
        SetDefaultRowHeight(m_charHeight);
    if (RowCount() > 1)
        SetRowHeights(1, 0);
    SetRowHeights(0, RulerRowHeight(m_showRuler, m_charHeight));
    UpdateCaretPos();
}

void TCustomMPHexEditor::UpdateGutterWidth()
{
    const int32_t largest = LargestShownOffset(RowCount(), m_bytesPerRow);
    qsizetype length;
    if (OnGetOffsetText && !m_inGetOffsetText) {
        QString text;
        m_inGetOffsetText = true;
        m_isMaxOffset = true;
        try {
            OnGetOffsetText(this, int64_t(largest), text);
        } catch (...) {
            m_inGetOffsetText = false;
            m_isMaxOffset = false;
            throw;
        }
        m_inGetOffsetText = false;
        m_isMaxOffset = false;
        length = text.size();
    } else {
        UpdateAutoDigits(m_offsetFormat, largest);
        length = FormatOffset(uint32_t(largest)).size();
    }
    m_gutterChars = int(std::min<qsizetype>(length, 0x7FFF)) + 1;
    // Before the first layout there is no character width to multiply with.
    if (m_gutterWidth != -1 || m_charWidth >= 0)
        SetColWidths(0, std::max(0, GutterPixelWidth(m_gutterWidth, m_gutterChars, m_charWidth)));
}

void TCustomMPHexEditor::BuildRulerTexts()
{
    const TMPHRulerTexts texts =
        ::BuildRulerTexts(m_bytesPerRow, m_rulerUnit, uint8_t(m_rulerNumberBase), m_unicodeChars, m_hexLowerCase);
    m_hexRulerText = texts.Hex;
    m_charRulerText = texts.Char;
}

void TCustomMPHexEditor::changeEvent(QEvent* e)
{
    TCustomGrid::changeEvent(e);
    // A new font changes every width and height. The layout runs once the
    // control has a window, or when it has been laid out before.
    if (e->type() == QEvent::FontChange && (testAttribute(Qt::WA_WState_Created) || m_charWidth != -1)) {
        AdjustMetrics();
        // The caret takes the new cell size.
        if (hasFocus())
            CreateCaretShape();
    }
}

// ---- layout settings -------------------------------------------------------------

void TCustomMPHexEditor::SetBytesPerRow(int value)
{
    CheckBytesPerRow(value, m_unicodeChars);
    if (value == m_bytesPerRow)
        return;
    FollowBytesPerRow(m_offsetFormat, value);

    // Keep the caret on its byte, field and digit, and the selection on its bytes.
    const int32_t position = PositionAtCell(Col(), Row());
    const bool charField = CaretInCharField();
    const bool secondDigit = Geometry().IsSecondDigit(Col());
    const int32_t anchor = m_selection.Anchor;
    const int32_t first = m_selection.First;
    const int32_t last = m_selection.Last;

    m_bytesPerRow = value;
    BuildRulerTexts();
    UpdateGridSize();

    const int32_t target = position >= DataSize() ? DataSize() - 1 : position;
    TGridCoord cell = CellAtPosition(target, charField);
    if (secondDigit && target >= 0)
        ++cell.X;
    MoveColRow(cell.X, cell.Y, true);
    m_selection.Anchor = anchor;
    m_selection.First = first;
    m_selection.Last = last;
    viewport()->update();
}

void TCustomMPHexEditor::SetBytesPerColumn(int value)
{
    CheckBytesPerColumn(value, m_unicodeChars);
    if (value == m_bytesPerColumn)
        return;
    FollowBytesPerColumn(m_offsetFormat, value);
    m_bytesPerColumn = value;
    AdjustMetrics();
    BuildRulerTexts();
    viewport()->update();
}

void TCustomMPHexEditor::SetBytesPerUnit(int value)
{
    CheckBytesPerUnit(value, m_unicodeChars);
    if (value == m_bytesPerUnit)
        return;
    m_bytesPerUnit = value;
    if (m_rulerBytesPerUnit == -1)
        m_rulerUnit = value;
    FollowRulerUnit(m_offsetFormat, m_rulerUnit);
    AdjustMetrics();
    BuildRulerTexts();
    if (SelCount() % value != 0)
        ResetSelection(false);
    viewport()->update();
}

void TCustomMPHexEditor::SetRulerBytesPerUnit(int value)
{
    CheckRulerBytesPerUnit(value);
    if (value == m_rulerBytesPerUnit)
        return;
    m_rulerBytesPerUnit = value;
    m_rulerUnit = EffectiveRulerUnit(value, m_bytesPerUnit);
    FollowRulerUnit(m_offsetFormat, m_rulerUnit);
    AdjustMetrics();
    BuildRulerTexts();
    viewport()->update();
}

void TCustomMPHexEditor::SetBytesPerBlock(int value)
{
    if (value == m_bytesPerBlock)
        return;
    m_bytesPerBlock = value;
    AdjustMetrics();
}

void TCustomMPHexEditor::SetSeparateBlocksInCharField(bool value)
{
    if (value == m_separateBlocksInCharField)
        return;
    m_separateBlocksInCharField = value;
    if (m_bytesPerBlock > 1)
        AdjustMetrics();
}

void TCustomMPHexEditor::SetShowRuler(bool value)
{
    if (value == m_showRuler)
        return;
    m_showRuler = value;
    AdjustMetrics();
}

void TCustomMPHexEditor::SetRulerNumberBase(int value)
{
    const int base = NormalizeRulerNumberBase(value);
    if (base == m_rulerNumberBase)
        return;
    m_rulerNumberBase = base;
    BuildRulerTexts();
    if (m_showRuler)
        viewport()->update();
}

void TCustomMPHexEditor::SetGutterWidth(int value)
{
    // A negative width other than -1 (automatic) has no meaning for a column.
    if (value < -1)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidGutterWidth).arg(value));
    if (value == m_gutterWidth)
        return;
    m_gutterWidth = value;
    UpdateGutterWidth();
    viewport()->update();
}
