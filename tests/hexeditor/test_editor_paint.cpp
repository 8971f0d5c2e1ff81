// Painting: the editor is rendered offscreen and pixels are checked at
// chosen cells, as a person would look at them.

#include "editor_fixture.h"

#include <QApplication>
#include <QBuffer>
#include <QPainter>
#include <QTest>
#include <set>
#include <tuple>

namespace {

struct TColorKey
{
    QRgb rgb;
    bool operator<(const TColorKey& o) const { return rgb < o.rgb; }
};

} // namespace

class PaintTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        QFont f(QStringLiteral("Courier New"), 11);
        f.setStyleStrategy(QFont::NoAntialias);
        editor.setFont(f);
        editor.resize(760, 260);
        load(pattern(100));
    }

    void load(const QByteArray& bytes)
    {
        editor.LoadFromFile(writeFile(QStringLiteral("data.bin"), bytes));
    }

    QImage shot() { return editor.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QColor resolve(TColor c) { return ResolveColor(c, editor.palette()); }

    // How many pixels of the rectangle have exactly this colour.
    static int count(const QImage& image, const QRect& r, const QColor& color)
    {
        int n = 0;
        const QRect area = r & image.rect();
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += (image.pixel(x, y) & 0xFFFFFF) == (color.rgb() & 0xFFFFFF);
        return n;
    }
    static bool only(const QImage& image, const QRect& r, const QColor& color)
    {
        return count(image, r, color) == (r & image.rect()).width() * (r & image.rect()).height();
    }

    static QRgb rgb(const QColor& c) { return c.rgb() & 0xFFFFFF; }
    static QRgb at(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

    QRect cell(int col, int row) { return editor.CellRect(col, row); }
    // The part of a cell right of its text rectangle (CharWidth wide).
    QRect fillPart(int col, int row)
    {
        const QRect r = cell(col, row);
        return QRect(r.left() + editor.CharWidth(), r.top(), r.width() - editor.CharWidth(), r.height() - 1);
    }
    int gap() const { return editor.HexColumnCount() + 2; }
};

TEST_F(PaintTest, HexDigitsAndCharactersTakeTheirColumnGroupColours)
{
    const QImage image = shot();
    const QColor odd = resolve(editor.Colors()->OddColumn());
    const QColor even = resolve(editor.Colors()->EvenColumn());
    // Bytes 0 and 1 form column group 0, bytes 2 and 3 group 1.
    EXPECT_GT(count(image, cell(2, 2), odd), 0);
    EXPECT_EQ(count(image, cell(2, 2), even), 0);
    EXPECT_GT(count(image, cell(6, 2), even), 0);
    EXPECT_EQ(count(image, cell(6, 2), odd), 0);
    // The character cells use the same formula: group (col - 2) div 4.
    const int firstChar = gap() + 1; // (35 - 2) div 4 = 8: even group
    EXPECT_GT(count(image, cell(firstChar + 2, 2), odd), 0); // pattern(100)[2] = 0x11 masked '.'
}

TEST_F(PaintTest, CurrentRowGutterUsesTheCurrentOffsetColours)
{
    const QImage image = shot();
    const QRect current = cell(0, 2).adjusted(0, 0, -2, 0);
    const QRect other = cell(0, 3).adjusted(0, 0, -2, 0);
    EXPECT_GT(count(image, current, resolve(editor.Colors()->CurrentOffsetBackground())), current.width());
    EXPECT_GT(count(image, current, resolve(editor.Colors()->CurrentOffset())), 0);
    EXPECT_GT(count(image, other, resolve(editor.Colors()->OffsetBackGround())), other.width());
    EXPECT_GT(count(image, other, resolve(editor.Colors()->Offset())), 0);
}

TEST_F(PaintTest, GutterTextIsRightAlignedAndClippedOnItsLeft)
{
    const QImage image = shot();
    const QRect g = cell(0, 3);
    const QColor back = resolve(editor.Colors()->OffsetBackGround());
    const QColor text = resolve(editor.Colors()->Offset());
    // Four pixels of margin (the edge lines sit in the last one).
    EXPECT_TRUE(only(image, QRect(g.right() - 3, g.top(), 2, g.height()), back));
    EXPECT_GT(count(image, QRect(g.right() - 3 - editor.CharWidth(), g.top(), editor.CharWidth(), g.height()), text), 0);

    editor.SetGutterWidth(20);
    const QImage narrow = shot();
    const QRect n = cell(0, 3);
    ASSERT_EQ(n.width(), 20);
    // The right end of the text still shows; nothing leaks into the spacer.
    EXPECT_GT(count(narrow, QRect(n.right() - 3 - editor.CharWidth(), n.top(), editor.CharWidth(), n.height()), text), 0);
    EXPECT_EQ(count(narrow, cell(1, 3), text), 0);
}

TEST_F(PaintTest, SelectionInvertsAndItsFillStopsAfterTheLastByte)
{
    editor.SetSelection(1, 3);
    const QImage image = shot();
    const QColor back = resolve(editor.Colors()->Background());
    const QColor inverted = ResolveColor(MPHColor::Invert(ColorToRgb(back)), QPalette());
    // Byte 1's second digit (a group end, two characters wide): fill inverted.
    EXPECT_TRUE(only(image, fillPart(5, 2), inverted));
    // Byte 3 is SelLast: its cell's fill is not inverted...
    EXPECT_TRUE(only(image, fillPart(9, 2), back));
    // ...but its digit is, on the inverted text background.
    const QColor invertedOdd = ResolveColor(MPHColor::Invert(editor.Colors()->EvenColumn()), QPalette());
    EXPECT_GT(count(image, cell(9, 2), invertedOdd), 0);
    // Byte 0 is not selected.
    EXPECT_EQ(count(image, cell(2, 2), inverted), 0);
}

TEST_F(PaintTest, ChangedBytesShowTheChangedColoursAlsoWhenSelected)
{
    editor.ChangedBytes().resize(editor.DataSize());
    editor.ChangedBytes().setBit(4);
    editor.ChangedBytes().setBit(6);
    editor.SetSelection(6, 6);
    const QImage image = shot();
    const QColor changedBack = resolve(editor.Colors()->ChangedBackground());
    const QColor changedText = resolve(editor.Colors()->ChangedText());
    EXPECT_GT(count(image, cell(10, 2), changedBack), 0);
    EXPECT_GT(count(image, cell(10, 2), changedText), 0);
    EXPECT_EQ(count(image, cell(12, 2), changedBack), 0);
    const auto inv = [](const QColor& c) { return ResolveColor(MPHColor::Invert(ColorToRgb(c)), QPalette()); };
    EXPECT_GT(count(image, cell(14, 2), inv(changedBack)), 0);
    EXPECT_GT(count(image, cell(14, 2), inv(changedText)), 0);
    // Insert mode ignores the marks.
    editor.SetInsertMode(true);
    editor.ChangedBytes().resize(editor.DataSize());
    editor.ChangedBytes().setBit(4);
    EXPECT_EQ(count(shot(), cell(10, 2), changedBack), 0);
}

TEST_F(PaintTest, UnfocusedSelectionCanBeGrayOrHidden)
{
    editor.SetSelection(1, 3);
    const QColor back = resolve(editor.Colors()->Background());
    const QColor inverted = ResolveColor(MPHColor::Invert(ColorToRgb(back)), QPalette());
    editor.SetGraySelectionIfNotFocused(true);
    QImage image = shot();
    const QColor odd = resolve(editor.Colors()->OddColumn());
    const QColor grayOfInvertedOdd = ResolveColor(MPHColor::Gray(MPHColor::Invert(ColorToRgb(odd))), QPalette());
    EXPECT_GT(count(image, cell(4, 2), grayOfInvertedOdd), 0);
    EXPECT_EQ(count(image, cell(4, 2), ResolveColor(MPHColor::Invert(ColorToRgb(odd)), QPalette())), 0);
    // The fill between selected cells stays inverted, not gray.
    EXPECT_TRUE(only(image, fillPart(5, 2), inverted));

    editor.SetHideSelection(true);
    image = shot();
    EXPECT_TRUE(only(image, fillPart(5, 2), back));
    EXPECT_GT(count(image, cell(4, 2), odd), 0);
    EXPECT_TRUE(editor.HideSelection());
}

TEST_F(PaintTest, BookmarkIconsInBothFields)
{
    editor.SetBookmark(0, 16, false);
    editor.SetBookmark(3, 40, true);
    const QImage image = shot();
    auto iconAt = [&](int row, int icon) {
        const QRect g = cell(0, row);
        const QPoint at(g.left() + 3, g.top() + (g.height() - 10) / 2);
        const QImage& expected = editor.BookmarkImages()[icon];
        int opaque = 0, matching = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                if (qAlpha(expected.pixel(x, y)) != 255)
                    continue;
                ++opaque;
                matching += (image.pixel(at + QPoint(x, y)) & 0xFFFFFF) == (expected.pixel(x, y) & 0xFFFFFF);
            }
        return opaque > 0 && matching == opaque;
    };
    EXPECT_TRUE(iconAt(3, 0));
    EXPECT_FALSE(iconAt(3, 10));
    EXPECT_TRUE(iconAt(4, 13));
    EXPECT_FALSE(iconAt(4, 3));
}

TEST_F(PaintTest, GridLinesAndEdges)
{
    const int gutter = editor.ColWidths(0);
    const int y = cell(2, 3).center().y();
    QImage image = shot();
    const QColor shadow = resolve(MPHColor::clBtnShadow);
    const QColor highlight = resolve(MPHColor::clBtnHighlight);
    EXPECT_EQ(at(image, gutter, y), rgb(shadow));
    EXPECT_EQ(at(image, gutter - 1, y), rgb(highlight));
    const QColor grid = QColor(255, 0, 255);
    editor.Colors()->SetGrid(ColorToRgb(grid));
    EXPECT_EQ(count(image, cell(3, 2), grid), 0);

    editor.SetDrawGridLines(true);
    editor.SetDrawGutter3D(false);
    image = shot();
    const QRect c = cell(3, 2);
    EXPECT_TRUE(only(image, QRect(c.left(), c.bottom(), c.width(), 1), grid));
    const QRect g = cell(gap(), 2);
    EXPECT_TRUE(only(image, QRect(g.left(), g.top(), 1, g.height() - 1), grid));
    const QRect last = cell(editor.ColCount() - 1, 2);
    EXPECT_TRUE(only(image, QRect(last.right(), last.top(), 1, last.height() - 1), grid));
    EXPECT_EQ(at(image, gutter - 1, y), rgb(grid));
    EXPECT_NE(at(image, gutter, y), rgb(shadow));
    // Gutter cells get no grid line of their own.
    EXPECT_EQ(count(image, QRect(0, cell(0, 2).bottom(), gutter - 1, 1), grid), 0);
}

TEST_F(PaintTest, RulerEdgeAndCurrentColumn)
{
    editor.SetShowRuler(true);
    const QImage image = shot();
    const int h = editor.RowHeights(0);
    const QColor shadow = resolve(MPHColor::clBtnShadow);
    EXPECT_EQ(at(image, cell(5, 2).center().x(), h - 1), rgb(shadow));
    EXPECT_EQ(at(image, cell(5, 2).center().x(), h - 2), rgb(resolve(MPHColor::clBtnHighlight)));
    // Column 2 is the current column: its ruler text is in the current colours.
    const QRect r2(cell(2, 0).left(), 0, editor.CharWidth(), h - 2);
    const QRect r3(cell(3, 0).left(), 0, editor.CharWidth(), h - 2);
    EXPECT_GT(count(image, r2, resolve(editor.Colors()->CurrentOffsetBackground())), 0);
    EXPECT_EQ(count(image, r3, resolve(editor.Colors()->CurrentOffsetBackground())), 0);
    EXPECT_GT(count(image, r3, resolve(editor.Colors()->Offset())), 0);
}

TEST_F(PaintTest, DropMarkerLine)
{
    editor.SetDropMarker(true, 4, 3);
    const QImage image = shot();
    const QRect c = cell(4, 3);
    const QColor odd = resolve(editor.Colors()->OddColumn());
    EXPECT_TRUE(only(image, QRect(c.left(), c.top() + 1, 2, c.height() - 2), odd));
    editor.SetDropMarker(false, 4, 3);
    EXPECT_FALSE(only(shot(), QRect(c.left(), c.top() + 1, 2, c.height() - 2), odd));
}

TEST_F(PaintTest, DrawCellHandlerSeesTextsRectanglesAndPositions)
{
    load(pattern(20)); // one full row, one row of four bytes
    editor.SetShowRuler(true);
    struct Call
    {
        int col, row;
        QString text;
        QRect rect;
        int32_t position;
    };
    std::vector<Call> calls;
    editor.OnDrawCell = [&](QObject* sender, QPainter* canvas, int col, int row, QString& text, const QRect& rect,
                            bool& defaultDraw) {
        EXPECT_EQ(sender, &editor);
        EXPECT_NE(canvas, nullptr);
        EXPECT_TRUE(defaultDraw);
        calls.push_back({col, row, text, rect, editor.DrawDataPosition()});
    };
    shot();
    auto find = [&](int col, int row) -> const Call* {
        for (const Call& c : calls)
            if (c.col == col && c.row == row)
                return &c;
        return nullptr;
    };
    for (const Call& c : calls) {
        EXPECT_NE(c.col, 1) << "spacer";
        EXPECT_FALSE(c.col == gap() && c.row >= 2) << "gap column";
    }
    const uint8_t b = uint8_t(pattern(20)[17]);
    ASSERT_NE(find(4, 3), nullptr);
    EXPECT_EQ(find(4, 3)->text, QString(QLatin1Char("0123456789ABCDEF"[b >> 4])));
    EXPECT_EQ(find(4, 3)->position, 17);
    EXPECT_EQ(find(4, 3)->rect, QRect(cell(4, 3).topLeft(), QSize(editor.CharWidth(), cell(4, 3).height())));
    ASSERT_NE(find(0, 3), nullptr);
    EXPECT_EQ(find(0, 3)->text, editor.FormatOffset(16));
    EXPECT_EQ(find(0, 3)->rect, cell(0, 3));
    EXPECT_EQ(find(0, 3)->position, -1);
    ASSERT_NE(find(3, 0), nullptr);
    EXPECT_EQ(find(3, 0)->text, QString(editor.HexRulerText()[1]));
    EXPECT_EQ(find(gap(), 0)->text, QStringLiteral("  "));
    // Byte 19 is the last one; bytes 20.. are past the end.
    EXPECT_NE(find(2 + 2 * 3, 3), nullptr);
    EXPECT_EQ(find(2 + 2 * 4, 3), nullptr);
    EXPECT_EQ(find(gap() + 1 + 4, 3), nullptr);
}

TEST_F(PaintTest, DrawCellHandlerCanSuppressDrawingButFramesAndGridLinesRemain)
{
    const QColor frame(0, 255, 0);
    const QColor grid(255, 0, 255);
    editor.Colors()->SetNonFocusCursorFrame(ColorToRgb(frame));
    editor.Colors()->SetGrid(ColorToRgb(grid));
    editor.SetFocusFrame(false);
    editor.SetShowPositionIfNotFocused(true);
    editor.SetDrawGridLines(true);
    editor.OnDrawCell = [](QObject*, QPainter*, int, int, QString& text, const QRect&, bool& defaultDraw) {
        text = QStringLiteral("X");
        defaultDraw = false;
    };
    const QImage image = shot();
    const QRect c = cell(2, 2);
    // Nothing in the column colours, no gutter fill.
    EXPECT_EQ(count(image, c, resolve(editor.Colors()->OddColumn())), 0);
    EXPECT_EQ(count(image, cell(0, 3), resolve(editor.Colors()->OffsetBackGround())), 0);
    // The current cell's frame and the grid lines are still drawn.
    EXPECT_GT(count(image, c, frame), 2 * editor.CharWidth());
    EXPECT_GT(count(image, cell(5, 3), grid), 0);
}

TEST_F(PaintTest, UnicodeModeShowsAnOddLastByteWithAZeroHalf)
{
    // Odd sizes are refused when switching; a file loaded in unicode mode may have one.
    load(QByteArray("A\0", 2));
    editor.SetUnicodeChars(true);
    load(QByteArray("A\0B", 3));
    ASSERT_TRUE(editor.UnicodeChars());
    std::vector<std::tuple<int, QString, bool>> seen;
    editor.OnDrawCell = [&](QObject*, QPainter*, int col, int row, QString& text, const QRect&, bool&) {
        if (row == 2 && col > gap())
            seen.emplace_back(col, text, editor.IsDrawDataSelected());
    };
    editor.ChangedBytes().resize(3);
    editor.ChangedBytes().setBit(1);
    shot();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(std::get<1>(seen[0]), QStringLiteral("A"));
    EXPECT_EQ(std::get<1>(seen[1]), QStringLiteral("B"));
    // The changed high half of character 0 marks the character cell.
    editor.OnDrawCell = nullptr;
    EXPECT_GT(count(shot(), cell(gap() + 1, 2), resolve(editor.Colors()->ChangedBackground())), 0);
}

TEST_F(PaintTest, CellCharactersLookAsDrawnTextAtTheCellsBaseline)
{
    // Hex digits and characters (one a space, one missing from most fonts)
    // must look exactly as drawText would put them into their cells.
    load(QByteArray("Ag~ \x7F", 5));
    editor.SetFocusFrame(false);
    editor.SetShowPositionIfNotFocused(false);
    const QImage image = shot();
    const QFontMetrics metrics(editor.font());
    const QColor odd = resolve(editor.Colors()->OddColumn());
    const QColor even = resolve(editor.Colors()->EvenColumn());
    const QString hex = QStringLiteral("4167") + QStringLiteral("7E20") + QStringLiteral("7F");
    std::vector<std::tuple<int, QChar, QColor>> cells;
    for (int i = 0; i < hex.size(); ++i)
        cells.emplace_back(2 + i, hex[i], (i / 4) % 2 == 0 ? odd : even);
    const QString chars = QStringLiteral("Ag~ ");
    // Outside the character field, its cells take the colour of the column
    // group their own column number falls in.
    for (int i = 0; i < chars.size(); ++i) {
        const int col = gap() + 1 + i;
        cells.emplace_back(col, chars[i], ((col - 2) / (2 * editor.BytesPerColumn())) % 2 == 0 ? odd : even);
    }
    for (const auto& [col, ch, color] : cells) {
        const QRect r = cell(col, 2);
        const QRect textRect(r.left(), r.top(), editor.CharWidth(), metrics.height());
        QImage expected(image.copy(textRect));
        const QColor back = QColor::fromRgb(image.pixel(r.right() - 1, r.top() + 1));
        expected.fill(back);
        {
            QPainter p(&expected);
            p.setFont(editor.font());
            p.setPen(color);
            p.drawText(QPoint(0, metrics.ascent()), QString(ch));
        }
        EXPECT_EQ(image.copy(textRect), expected.convertToFormat(QImage::Format_RGB32))
            << "column " << col << " character " << int(ch.unicode());
    }
}

TEST_F(PaintTest, PaintReadsOnlyThePaintedRowsOfAHugeDocument)
{
    // A 1 GiB buffer, grown in steps small enough that the stream does not
    // fault its pages in: paint must stay on the shown rows.
    TMPHMemoryStream& data = editor.DataStorage();
    while (data.Size() < (int64_t(1) << 30))
        data.SetSize(std::min<int64_t>(int64_t(1) << 30, data.Size() + 60000));
    editor.UpdateGridSize();
    shot();
    editor.SetTopRow(editor.RowCount() / 2);
    int32_t smallest = INT32_MAX, largest = -1;
    int cells = 0;
    editor.OnDrawCell = [&](QObject*, QPainter*, int, int, QString&, const QRect&, bool&) {
        if (editor.DrawDataPosition() >= 0) {
            smallest = std::min(smallest, editor.DrawDataPosition());
            largest = std::max(largest, editor.DrawDataPosition());
            ++cells;
        }
    };
    shot();
    const int32_t top = (editor.TopRow() - 2) * editor.BytesPerRow();
    EXPECT_EQ(smallest, top);
    EXPECT_LT(largest, top + (editor.VisibleRowCount() + 1) * editor.BytesPerRow());
    EXPECT_LE(cells, (editor.VisibleRowCount() + 1) * 3 * editor.BytesPerRow());
}

TEST_F(PaintTest, RightToLeftLayoutMirrorsTheCells)
{
    editor.setLayoutDirection(Qt::RightToLeft);
    const QImage image = shot();
    const int width = editor.viewport()->width();
    const auto mirror = [width](const QRect& r) { return QRect(width - r.left() - r.width(), r.top(), r.width(), r.height()); };
    const QColor offsetBack = resolve(editor.Colors()->OffsetBackGround());
    const QRect gutter = mirror(cell(0, 3)).adjusted(2, 0, 0, 0);
    EXPECT_GT(count(image, gutter, offsetBack), gutter.width());
    EXPECT_EQ(count(image, cell(0, 3).adjusted(0, 0, -2, 0), offsetBack), 0);
    // The digit stays inside its own (mirrored) cell.
    EXPECT_GT(count(image, mirror(cell(2, 2)), resolve(editor.Colors()->OddColumn())), 0);
    EXPECT_GT(count(image, mirror(cell(6, 2)), resolve(editor.Colors()->EvenColumn())), 0);
}
