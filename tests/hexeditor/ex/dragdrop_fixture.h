#pragma once
// An extended editor whose drag loop is a script, shown at a fixed size, with
// helpers for screen points of data positions.

#include "transfer_fixture.h"

#include "hexeditor/ex/mphdragdrop.h"

#include <QApplication>
#include <functional>

class TScriptedDragEditor : public TMPHexEditorEx
{
public:
    // Plays the drag loop: gets the dragged object and the allowed effects,
    // sets the effect and returns the loop's result.
    std::function<HRESULT(TMPHDataObject*, uint32_t, uint32_t&)> loop;
    int loops = 0;
    uint32_t lastOkEffects = 0;

protected:
    HRESULT RunDragLoop(TMPHDataObject* object, uint32_t okEffects, uint32_t& effect) override
    {
        ++loops;
        lastOkEffects = okEffects;
        if (!loop) {
            effect = DROPEFFECT_NONE;
            return DRAGDROP_S_CANCEL;
        }
        return loop(object, okEffects, effect);
    }
};

class DragDropTest : public TransferTest
{
protected:
    void SetUp() override
    {
        TransferTest::SetUp();
        ed.Loaded();
        ed.resize(900, 300);
        ed.show();
        QCoreApplication::processEvents();
    }

    // The screen point at the centre of a data position's cell.
    QPoint screenPointOf(TMPHexEditorEx& e, int32_t position, bool charField = false)
    {
        const TGridCoord cell = e.CellAtPosition(position, charField);
        return e.viewport()->mapToGlobal(e.CellRect(cell.X, cell.Y).center());
    }
    // A drop into the same editor through its drop target, as the platform
    // would deliver it while the loop runs.
    HRESULT dropInto(TMPHexEditorEx& target, IDataObject* object, int32_t position, uint32_t keyState,
                     uint32_t& effect)
    {
        const QPoint at = screenPointOf(target, position);
        uint32_t enterEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        if (target.DropTarget()->DragEnter(object, keyState, at, enterEffect) != S_OK) {
            effect = DROPEFFECT_NONE;
            return S_FALSE;
        }
        uint32_t overEffect = enterEffect;
        target.DropTarget()->DragOver(keyState, at, overEffect);
        effect = overEffect;
        return target.DropTarget()->Drop(object, keyState, at, effect);
    }
    // A loop that drops into ed at position with the keys held.
    void dropHereOnLoop(int32_t position, uint32_t keyState)
    {
        ed.loop = [this, position, keyState](TMPHDataObject* object, uint32_t, uint32_t& effect) {
            const HRESULT r = dropInto(ed, object, position, keyState, effect);
            return r == S_OK ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
        };
    }

    TScriptedDragEditor ed;
};
