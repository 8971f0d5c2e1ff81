#include "hexview/celltint.h"

#include "hexview/core/tint.h"
#include "hexeditor/ex/mphexeditorex.h"

#include <QFontMetrics>
#include <QPainter>

namespace hexview {

namespace {

QColor ToColor(uint32_t rgb) { return QColor::fromRgb(QRgb(0xFF000000u | rgb)); }
uint32_t ToRgb(const QColor& color) { return color.rgb() & 0xFFFFFFu; }

} // namespace

bool IsDataCell(TMPHexEditorEx& editor, int col)
{
    const int32_t position = editor.DrawDataPosition();
    return editor.Geometry().IsDataColumn(col) && position >= 0 && position < editor.DataSize();
}

uint32_t CellTextBackground(TMPHexEditorEx& editor, int32_t p, bool charField)
{
    const TMPHColors& colors = *editor.Colors();
    const TMPHChangeMarks& marks = editor.ChangedBytes();
    auto marked = [&marks](int64_t i) { return i < marks.size() && marks.testBit(qsizetype(i)); };
    const bool changed = !editor.InsertMode() && (marked(p) || (charField && editor.UnicodeChars() && marked(p + 1)));
    const bool active = charField == editor.ActiveFieldShown();
    QColor back = ResolveColor(changed  ? colors.ChangedBackground()
                               : active ? colors.ActiveFieldBackground()
                                        : colors.Background(),
                               editor.palette());
    const bool focused = editor.hasFocus();
    if (editor.IsDrawDataSelected() && !(editor.HideSelection() && !focused)) {
        back = QColor(255 - back.red(), 255 - back.green(), 255 - back.blue());
        if (editor.GraySelectionIfNotFocused() && !focused) {
            const int y = (74 * back.red() + 146 * back.green() + 36 * back.blue()) / 256;
            back = QColor(y, y, y);
        }
    }
    return ToRgb(back);
}

void DrawTintedCell(TMPHexEditorEx& editor, QPainter& canvas, int col, int row, const QString& text,
                    const QRect& rect, uint32_t tint, int percent)
{
    const bool charField = editor.Geometry().IsCharColumn(col);
    const uint32_t fill = BlendRgb(ToRgb(canvas.brush().color()), tint, percent);
    const uint32_t back = BlendRgb(CellTextBackground(editor, editor.DrawDataPosition(), charField), tint, percent);
    const uint32_t textColor = ReadableTextColor(ToRgb(canvas.pen().color()), back);
    const QRect cell = editor.CellRect(col, row);
    const QFontMetrics metrics(editor.font());
    const QRect textBox = QRect(rect.left(), rect.top(), metrics.horizontalAdvance(text), metrics.height()) & rect;
    canvas.save();
    canvas.fillRect(cell, ToColor(fill));
    canvas.fillRect(textBox, ToColor(back));
    canvas.setPen(ToColor(textColor));
    canvas.setClipRect(rect);
    canvas.drawText(QPoint(rect.left(), rect.top() + metrics.ascent()), text);
    canvas.restore();
}

} // namespace hexview
