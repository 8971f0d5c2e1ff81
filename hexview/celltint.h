#pragma once
// Drawing a data cell in a tint from an OnDrawCell handler: the colours the
// editor chose for the cell (selection and changed bytes included) are mixed
// with the tint, and the text keeps a readable colour on the result.

#include <QString>
#include <cstdint>

class QPainter;
class QRect;
class TMPHexEditorEx;

namespace hexview {

// Whether col shows data (a hex or character column, not the gap) and the
// editor's DrawDataPosition() is a byte of the document.
bool IsDataCell(TMPHexEditorEx& editor, int col);
// The cell's colour behind its text (0xRRGGBB) as the editor paints it. The
// handler is given only the fill (brush) and the text colour (pen); the two
// differ from the text background for changed bytes and at a selection's end.
uint32_t CellTextBackground(TMPHexEditorEx& editor, int32_t position, bool charField);
// Draws the cell (col, row) the handler was asked for, with text in rect,
// tinted: percent of tint (0xRRGGBB) in its fill and text background.
void DrawTintedCell(TMPHexEditorEx& editor, QPainter& canvas, int col, int row, const QString& text,
                    const QRect& rect, uint32_t tint, int percent);

} // namespace hexview
