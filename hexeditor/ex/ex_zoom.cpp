// Zooming with the wheel: Ctrl changes the bytes per row, Ctrl+Shift the
// font size. At a limit, and with any other keys or buttons held, the wheel
// scrolls as usual.

#include "hexeditor/ex/mphexeditorex.h"

#include <QFont>

namespace {

constexpr int MinBytesPerRow = 1;
constexpr int MaxBytesPerRow = 256;
constexpr int MinZoomFontSize = 2;

} // namespace

bool TMPHexEditorEx::ZoomBytesPerRow(int step)
{
    // In the unicode view a row holds whole characters: the count stays even.
    const int value = BytesPerRow() + (UnicodeChars() ? 2 * step : step);
    if (value < MinBytesPerRow || value > MaxBytesPerRow)
        return false;
    SetBytesPerRow(value);
    viewport()->update();
    return true;
}

bool TMPHexEditorEx::ZoomFont(int step)
{
    QFont f = font();
    const bool points = f.pointSize() > 0;
    const int size = points ? f.pointSize() : f.pixelSize();
    if (size + step < MinZoomFontSize)
        return false;
    if (points)
        f.setPointSize(size + step);
    else
        f.setPixelSize(size + step);
    setFont(f);
    return true;
}

bool TMPHexEditorEx::DoMouseWheelDown(Qt::KeyboardModifiers shift, Qt::MouseButtons buttons)
{
    if (m_zoomOnWheel && buttons == Qt::NoButton) {
        if (shift == Qt::ControlModifier && ZoomBytesPerRow(-1))
            return true;
        if (shift == (Qt::ControlModifier | Qt::ShiftModifier) && ZoomFont(-1))
            return true;
    }
    return TCustomMPHexEditor::DoMouseWheelDown(shift, buttons);
}

bool TMPHexEditorEx::DoMouseWheelUp(Qt::KeyboardModifiers shift, Qt::MouseButtons buttons)
{
    if (m_zoomOnWheel && buttons == Qt::NoButton) {
        if (shift == Qt::ControlModifier && ZoomBytesPerRow(1))
            return true;
        if (shift == (Qt::ControlModifier | Qt::ShiftModifier) && ZoomFont(1))
            return true;
    }
    return TCustomMPHexEditor::DoMouseWheelUp(shift, buttons);
}
