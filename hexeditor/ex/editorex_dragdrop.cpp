// Drag and drop in the extended editor: the drop target's activity, the
// effect rule, starting a drag from the mouse, the drag loop and the drop
// rule that places dropped bytes.

#include "hexeditor/ex/mphexeditorex.h"

#include "hexeditor/core/mphdropeffect.h"
#include "platform/core/apperror.h"
#include "platform/inputstate.h"
#include "platform/oledragdrop.h"

#include <QApplication>
#include <QFileInfo>
#include <QMouseEvent>

#include <cstdlib>

namespace {

const QString DataMovedText = QStringLiteral("Data moved");

// Drops read by an editor of this process; a drag compares the count before
// and after its loop to know whether its data landed in an editor.
int g_editorDrops = 0;

// Lets the editing operations change the size while the bytes are moved.
struct TSuspendNoSizeChange
{
    TCustomMPHexEditor& editor;
    explicit TSuspendNoSizeChange(TCustomMPHexEditor& e) : editor(e) { editor.SetSuspendNoSizeChange(true); }
    ~TSuspendNoSizeChange() { editor.SetSuspendNoSizeChange(false); }
};

} // namespace

// ---- the drop target's activity -----------------------------------------------------------

void TMPHexEditorEx::SetOleDragDrop(bool value)
{
    if (value == m_oleDragDrop)
        return;
    m_oleDragDrop = value;
    m_dropTarget->SetActive(value);
}

void TMPHexEditorEx::showEvent(QShowEvent* e)
{
    TCustomMPHexEditor::showEvent(e);
    m_dropTarget->SetActive(m_oleDragDrop);
}

// ---- dropping ------------------------------------------------------------------------------

uint32_t TMPHexEditorEx::DropEffect(uint32_t keyState) const
{
    return MPHDropEffect(m_dragging, ReadOnlyView(), keyState, m_chosenFormat[tpDrop] == CF_HDROP);
}

HRESULT TMPHexEditorEx::DropTransferData(IDataObject* dataObject, uint32_t keyState, QPoint point, uint32_t& effect)
{
    struct TEffectScope
    {
        uint32_t& slot;
        ~TEffectScope() { slot = DROPEFFECT_NONE; }
    } scope{m_dropEffect};
    m_dropEffect = effect;
    const HRESULT result = InsertTransferData(dataObject, keyState, point, effect, tpDrop);
    if (result == S_OK)
        ++g_editorDrops;
    return result;
}

bool TMPHexEditorEx::PlaceDroppedData(const uint8_t* bytes, int32_t count, const QString& description)
{
    int32_t position = DropPosition();
    if (position < 0)
        return false;
    const bool inSelection = SelCount() > 0 && position >= SelFirst() && position <= SelLast();
    if (m_dragging && m_dropEffect == DROPEFFECT_MOVE) {
        // A move inside this editor: out of the old place, into the new one.
        const TSuspendNoSizeChange suspend(*this);
        m_movedInside = true;
        if (position > SelFirst())
            position -= SelCount();
        DeleteSelection();
        if (position < DataSize())
            InsertBuffer(bytes, count, position, description, true);
        else
            AppendBuffer(bytes, count, description, true);
    } else if (position >= DataSize()) {
        if (!NoSizeChange())
            AppendBuffer(bytes, count, description, true);
    } else if (NoSizeChange()) {
        if (inSelection)
            ReplaceSelection(bytes, count, description, true);
        else
            Replace(bytes, position, count, count, description, false);
    } else if (inSelection) {
        ReplaceSelection(bytes, count, description, true);
    } else {
        InsertBuffer(bytes, count, position, description, true);
    }
    return true;
}

// ---- dragging out --------------------------------------------------------------------------

HRESULT TMPHexEditorEx::RunDragLoop(TMPHDataObject* dataObject, uint32_t okEffects, uint32_t& effect)
{
    TComPtr<TMPHDropSource> source(new TMPHDropSource);
    return DoDragDrop(dataObject, source.Get(), okEffects, effect, this, new TMPHDragMimeData(dataObject));
}

void TMPHexEditorEx::StartDrag()
{
    m_dragArmed = false;
    m_dragging = true;
    m_movedInside = false;
    struct TDragEnd
    {
        TMPHexEditorEx& editor;
        ~TDragEnd()
        {
            editor.m_dragging = false;
            editor.m_movedInside = false;
            // The release went to the drag loop, not to the editor.
            editor.DropPendingSelectionClick();
            editor.HideDropPosition();
        }
    };
    HRESULT result = DRAGDROP_S_CANCEL;
    uint32_t effect = DROPEFFECT_NONE;
    bool movedInside = false;
    const int editorDropsBefore = g_editorDrops;
    {
        const TDragEnd end{*this};
        MPHDiscardDragDumps();
        const int32_t start = std::min(SelStart(), SelEnd());
        const QString sourceName = QFileInfo(FileName()).fileName().left(255);
        TComPtr<TMPHDataObject> object(
            new TMPHDataObject(&DataStorage(), start, SelCount(), sourceName, m_clipboardAsHexText, SwapNibbles()));
        const uint32_t okEffects = ReadOnlyView() ? DROPEFFECT_COPY : DROPEFFECT_COPY | DROPEFFECT_MOVE;
        result = RunDragLoop(object.Get(), okEffects, effect);
        // A target that tells what it did (a file manager moving the file)
        // has the last word.
        if (object->PerformedEffectSet())
            effect = object->PerformedEffect();
        movedInside = m_movedInside;
    }
    if (result != DRAGDROP_S_DROP && result != DRAGDROP_S_CANCEL)
        OleCheck(result);
    // Another program's own choice of a move is no request of the user's.
    const bool intoEditor = g_editorDrops != editorDropsBefore;
    if (m_foreignMoveNeedsShift && effect == DROPEFFECT_MOVE && !intoEditor && !InputState().ShiftDown())
        effect = DROPEFFECT_COPY;
    if (result != DRAGDROP_S_DROP || effect != DROPEFFECT_MOVE)
        return;
    if (movedInside)
        CombineUndo(2, DataMovedText);
    else if (SelCount() > 0)
        DeleteSelection();
}

// ---- the mouse ----------------------------------------------------------------------------

void TMPHexEditorEx::ArmDrag(QMouseEvent* e)
{
    m_dragArmed = false;
    const QPoint pos = e->position().toPoint();
    if (m_oleDragDrop && e->button() == Qt::LeftButton && !ExtendingSelection() && IsMouseOverSelection(pos.x(), pos.y())) {
        m_dragArmed = true;
        m_dragging = false;
        m_dragStartX = pos.x();
        m_dragStartY = pos.y();
    }
}

bool TMPHexEditorEx::DragThresholdPassed(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (!m_oleDragDrop || !(e->buttons() & Qt::LeftButton) || m_dragging || !m_dragArmed || ExtendingSelection())
        return false;
    const int threshold = QApplication::startDragDistance();
    if (std::abs(pos.x() - m_dragStartX) < threshold && std::abs(pos.y() - m_dragStartY) < threshold)
        return false;
    return IsMouseOverSelection(pos.x(), pos.y());
}

void TMPHexEditorEx::mousePressEvent(QMouseEvent* e)
{
    TCustomMPHexEditor::mousePressEvent(e);
    ArmDrag(e);
}

void TMPHexEditorEx::mouseMoveEvent(QMouseEvent* e)
{
    TCustomMPHexEditor::mouseMoveEvent(e);
    if (!DragThresholdPassed(e))
        return;
    try {
        StartDrag();
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
}
