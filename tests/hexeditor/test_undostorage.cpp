// The undo stack's byte format and walking, without an editor.

#include "hexeditor/core/mphundostorage.h"

#include <gtest/gtest.h>
#include <cstring>

using namespace MPHUndoFlags;
using MPHUndo::ReadInt;

namespace {
QByteArray entryOfSize(int32_t dataBytes, int32_t position = 0)
{
    TMPHUndoHeader h;
    h.Flags = 1u << ukRemove;
    h.Position = position;
    h.Count = dataBytes;
    return MPHUndo::EncodeEntry(h, QByteArray(dataBytes, 'x'), {}, std::nullopt);
}

const uint8_t* raw(const QByteArray& a) { return reinterpret_cast<const uint8_t*>(a.constData()); }
} // namespace

TEST(UndoFormat, EntryLayoutIsByteExact)
{
    TMPHUndoHeader h;
    h.Flags = (1u << ukReplace) | ufModified | ufInCharField;
    h.CaretPosition = 0x01020304;
    h.Position = 7;
    h.Count = 3;
    h.Count2 = 2;
    h.Translation = 4;
    h.BytesPerUnit = 2;
    const QByteArray e = MPHUndo::EncodeEntry(h, QByteArray("\xAA\xBB", 2), "Typing", TMPHUndoSelection{5, 9, 9});
    // 34 + (2 - 1) + 6 + 4 + 12
    ASSERT_EQ(e.size(), 57);
    const uint8_t* p = raw(e);
    EXPECT_EQ(ReadInt(p), 57);
    EXPECT_EQ(ReadInt(p + 53), 57);
    EXPECT_EQ(uint32_t(ReadInt(p + 4)), h.Flags | ufDescription | ufSelection);
    EXPECT_EQ(p[8], 0x04); // little-endian
    EXPECT_EQ(p[11], 0x01);
    EXPECT_EQ(ReadInt(p + 12), 7);
    EXPECT_EQ(ReadInt(p + 16), 3);
    EXPECT_EQ(ReadInt(p + 20), 2);
    EXPECT_EQ(p[24], 4);
    EXPECT_EQ(ReadInt(p + 25), 2);
    EXPECT_EQ(p[29], 0xAA);
    EXPECT_EQ(p[30], 0xBB);
    EXPECT_EQ(QByteArray(e.constData() + 31, 6), "Typing");
    EXPECT_EQ(ReadInt(p + 37), 6);
    EXPECT_EQ(ReadInt(p + 41), 5);
    EXPECT_EQ(ReadInt(p + 45), 9);
    EXPECT_EQ(ReadInt(p + 49), 9);

    TMPHUndoEntry back;
    ASSERT_TRUE(MPHUndo::DecodeEntry(p, e.size(), back));
    EXPECT_EQ(back.Data, QByteArray("\xAA\xBB", 2));
    EXPECT_EQ(back.Description, "Typing");
    ASSERT_TRUE(back.Selection.has_value());
    EXPECT_EQ(*back.Selection, (TMPHUndoSelection{5, 9, 9}));
}

TEST(UndoFormat, KindWithoutDataStoresOneZeroByteAndMinimalSize)
{
    TMPHUndoHeader h;
    h.Flags = 1u << ukInsert;
    const QByteArray e = MPHUndo::EncodeEntry(h, {}, {}, std::nullopt);
    ASSERT_EQ(e.size(), MPHUndo::MinEntrySize);
    EXPECT_EQ(e[29], '\0');
    EXPECT_EQ(MPHUndo::KindOf(h.Flags), ukInsert);
    EXPECT_EQ(MPHUndo::KindOf(ufModified), 11);
    EXPECT_EQ(MPHUndo::KindOf((1u << ukAllData) | (1u << ukAppend)), ukAppend);
}

TEST(UndoFormat, DecodeRejectsInconsistentSizes)
{
    QByteArray e = entryOfSize(5);
    TMPHUndoEntry out;
    EXPECT_TRUE(MPHUndo::DecodeEntry(raw(e), e.size(), out));
    e[e.size() - 4] = 1; // trailing size no longer matches
    EXPECT_FALSE(MPHUndo::DecodeEntry(raw(e), e.size(), out));
    EXPECT_FALSE(MPHUndo::DecodeEntry(raw(e), 20, out));
}

TEST(UndoStack, BudgetIsTestedBeforeTheNewEntryIsAdded)
{
    TMPHUndoStorage s(nullptr);
    const QByteArray e = entryOfSize(27); // 60 bytes
    ASSERT_EQ(e.size(), 60);
    s.PushEntry(e, 100);
    s.PushEntry(e, 100); // 60 <= 100: nothing dropped, the stack now exceeds the limit
    EXPECT_EQ(s.EntryCount(), 2);
    EXPECT_EQ(s.SizeConst(), 120);
    s.PushEntry(e, 100); // 120 > 100: the oldest goes first
    EXPECT_EQ(s.EntryCount(), 2);
    EXPECT_EQ(s.SizeConst(), 120);

    TMPHUndoStorage unlimited(nullptr);
    for (int i = 0; i < 50; ++i)
        unlimited.PushEntry(e, 0);
    EXPECT_EQ(unlimited.EntryCount(), 50);

    TMPHUndoStorage tiny(nullptr);
    tiny.PushEntry(entryOfSize(200), 10); // larger than the budget, still kept
    EXPECT_EQ(tiny.EntryCount(), 1);
}

TEST(UndoStack, DropFirstKeepsTheOthersAndWalksFromBothEnds)
{
    TMPHUndoStorage s(nullptr);
    s.PushEntry(entryOfSize(1, 10), 0);
    s.PushEntry(entryOfSize(8, 20), 0);
    s.PushEntry(entryOfSize(3, 30), 0);
    std::vector<int32_t> front, back;
    ASSERT_TRUE(s.WalkFromFront(front));
    ASSERT_TRUE(s.WalkFromBack(back));
    EXPECT_EQ(front, (std::vector<int32_t>{34, 41, 36}));
    EXPECT_EQ(front, back);

    s.DropFirstUndo();
    EXPECT_EQ(s.EntryCount(), 2);
    EXPECT_EQ(ReadInt(s.Memory() + 12), 20);
    ASSERT_TRUE(s.WalkFromFront(front));
    EXPECT_EQ(front, (std::vector<int32_t>{41, 36}));

    // A damaged stack does not walk.
    s.Memory()[0] = 99;
    EXPECT_FALSE(s.WalkFromFront(front));
}

TEST(UndoStack, PopKeepsTheEntryForRedoAndRestoresTheText)
{
    TMPHUndoStorage s(nullptr);
    TMPHUndoHeader h;
    h.Flags = 1u << ukChangeBytes;
    s.PushEntry(MPHUndo::EncodeEntry(h, "a", "first change", std::nullopt), 0);
    s.PushEntry(MPHUndo::EncodeEntry(h, "b", {}, std::nullopt), 0);
    s.SetUndoText("Change byte(s)");
    const int64_t before = s.SizeConst();
    s.RemoveLastUndo();
    EXPECT_EQ(s.PoppedEntrySize(), 34);
    EXPECT_EQ(s.PoppedDescription(), "Change byte(s)");
    EXPECT_EQ(s.UndoText(), "first change");
    EXPECT_EQ(s.EntryCount(), 1);
    s.RepushPopped();
    EXPECT_EQ(s.SizeConst(), before);
    EXPECT_EQ(s.EntryCount(), 2);
    EXPECT_EQ(s.PoppedEntrySize(), 0);

    s.RemoveLastUndo();
    s.RemoveLastUndo();
    EXPECT_EQ(s.EntryCount(), 0);
    EXPECT_EQ(s.SizeConst(), 0);
    EXPECT_TRUE(s.UndoText().isEmpty());
    EXPECT_FALSE(s.CanUndo());
}

TEST(UndoStack, CombinedMarkerTextComesFromItsLengthPrefixedData)
{
    TMPHUndoStorage s(nullptr);
    TMPHUndoHeader h;
    h.Flags = 1u << ukCombined;
    s.PushEntry(MPHUndo::EncodeEntry(h, QByteArray("\x05Paste", 6), {}, std::nullopt), 0);
    h.Flags = 1u << ukInsert;
    s.PushEntry(MPHUndo::EncodeEntry(h, {}, {}, std::nullopt), 0);
    s.RemoveLastUndo();
    EXPECT_EQ(s.UndoText(), "Paste");
}

TEST(UndoStack, SetUndoSelectionAddsTheBlockAndFixesBothSizes)
{
    TMPHUndoStorage s(nullptr);
    s.PushEntry(entryOfSize(4), 0);
    s.SetUndoSelection(12, 3);
    ASSERT_EQ(s.SizeConst(), 37 + 12);
    EXPECT_EQ(ReadInt(s.Memory()), 49);
    TMPHUndoEntry e;
    ASSERT_TRUE(s.ReadNewest(e));
    EXPECT_EQ(e.Header.CaretPosition, 12);
    EXPECT_EQ(e.Data, QByteArray(4, 'x'));
    ASSERT_TRUE(e.Selection.has_value());
    EXPECT_EQ(*e.Selection, (TMPHUndoSelection{12, 14, 12}));
    s.SetUndoSelection(8, 0); // present already: rewritten in place
    ASSERT_EQ(s.SizeConst(), 49);
    ASSERT_TRUE(s.ReadNewest(e));
    EXPECT_EQ(*e.Selection, (TMPHUndoSelection{8, -1, 8}));

    s.BeginUpdate(); // suspended: cannot undo, nothing is changed
    s.SetUndoSelection(1, 1);
    ASSERT_TRUE(s.ReadNewest(e));
    EXPECT_EQ(e.Selection->SelFirst, 8);
}

TEST(UndoStack, ShortStackCountsAsEmpty)
{
    TMPHUndoStorage s(nullptr);
    s.PushEntry(entryOfSize(1), 0);
    EXPECT_TRUE(s.CanUndo());
    s.SetSize(29);
    EXPECT_EQ(s.EntryCount(), 0);
    EXPECT_FALSE(s.CanUndo());
    s.RemoveLastUndo(); // treated as empty: reset
    EXPECT_EQ(s.SizeConst(), 0);
}

// ---- the redo stack --------------------------------------------------------------

namespace {
TMPHRedoUnit unitOf(int32_t recordBytes, const QString& text)
{
    return {TMPHRedoStep{QByteArray(recordBytes, 'r'), entryOfSize(1), text}};
}
} // namespace

TEST(RedoStack, UnitsComeBackNewestFirstAndTheTextFollows)
{
    TMPHUndoStorage s(nullptr);
    EXPECT_FALSE(s.HasRedo());
    s.PushRedoUnit(unitOf(40, "first"), 0);
    s.PushRedoUnit(unitOf(40, "second"), 0);
    EXPECT_TRUE(s.HasRedo());
    EXPECT_EQ(s.RedoUnitCount(), 2);
    EXPECT_EQ(s.RedoText(), "second");
    EXPECT_EQ(s.PopRedoUnit().front().Description, "second");
    EXPECT_EQ(s.RedoText(), "first");
    EXPECT_EQ(s.PopRedoUnit().front().Description, "first");
    EXPECT_FALSE(s.HasRedo());
    EXPECT_EQ(s.RedoStackBytes(), 0);
    EXPECT_TRUE(s.PopRedoUnit().empty());
}

TEST(RedoStack, TakeCurrentMovesTheSingleRecordAndIgnoresNone)
{
    TMPHUndoStorage s(nullptr);
    EXPECT_TRUE(s.TakeCurrentRedo().empty());
    s.PushEntry(entryOfSize(3), 0);
    s.SetUndoText("Remove data");
    s.SetRedoRecord(QByteArray(50, 'r'));
    s.RemoveLastUndo();
    const TMPHRedoUnit unit = s.TakeCurrentRedo();
    ASSERT_EQ(unit.size(), 1u);
    EXPECT_EQ(unit[0].Record, QByteArray(50, 'r'));
    EXPECT_EQ(unit[0].Entry, entryOfSize(3));
    EXPECT_EQ(unit[0].Description, "Remove data");
    EXPECT_TRUE(s.RedoRecord().isEmpty());
    EXPECT_TRUE(s.PoppedEntry().isEmpty());
    // Restoring it makes the popped entry re-pushable as before.
    s.RestoreRedoStep(unit[0]);
    s.RepushPopped();
    EXPECT_EQ(s.EntryCount(), 1);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(s.Memory()), int(s.SizeConst())), entryOfSize(3));
}

TEST(RedoStack, BudgetDropsTheFurthestStepsTestedBeforeThePush)
{
    TMPHUndoStorage s(nullptr);
    const int64_t unitBytes = 60 + entryOfSize(1).size();
    s.PushRedoUnit(unitOf(60, "a"), 150);
    s.PushRedoUnit(unitOf(60, "b"), 150);
    EXPECT_EQ(s.RedoUnitCount(), 2); // 2 units within 150 before the push of b
    EXPECT_EQ(s.RedoStackBytes(), 2 * unitBytes);
    s.PushRedoUnit(unitOf(60, "c"), 150);
    // 2 * 94 > 150: the oldest ("a", furthest from the present) was dropped.
    EXPECT_EQ(s.RedoUnitCount(), 2);
    EXPECT_EQ(s.PopRedoUnit().front().Description, "c");
    EXPECT_EQ(s.PopRedoUnit().front().Description, "b");
    // A unit larger than the budget is still kept; 0 means no limit.
    s.PushRedoUnit(unitOf(500, "big"), 150);
    EXPECT_EQ(s.RedoUnitCount(), 1);
    for (int i = 0; i < 20; ++i)
        s.PushRedoUnit(unitOf(60, "x"), 0);
    EXPECT_EQ(s.RedoUnitCount(), 21);
}

TEST(RedoStack, ClearRedoEmptiesTheStackButClearCurrentKeepsIt)
{
    TMPHUndoStorage s(nullptr);
    s.PushRedoUnit(unitOf(40, "a"), 0);
    s.SetRedoRecord(QByteArray(40, 'r'));
    s.ClearCurrentRedo();
    EXPECT_TRUE(s.RedoRecord().isEmpty());
    EXPECT_EQ(s.RedoUnitCount(), 1);
    s.ClearRedo();
    EXPECT_EQ(s.RedoUnitCount(), 0);
    EXPECT_FALSE(s.HasRedo());
    s.PushRedoUnit(unitOf(40, "a"), 0);
    s.Reset(false); // an emptied undo stack keeps its redo steps ...
    EXPECT_TRUE(s.HasRedo());
    s.Reset(true); // ... a full reset does not
    EXPECT_FALSE(s.HasRedo());
    EXPECT_EQ(s.RedoStackBytes(), 0);
}

TEST(UndoStack, AnEntryWrittenInPlaceEqualsTheEncodedOneAndObeysTheBudget)
{
    TMPHUndoHeader h;
    h.Flags = 1u << ukReplace;
    h.Position = 5;
    h.Count = 2;
    h.Count2 = 3;
    const TMPHUndoSelection selection{1, 4, 1};
    const QByteArray description("Replace all");
    for (const QByteArray& data : {QByteArray("abc"), QByteArray()}) {
        TMPHUndoStorage encoded(nullptr);
        encoded.PushEntry(MPHUndo::EncodeEntry(h, data, description, selection), 0);
        TMPHUndoStorage inPlace(nullptr);
        uint8_t* saved = inPlace.PushEntryInPlace(h, data.size(), description, selection, 0);
        std::memcpy(saved, data.constData(), size_t(data.size()));
        ASSERT_EQ(inPlace.SizeConst(), encoded.SizeConst());
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(inPlace.Memory()), qsizetype(inPlace.SizeConst())),
                  QByteArray(reinterpret_cast<const char*>(encoded.Memory()), qsizetype(encoded.SizeConst())));
        EXPECT_EQ(inPlace.EntryCount(), 1);
    }
    // The oldest entries make room first, as for PushEntry.
    TMPHUndoStorage s(nullptr);
    s.PushEntry(entryOfSize(100), 0);
    s.PushEntryInPlace(h, 10, {}, std::nullopt, 50);
    EXPECT_EQ(s.EntryCount(), 1);
    int64_t offset = -1;
    int32_t size = 0;
    ASSERT_TRUE(s.NewestEntry(offset, size));
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(size, MPHUndo::EncodedEntrySize(10, {}, false));
}
