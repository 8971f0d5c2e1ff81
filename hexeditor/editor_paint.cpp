// Painting: the corner, ruler, gutter and data cells with their colours, the
// selection, changed bytes, frames, grid lines, the strips around the grid
// and the 3-D edges; the painting properties and the colour set.
//
// Only the visible cells are visited (from the top-left visible cell up to
// the viewport's edges) and only the bytes of painted cells are read, so a
// repaint costs the same for any document size.

#include "hexeditor/mphexeditor.h"

#include "platform/core/codepages.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QPaintEvent>
#include <QPainter>
#include <QRawFont>

namespace {

struct TBand
{
    int index;
    int start;
    int size;
};

QColor InvertColor(const QColor& c) { return ResolveColor(MPHColor::Invert(ColorToRgb(c)), QPalette()); }
QColor GrayColor(const QColor& c) { return ResolveColor(MPHColor::Gray(ColorToRgb(c)), QPalette()); }

} // namespace

// The fill, text and text background colours of one cell.
struct TMPHCellColors
{
    QColor fill;
    QColor text;
    QColor textBack;
};

// What a paint takes once: the state, the resolved colours and the visible
// columns and rows.
struct TMPHPaintContext
{
    // A character of the editor's own font, shaped once per paint: drawing
    // the glyph skips the text layout a drawText call does for every cell.
    struct TGlyph
    {
        QGlyphRun run;
        int advance = 0;
        bool usable = false; // false: not in the font itself, drawn as text (font fallback)
        QRect ink;           // the pixels it covers, relative to its baseline origin
    };
    const TCustomGrid& view; // the grid being painted
    QPainter& painter;
    QFontMetrics metrics;
    bool focused = false;
    int32_t dataSize = 0;
    int lastCol = 0;
    TMPHGridGeometry geo;
    bool mirrored = false;
    int width = 0;
    int height = 0;
    int gridRight = 0;
    int gridBottom = 0;
    int rulerHeight = 0; // rows 0 and 1
    int frameCol = -1;   // the cell framed on the caret row, -1 for none
    QVector<TBand> cols; // columns 0 and 1, then the visible scrolling ones
    QVector<TBand> rows; // the visible data rows
    QColor background, activeBackground, offset, offsetBack, currentOffset, currentOffsetBack;
    QColor oddColumn, evenColumn, changedText, changedBack, grid, fontColor, shadow, highlight;
    QRawFont rawFont;
    QHash<char16_t, TGlyph> glyphs;

    TMPHPaintContext(const TCustomGrid& g, QPainter& p, const QFont& font)
        : view(g), painter(p), metrics(font), rawFont(QRawFont::fromFont(font))
    {
    }

    const TGlyph& GlyphOf(QChar c)
    {
        auto it = glyphs.find(c.unicode());
        if (it != glyphs.end())
            return *it;
        TGlyph glyph;
        glyph.advance = metrics.horizontalAdvance(c);
        const QList<quint32> indexes = rawFont.isValid() ? rawFont.glyphIndexesForString(QString(c)) : QList<quint32>();
        if (indexes.size() == 1 && indexes.first() != 0 && !c.isSpace() && c.isPrint()) {
            glyph.run.setRawFont(rawFont);
            glyph.run.setGlyphIndexes(indexes);
            glyph.run.setPositions({QPointF(0, 0)});
            glyph.usable = true;
            glyph.ink = rawFont.boundingRect(indexes.first()).toAlignedRect();
        } else {
            glyph.ink = metrics.boundingRect(c);
        }
        return *glyphs.insert(c.unicode(), glyph);
    }

    // Cell rectangles and line positions in viewport coordinates; mirrored
    // by the grid for a right-to-left layout.
    QRect Map(const QRect& r) const { return view.PhysicalRect(r); }
    int MapX(int x) const { return view.LogicalX(x); }
    void Line(const QColor& color, int x1, int y1, int x2, int y2) const
    {
        painter.setPen(color);
        painter.drawLine(MapX(x1), y1, MapX(x2), y2);
    }
};

// ---- the paint -------------------------------------------------------------------

void TCustomMPHexEditor::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setFont(font());
    // Cells are mirrored one by one; the texts inside them stay left-to-right.
    painter.setLayoutDirection(Qt::LeftToRight);
    TMPHPaintContext ctx(*this, painter, font());
    if (m_charWidth < 0 || DefaultRowHeight() <= 0) {
        painter.fillRect(viewport()->rect(), ResolveColor(m_colors->Background(), palette()));
        return;
    }
    PreparePaint(ctx);
    if (m_showRuler) {
        PaintCorners(ctx);
        PaintRuler(ctx);
    }
    PaintGutter(ctx);
    PaintDataCells(ctx);
    PaintOuterStrips(ctx);
    PaintEdges(ctx);
    m_drawDataPosition = -1;
    PaintCaret(painter);
}

void TCustomMPHexEditor::PreparePaint(TMPHPaintContext& ctx)
{
    // Focus state, data size and the last column, taken once.
    ctx.focused = hasFocus();
    ctx.dataSize = DataSize();
    ctx.lastCol = ColCount() - 1;
    ctx.geo = Geometry();
    ctx.mirrored = layoutDirection() == Qt::RightToLeft;
    ctx.width = viewport()->width();
    ctx.height = viewport()->height();
    ctx.rulerHeight = RowHeights(0) + RowHeights(1);

    const QPalette& pal = palette();
    const TMPHColors& c = *m_colors;
    ctx.background = ResolveColor(c.Background(), pal);
    ctx.activeBackground = ResolveColor(c.ActiveFieldBackground(), pal);
    ctx.offset = ResolveColor(c.Offset(), pal);
    ctx.offsetBack = ResolveColor(c.OffsetBackGround(), pal);
    ctx.currentOffset = ResolveColor(c.CurrentOffset(), pal);
    ctx.currentOffsetBack = ResolveColor(c.CurrentOffsetBackground(), pal);
    ctx.oddColumn = ResolveColor(c.OddColumn(), pal);
    ctx.evenColumn = ResolveColor(c.EvenColumn(), pal);
    ctx.changedText = ResolveColor(c.ChangedText(), pal);
    ctx.changedBack = ResolveColor(c.ChangedBackground(), pal);
    ctx.grid = ResolveColor(c.Grid(), pal);
    ctx.fontColor = pal.color(QPalette::Text);
    ctx.shadow = ResolveColor(MPHColor::clBtnShadow, pal);
    ctx.highlight = ResolveColor(MPHColor::clBtnHighlight, pal);

    CollectVisibleBands(ctx);
    ctx.frameCol = FramedColumn(ctx.focused);
}

void TCustomMPHexEditor::CollectVisibleBands(TMPHPaintContext& ctx)
{
    int x = 0;
    for (int col = 0; col < std::min(2, ColCount()); ++col) {
        const int w = ColWidths(col);
        if (w > 0 && x < ctx.width)
            ctx.cols.append({col, x, w});
        x += w;
    }
    int col = std::max(LeftCol(), 2);
    for (; col < ColCount() && x < ctx.width; ++col) {
        const int w = ColWidths(col);
        if (w > 0)
            ctx.cols.append({col, x, w});
        x += w;
    }
    ctx.gridRight = col >= ColCount() ? std::min(x, ctx.width) : ctx.width;

    int y = ctx.rulerHeight;
    int row = std::max(TopRow(), 2);
    for (; row < RowCount() && y < ctx.height; ++row) {
        const int h = RowHeights(row);
        if (h > 0)
            ctx.rows.append({row, y, h});
        y += h;
    }
    ctx.gridBottom = row >= RowCount() ? std::min(y, ctx.height) : ctx.height;
}

int TCustomMPHexEditor::FramedColumn(bool focused)
{
    if (focused) {
        if (InCharField())
            return OtherFieldColumn(Col());
        // The character cell of the caret's byte.
        return Geometry().CellOf(Geometry().PositionAt(Col(), Row()), true).Col;
    }
    return m_showPositionIfNotFocused ? Col() : -1;
}

// ---- common text drawing -----------------------------------------------------------

void TCustomMPHexEditor::DrawCellText(TMPHPaintContext& ctx, int col, int row, const QRect& cell,
                                      QString text, const TMPHCellColors& colors, bool gutter)
{
    QPainter& p = ctx.painter;
    const QRect textRect = gutter ? cell : QRect(cell.left(), cell.top(), std::min(m_charWidth, cell.width()), cell.height());
    bool defaultDraw = true;
    if (OnDrawCell) {
        p.save();
        p.setBrush(colors.fill);
        p.setPen(colors.text);
        OnDrawCell(this, &p, col, row, text, textRect, defaultDraw);
        p.restore();
        if (!defaultDraw)
            return;
    }
    p.fillRect(cell, colors.fill);
    if (text.isEmpty())
        return;
    const TMPHPaintContext::TGlyph* glyph = (!gutter && text.size() == 1) ? &ctx.GlyphOf(text.at(0)) : nullptr;
    const int textWidth = glyph ? glyph->advance : ctx.metrics.horizontalAdvance(text);
    const int x = gutter ? cell.left() + cell.width() - textWidth - 4 : textRect.left();
    const QRect box = QRect(x, cell.top(), textWidth, ctx.metrics.height()) & textRect;
    if (colors.textBack != colors.fill)
        p.fillRect(box, colors.textBack);
    p.setPen(colors.text);
    const QPoint baseline(x, cell.top() + ctx.metrics.ascent());
    // A glyph reaching out of its cell (an accent above the ascent, a wide
    // letter) is cut at the cell, so that repainting one cell or row draws
    // exactly what painting the whole view draws.
    const bool clip = x < textRect.left() || x + textWidth > textRect.left() + textRect.width()
                      || ctx.metrics.height() > textRect.height()
                      || (glyph && !textRect.contains(glyph->ink.translated(baseline)));
    if (clip) {
        p.save();
        p.setClipRect(textRect);
    }
    if (glyph && glyph->usable)
        p.drawGlyphRun(baseline, glyph->run);
    else
        p.drawText(baseline, text);
    if (clip)
        p.restore();
}

// ---- corner, ruler and gutter ------------------------------------------------------

void TCustomMPHexEditor::PaintCorners(TMPHPaintContext& ctx)
{
    m_drawDataPosition = -1;
    const TMPHCellColors colors{ctx.offsetBack, ctx.offset, ctx.offsetBack};
    for (int row = 0; row < 2; ++row) {
        const int h = RowHeights(row);
        const int top = row == 0 ? 0 : RowHeights(0);
        for (const TBand& c : ctx.cols) {
            if (c.index > 1 || h <= 0)
                continue;
            const QRect cell = ctx.Map(QRect(c.start, top, c.size, h));
            if (c.index == 1)
                ctx.painter.fillRect(cell, colors.fill); // the spacer takes no handler
            else
                DrawCellText(ctx, c.index, row, cell, QString(), colors, false);
        }
    }
}

QString TCustomMPHexEditor::RulerTextOf(int col) const
{
    const TMPHGridGeometry geo = Geometry();
    if (geo.IsGapColumn(col))
        return QStringLiteral("  ");
    if (!geo.IsCharColumn(col)) {
        const int i = col - TMPHGridGeometry::FirstHexColumn;
        return i < m_hexRulerText.size() ? QString(m_hexRulerText[i]) : QString();
    }
    const int i = col - geo.FirstCharColumn();
    return i < m_charRulerText.size() ? QString(m_charRulerText[i]) : QString();
}

void TCustomMPHexEditor::PaintRuler(TMPHPaintContext& ctx)
{
    m_drawDataPosition = -1;
    for (int row = 0; row < 2; ++row) {
        const int h = RowHeights(row);
        if (h <= 0)
            continue;
        const int top = row == 0 ? 0 : RowHeights(0);
        for (const TBand& c : ctx.cols) {
            if (c.index < 2)
                continue;
            const bool current = c.index == Col();
            const TMPHCellColors colors{ctx.offsetBack, current ? ctx.currentOffset : ctx.offset,
                                     current ? ctx.currentOffsetBack : ctx.offsetBack};
            DrawCellText(ctx, c.index, row, ctx.Map(QRect(c.start, top, c.size, h)), RulerTextOf(c.index), colors, false);
        }
    }
}

void TCustomMPHexEditor::PaintGutter(TMPHPaintContext& ctx)
{
    m_drawDataPosition = -1;
    for (const TBand& r : ctx.rows) {
        for (const TBand& c : ctx.cols) {
            if (c.index > 1)
                break;
            const QRect cell = ctx.Map(QRect(c.start, r.start, c.size, r.size));
            if (c.index == 1) {
                PaintGridLines(ctx, 1, cell);
                continue;
            }
            const bool current = r.index == Row();
            const QColor back = current ? ctx.currentOffsetBack : ctx.offsetBack;
            const TMPHCellColors colors{back, current ? ctx.currentOffset : ctx.offset, back};
            const uint32_t offset = uint32_t(Geometry().RowStart(r.index));
            DrawCellText(ctx, 0, r.index, cell, FormatOffset(offset), colors, true);
            PaintBookmarkIcons(ctx, r.index, cell);
        }
    }
}

void TCustomMPHexEditor::PaintBookmarkIcons(TMPHPaintContext& ctx, int row, const QRect& cell)
{
    for (int i = 0; i < 10; ++i) {
        const TMPHBookmark& mark = m_document.Bookmarks.At(i);
        if (mark.mPosition < 0 || RowOfPosition(mark.mPosition) != row)
            continue;
        const int icon = m_document.Bookmarks.IconIndex(i);
        if (icon < m_bookmarkImages.size())
            ctx.painter.drawImage(QPoint(cell.left() + 3, cell.top() + (cell.height() - 10) / 2),
                                  m_bookmarkImages[icon]);
    }
}

// ---- data cells --------------------------------------------------------------------

void TCustomMPHexEditor::PaintDataCells(TMPHPaintContext& ctx)
{
    for (const TBand& r : ctx.rows) {
        for (const TBand& c : ctx.cols) {
            if (c.index < 2)
                continue;
            const QRect cell = ctx.Map(QRect(c.start, r.start, c.size, r.size));
            if (ctx.geo.IsGapColumn(c.index)) {
                m_drawDataPosition = -1;
                PaintGridLines(ctx, c.index, cell);
                continue;
            }
            PaintDataCell(ctx, c.index, r.index, cell);
        }
    }
}

bool TCustomMPHexEditor::IsChangedForDisplay(int32_t p, bool unicodeCell) const
{
    if (InsertMode())
        return false;
    auto marked = [this](int64_t i) { return i < m_document.ChangedBytes.size() && m_document.ChangedBytes.testBit(qsizetype(i)); };
    return marked(p) || (unicodeCell && marked(int64_t(p) + 1));
}

QString TCustomMPHexEditor::DataCellText(int col, int32_t p)
{
    const TMPHGridGeometry geo = Geometry();
    if (!geo.IsCharColumn(col)) {
        const uint8_t b = m_document.Data->PeekByte(p);
        const bool high = geo.IsSecondDigit(col) == m_swapNibbles;
        return QString(QLatin1Char(m_hexDigits[high ? b >> 4 : b & 0x0F]));
    }
    if (m_unicodeChars)
        return QString(QChar(UnicodeCharAt(p)));
    return QString(QChar(AnsiToUnicode(TranslateToDisplay(m_document.Data->PeekByte(p)))));
}

void TCustomMPHexEditor::PaintDataCell(TMPHPaintContext& ctx, int col, int row, const QRect& cell)
{
    const bool charField = ctx.geo.IsCharColumn(col);
    const int32_t p = ctx.geo.PositionAt(col, row);
    m_drawDataPosition = p;
    const bool active = charField == m_activeFieldShown;
    TMPHCellColors colors;
    colors.fill = (active && col != ctx.geo.LastHexColumn() && col != ctx.lastCol) ? ctx.activeBackground : ctx.background;

    if (p < ctx.dataSize) {
        if (IsChangedForDisplay(p, charField && m_unicodeChars)) {
            colors.text = ctx.changedText;
            colors.textBack = ctx.changedBack;
        } else {
            colors.textBack = active ? ctx.activeBackground : ctx.background;
            const int group = (col - TMPHGridGeometry::FirstHexColumn) / (2 * m_bytesPerColumn);
            colors.text = InCharField() ? ctx.fontColor : (group % 2 == 0 ? ctx.oddColumn : ctx.evenColumn);
        }
        ApplySelectionColors(ctx, col, p, colors);
        DrawCellText(ctx, col, row, cell, DataCellText(col, p), colors, false);
        if (m_dropMarkerVisible && col == m_dropMarkerCol && row == m_dropMarkerRow) {
            QPen pen(colors.text, 2);
            ctx.painter.setPen(pen);
            ctx.painter.drawLine(cell.left() + 1, cell.top() + 1, cell.left() + 1, cell.top() + cell.height() - 1);
        }
    } else {
        m_isDrawDataSelected = false;
    }
    if (row == Row() && col == ctx.frameCol)
        PaintFrame(ctx, cell);
    if (m_drawGridLines && col == ctx.lastCol)
        ctx.Line(ctx.grid, cell.left() + cell.width() - 1, cell.top(), cell.left() + cell.width() - 1,
                 cell.top() + cell.height() - 2);
    PaintGridLines(ctx, col, cell);
}

void TCustomMPHexEditor::ApplySelectionColors(TMPHPaintContext& ctx, int col, int32_t p, TMPHCellColors& colors)
{
    m_isDrawDataSelected = m_selection.First >= 0 && m_selection.First <= p && p <= m_selection.Last;
    if (!m_isDrawDataSelected || (m_hideSelection && !ctx.focused))
        return;
    colors.text = InvertColor(colors.text);
    colors.textBack = InvertColor(colors.textBack);
    // The fill runs on between selected cells and stops after the last byte.
    if (col != ctx.geo.LastHexColumn() && col != ctx.lastCol && p != m_selection.Last)
        colors.fill = InvertColor(colors.fill);
    if (m_graySelectionIfNotFocused && !ctx.focused) {
        colors.text = GrayColor(colors.text);
        colors.textBack = GrayColor(colors.textBack);
    }
}

void TCustomMPHexEditor::PaintFrame(TMPHPaintContext& ctx, const QRect& cell)
{
    QPainter& p = ctx.painter;
    // The frame covers (left, top) to (left + CharWidth, bottom - 1), both
    // ends exclusive: CharWidth wide and one pixel less than the row high.
    const QRect frame(cell.left(), cell.top(), m_charWidth - 1, cell.height() - 2);
    p.save();
    p.setBrush(Qt::NoBrush);
    if (m_focusFrame) {
        p.setPen(QPen(ctx.fontColor, 1, Qt::DotLine));
    } else {
        const TColor color = ctx.focused ? m_colors->CursorFrame() : m_colors->NonFocusCursorFrame();
        p.setPen(ResolveColor(color, palette()));
    }
    p.drawRect(frame);
    p.restore();
}

void TCustomMPHexEditor::PaintGridLines(TMPHPaintContext& ctx, int col, const QRect& cell)
{
    if (!m_drawGridLines)
        return;
    const int bottom = cell.top() + cell.height() - 1;
    ctx.painter.setPen(ctx.grid);
    ctx.painter.drawLine(cell.left(), bottom, cell.left() + cell.width() - 1, bottom);
    if (ctx.geo.IsGapColumn(col)) {
        // The gap column's left edge (its right edge when mirrored).
        const int x = ctx.mirrored ? cell.left() + cell.width() - 1 : cell.left();
        ctx.painter.drawLine(x, cell.top(), x, bottom - 1);
    }
}

// ---- around the grid ----------------------------------------------------------------

void TCustomMPHexEditor::PaintOuterStrips(TMPHPaintContext& ctx)
{
    QPainter& p = ctx.painter;
    if (ctx.gridRight < ctx.width) {
        const QRect strip(ctx.gridRight, 0, ctx.width - ctx.gridRight, ctx.height);
        p.fillRect(ctx.Map(strip), ctx.background);
        if (ctx.rulerHeight > 0)
            p.fillRect(ctx.Map(QRect(strip.left(), 0, strip.width(), ctx.rulerHeight)), ctx.offsetBack);
    }
    if (ctx.gridBottom < ctx.height) {
        const int gutter = ColWidths(0);
        const int h = ctx.height - ctx.gridBottom;
        p.fillRect(ctx.Map(QRect(gutter + 1, ctx.gridBottom, std::max(0, ctx.width - gutter - 1), h)), ctx.background);
        p.fillRect(ctx.Map(QRect(0, ctx.gridBottom, gutter, h)), ctx.offsetBack);
    }
}

void TCustomMPHexEditor::PaintEdges(TMPHPaintContext& ctx)
{
    const int gutter = ColWidths(0);
    const int bottom = ctx.height - 1;
    if (gutter != 0) {
        if (m_drawGutter3D) {
            ctx.Line(ctx.shadow, gutter, ctx.rulerHeight, gutter, bottom);
            ctx.Line(ctx.highlight, gutter - 1, ctx.rulerHeight, gutter - 1, bottom);
        } else if (m_drawGridLines) {
            ctx.Line(ctx.grid, gutter - 1, ctx.rulerHeight, gutter - 1, bottom);
        }
    }
    if (!m_showRuler)
        return;
    const int right = ctx.width - 1;
    if (m_drawGutter3D) {
        ctx.Line(ctx.shadow, gutter - 1, ctx.rulerHeight - 1, right, ctx.rulerHeight - 1);
        ctx.Line(ctx.highlight, gutter - 1, ctx.rulerHeight - 2, right, ctx.rulerHeight - 2);
    } else if (m_drawGridLines) {
        ctx.Line(ctx.grid, gutter - 1, ctx.rulerHeight - 1, right, ctx.rulerHeight - 1);
    }
}

// ---- painting properties -------------------------------------------------------------

void TCustomMPHexEditor::InitPaintDefaults()
{
    m_colors = new TMPHColors(this);
    m_colors->ApplyBackgroundToOwner();
    m_caretTimer.setParent(this);
    connect(&m_caretTimer, &QTimer::timeout, this, [this] { ToggleCaretBlink(); });
}

void TCustomMPHexEditor::SetColors(TMPHColors* value)
{
    if (value != m_colors)
        m_colors->Assign(value);
}

void TCustomMPHexEditor::SetFocusFrame(bool value)
{
    if (std::exchange(m_focusFrame, value) != value)
        viewport()->update();
}

void TCustomMPHexEditor::SetDrawGridLines(bool value)
{
    if (std::exchange(m_drawGridLines, value) != value)
        viewport()->update();
}

void TCustomMPHexEditor::SetDrawGutter3D(bool value)
{
    if (std::exchange(m_drawGutter3D, value) != value)
        viewport()->repaint();
}

void TCustomMPHexEditor::SetHideSelection(bool value)
{
    if (std::exchange(m_hideSelection, value) == value)
        return;
    if (!hasFocus() && SelCount() > 0)
        viewport()->update();
}

void TCustomMPHexEditor::SetGraySelectionIfNotFocused(bool value)
{
    if (std::exchange(m_graySelectionIfNotFocused, value) == value)
        return;
    if (!hasFocus() && SelCount() > 0 && !m_hideSelection)
        viewport()->update();
}

void TCustomMPHexEditor::SetShowPositionIfNotFocused(bool value)
{
    if (std::exchange(m_showPositionIfNotFocused, value) != value)
        viewport()->update();
}

void TCustomMPHexEditor::SetDropMarker(bool visible, int col, int row)
{
    if (m_dropMarkerVisible == visible && m_dropMarkerCol == col && m_dropMarkerRow == row)
        return;
    if (m_dropMarkerVisible)
        InvalidateCell(m_dropMarkerCol, m_dropMarkerRow);
    m_dropMarkerVisible = visible;
    m_dropMarkerCol = col;
    m_dropMarkerRow = row;
    if (visible)
        InvalidateCell(col, row);
}
