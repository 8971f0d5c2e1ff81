// Popup menus and double clicks: the offset menu on the offset column and
// the ruler, the ordinary context menu elsewhere, and the double click that
// selects the byte under the pointer and keeps it selected after the release.
//
// A menu pops up automatically unless it carries the dynamic property
// "AutoPopup" set to false. The menu shown gets the property
// "PopupComponent" naming the editor that opened it.

#include "hexeditor/ex/mphexeditorex.h"

#include "platform/core/apperror.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

namespace {

bool popsUpAutomatically(const QMenu* menu)
{
    const QVariant value = menu->property("AutoPopup");
    return !value.isValid() || value.toBool();
}

} // namespace

void TMPHexEditorEx::SetOffsetPopupMenu(QMenu* menu)
{
    // QPointer forgets the menu when it is destroyed.
    m_offsetPopupMenu = menu;
    if (menu)
        menu->setLayoutDirection(layoutDirection());
}

bool TMPHexEditorEx::ContextPopup(QPoint mousePos)
{
    bool handled = false;
    if (OnContextPopup)
        OnContextPopup(this, mousePos, handled);
    if (handled)
        return false;
    QMenu* menu = m_popupMenu;
    if (m_offsetPopupMenu) {
        // The offset column and the ruler are the two fixed columns and rows,
        // painted on the right in a right-to-left layout.
        const int x = LogicalX(mousePos.x());
        const int y = mousePos.y();
        const bool overGutter = x >= 0 && x < ColWidths(0) + ColWidths(1);
        const bool overRuler = y >= 0 && y < RowHeights(0) + RowHeights(1);
        if (overGutter || overRuler)
            menu = m_offsetPopupMenu;
    }
    if (!menu || !popsUpAutomatically(menu))
        return false;
    // Whatever the mouse was doing ends here.
    EndSelecting();
    if (QWidget::mouseGrabber() == viewport() || QWidget::mouseGrabber() == this)
        QWidget::mouseGrabber()->releaseMouse();
    menu->setProperty("PopupComponent", QVariant::fromValue<QObject*>(this));
    menu->popup(viewport()->mapToGlobal(mousePos));
    return true;
}

void TMPHexEditorEx::contextMenuEvent(QContextMenuEvent* e)
{
    bool shown = false;
    try {
        shown = ContextPopup(e->pos());
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
    if (shown)
        e->accept();
    else
        e->ignore();
}

void TMPHexEditorEx::DblClick(QPoint mousePos)
{
    const TGridCoord cell = MouseCoord(mousePos.x(), mousePos.y());
    // Only the bytes of the two fields: not the gutter, the ruler or the gap
    // between the fields.
    if (Geometry().IsDataColumn(cell.X) && Geometry().IsDataRow(cell.Y)) {
        const int32_t position = PositionAtCell(cell.X, cell.Y);
        if (position >= 0 && position < DataSize()) {
            SetSelection(position, position);
            m_doubleClickSelected = true;
            DropPendingSelectionClick();
        }
    }
    if (OnDblClick)
        OnDblClick(this);
}

void TMPHexEditorEx::mouseDoubleClickEvent(QMouseEvent* e)
{
    TCustomMPHexEditor::mouseDoubleClickEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    try {
        DblClick(e->position().toPoint());
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
}

void TMPHexEditorEx::ReleaseDoubleClickSelection()
{
    if (!m_doubleClickSelected)
        return;
    m_doubleClickSelected = false;
    DropPendingSelectionClick();
}

void TMPHexEditorEx::mouseReleaseEvent(QMouseEvent* e)
{
    ReleaseDoubleClickSelection();
    TCustomMPHexEditor::mouseReleaseEvent(e);
    // A press that did not become a drag arms nothing any more.
    m_dragArmed = false;
    m_dragging = false;
}
