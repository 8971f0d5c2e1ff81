// The caret. The platform offers no system caret, so the editor draws its
// own: an image of CharWidth x (CharHeight - 2) pixels whose white pixels
// invert what lies under them, blinking at the style's cursor flash time and
// parked at (-50, -50), outside the control, while its cell is not visible.

#include "hexeditor/mphexeditor.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QStyleHints>

namespace {
const QPoint ParkedCaret(-50, -50);
}

void TCustomMPHexEditor::CreateCaretShape()
{
    DestroyCaret();
    const int w = std::max(1, m_charWidth);
    const int h = std::max(1, m_charHeight - 2);
    m_caretBitmap = QImage(w, h, QImage::Format_RGB32);
    m_caretBitmap.fill(Qt::black);

    TMPHCaretKind kind = m_caretKind;
    if (kind == ckAuto)
        kind = ReadOnlyView() ? ckBottom : (InsertMode() ? ckLeft : ckFull);
    QPainter p(&m_caretBitmap);
    switch (kind) {
    case ckFull:
        p.fillRect(0, 0, w, h, Qt::white);
        break;
    case ckLeft:
        p.fillRect(0, 0, std::min(2, w), h, Qt::white);
        break;
    default: // ckBottom: rows CharHeight - 4 and CharHeight - 3
        p.fillRect(0, std::max(0, m_charHeight - 4), w, 2, Qt::white);
        break;
    }
    p.end();

    m_caretExists = true;
    m_caretShown = true;
    m_caretBlinkOn = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (flash > 0)
        m_caretTimer.start(flash / 2);
    viewport()->update(QRect(m_caretPos, m_caretBitmap.size()));
}

void TCustomMPHexEditor::DestroyCaret()
{
    if (!m_caretExists)
        return;
    m_caretTimer.stop();
    m_caretExists = false;
    m_caretShown = false;
    viewport()->update(QRect(m_caretPos, m_caretBitmap.size()));
}

void TCustomMPHexEditor::SetCaretPos(const QPoint& pos)
{
    if (pos == m_caretPos)
        return;
    viewport()->update(QRect(m_caretPos, m_caretBitmap.size()));
    m_caretPos = pos;
    // A moved caret shows at once and blinks on from there.
    m_caretBlinkOn = true;
    if (m_caretTimer.isActive())
        m_caretTimer.start();
    viewport()->update(QRect(m_caretPos, m_caretBitmap.size()));
}

void TCustomMPHexEditor::ToggleCaretBlink()
{
    m_caretBlinkOn = !m_caretBlinkOn;
    viewport()->update(QRect(m_caretPos, m_caretBitmap.size()));
}

void TCustomMPHexEditor::PaintCaret(QPainter& painter)
{
    if (!CaretShown() || !m_caretBlinkOn || m_caretPos == ParkedCaret)
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.drawImage(m_caretPos, m_caretBitmap);
    painter.restore();
}

void TCustomMPHexEditor::UpdateCaretPos()
{
    QRect cell = CellRect(Col(), Row());
    if (cell.isEmpty()) {
        SetCaretPos(ParkedCaret);
        return;
    }
    if (!hasFocus())
        return;
    cell = PhysicalRect(cell);
    m_inCharField = CaretInCharField();
    if (m_inCharField != m_activeFieldShown) {
        m_activeFieldShown = m_inCharField;
        viewport()->update();
    }
    SetCaretPos(cell.topLeft());
}

void TCustomMPHexEditor::CurrentCellChanged(int oldCol, int oldRow)
{
    TCustomGrid::CurrentCellChanged(oldCol, oldRow);
    UpdateCaretPos();
}

void TCustomMPHexEditor::SetCaretKind(TMPHCaretKind value)
{
    if (value == m_caretKind)
        return;
    m_caretKind = value;
    if (!hasFocus())
        return;
    CreateCaretShape();
    // Back on the current cell at the next caret move.
    SetCaretPos(ParkedCaret);
    viewport()->update();
}

void TCustomMPHexEditor::RefreshAutoCaret()
{
    if (m_caretKind == ckAuto && hasFocus())
        CreateCaretShape();
}

void TCustomMPHexEditor::focusInEvent(QFocusEvent* event)
{
    TCustomGrid::focusInEvent(event);
    CreateCaretShape();
    UpdateCaretPos();
    viewport()->update();
}

void TCustomMPHexEditor::focusOutEvent(QFocusEvent* event)
{
    TCustomGrid::focusOutEvent(event);
    DestroyCaret();
    m_selection.Extending = false;
    viewport()->update();
}
