// A drag out of the editor that another program reports as a move: by
// default the bytes go; with ForeignMoveNeedsShift only when Shift is held at
// the drop, while drops into editors keep the drop rule.

#include "dragdrop_fixture.h"

#include <cstring>

namespace {

const QByteArray Sixteen("0123456789ABCDEF");

// A drag loop as a file manager ends it: the drop happened, and the target
// took a move (its own default for local files).
HRESULT ForeignMove(TMPHDataObject*, uint32_t, uint32_t& effect)
{
    effect = DROPEFFECT_MOVE;
    return DRAGDROP_S_DROP;
}

// The same, told afterwards through "Performed DropEffect".
HRESULT ForeignPerformedMove(TMPHDataObject* object, uint32_t, uint32_t& effect)
{
    TStgMedium medium;
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = GlobalAlloc(GMEM_MOVEABLE, 4);
    {
        TGlobalLock lock(medium.hGlobal);
        const uint32_t move = DROPEFFECT_MOVE;
        std::memcpy(lock.Data(), &move, 4);
    }
    object->SetData(FormatEtcFor(PerformedDropEffectFormat), medium, true);
    effect = DROPEFFECT_COPY;
    return DRAGDROP_S_DROP;
}

} // namespace

TEST_F(DragDropTest, ForeignMoveCutsByDefaultAndOnlyWithShiftWhenAsked)
{
    EXPECT_FALSE(ed.ForeignMoveNeedsShift()) << "off by default";
    Load(ed, Sixteen);
    ed.SetSelection(2, 5);
    ed.loop = ForeignMove;
    ed.StartDrag();
    EXPECT_EQ(Bytes(ed), QByteArray("016789ABCDEF")) << "the component's own rule: the target's move cuts";

    ed.SetForeignMoveNeedsShift(true);
    for (auto loop : {&ForeignMove, &ForeignPerformedMove}) {
        Load(ed, Sixteen);
        ed.SetSelection(2, 5);
        ed.loop = loop;
        input.Shift = false;
        ed.StartDrag();
        EXPECT_EQ(Bytes(ed), Sixteen) << "a file manager's own move is a copy";
        EXPECT_FALSE(ed.CanUndo());

        input.Shift = true;
        ed.StartDrag();
        EXPECT_EQ(Bytes(ed), QByteArray("016789ABCDEF")) << "Shift at the drop asks for the move";
        input.Shift = false;
    }
}

TEST_F(DragDropTest, WithForeignMoveNeedingShiftDropsIntoEditorsKeepTheDropRule)
{
    ed.SetForeignMoveNeedsShift(true);
    // Inside the same editor a plain drag moves.
    Load(ed, Sixteen);
    ed.SetSelection(0, 3);
    dropHereOnLoop(8, MK_LBUTTON);
    ed.StartDrag();
    EXPECT_EQ(Bytes(ed), QByteArray("4567012389ABCDEF"));
    EXPECT_EQ(ed.UndoText(), QStringLiteral("Data moved"));

    // Into another editor of this program: Shift in the drop's keys moves, as
    // the drop rule says, whatever the keyboard says afterwards.
    TScriptedDragEditor other;
    other.Loaded();
    other.resize(900, 300);
    other.show();
    Load(other, "xyz");
    QCoreApplication::processEvents();
    for (const uint32_t keys : {uint32_t(MK_LBUTTON), uint32_t(MK_LBUTTON | MK_SHIFT)}) {
        Load(ed, Sixteen);
        Load(other, "xyz");
        ed.SetSelection(2, 5);
        ed.loop = [&](TMPHDataObject* object, uint32_t, uint32_t& effect) {
            const HRESULT r = dropInto(other, object, 1, keys, effect);
            return r == S_OK ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
        };
        ed.StartDrag();
        EXPECT_EQ(Bytes(other), QByteArray("x2345yz"));
        EXPECT_EQ(Bytes(ed), keys & MK_SHIFT ? QByteArray("016789ABCDEF") : Sixteen);
    }
}
