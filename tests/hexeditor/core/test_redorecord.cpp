// The redo record's bytes, the view state's flags and the newest entry's
// caret, without an editor.

#include "hexeditor/core/mphundostorage.h"

#include <gtest/gtest.h>

using namespace MPHUndoFlags;
using MPHUndo::ReadInt;

namespace {
const uint8_t* raw(const QByteArray& a) { return reinterpret_cast<const uint8_t*>(a.constData()); }

TMPHRedoRecord sampleRecord(int kind, const QByteArray& data)
{
    TMPHRedoRecord r;
    r.Header.Flags = (1u << kind) | ufModified | ufInsertMode;
    r.Header.CaretPosition = 0x0A0B0C0D;
    r.Header.Position = 40;
    r.Header.Count = int32_t(data.size());
    r.Header.Count2 = 7;
    r.Header.Translation = 3;
    r.Header.BytesPerUnit = 4;
    r.Data = data;
    for (int i = 0; i < TMPHBookmarks::Count; ++i)
        r.Bookmarks[size_t(i)] = TMPHBookmark{i % 3 == 0 ? -1 : 100 * i, i % 2 == 1};
    r.Selection = TMPHUndoSelection{12, 20, 20};
    return r;
}

void expectSameRecord(const TMPHRedoRecord& a, const TMPHRedoRecord& b)
{
    EXPECT_EQ(a.Header.Flags, b.Header.Flags);
    EXPECT_EQ(a.Header.CaretPosition, b.Header.CaretPosition);
    EXPECT_EQ(a.Header.Position, b.Header.Position);
    EXPECT_EQ(a.Header.Count, b.Header.Count);
    EXPECT_EQ(a.Header.Count2, b.Header.Count2);
    EXPECT_EQ(a.Header.Translation, b.Header.Translation);
    EXPECT_EQ(a.Header.BytesPerUnit, b.Header.BytesPerUnit);
    EXPECT_EQ(a.Data, b.Data);
    EXPECT_EQ(a.Bookmarks, b.Bookmarks);
    EXPECT_EQ(a.Selection, b.Selection);
}
} // namespace

TEST(RedoRecord, LayoutIsByteExactWithTheSpareDataByte)
{
    const TMPHRedoRecord r = sampleRecord(ukInsert, QByteArray("\x11\x22\x33", 3));
    const QByteArray bytes = MPHUndo::EncodeRedoRecord(r);
    // 30-byte header, 3 data bytes, 80 bytes of bookmarks, 12 of selection.
    ASSERT_EQ(bytes.size(), 30 + 3 + 80 + 12);
    const uint8_t* p = raw(bytes);
    EXPECT_EQ(ReadInt(p), 33); // where the bookmarks begin
    EXPECT_EQ(uint32_t(ReadInt(p + 4)), r.Header.Flags);
    EXPECT_EQ(ReadInt(p + 8), 0x0A0B0C0D);
    EXPECT_EQ(ReadInt(p + 12), 40);
    EXPECT_EQ(ReadInt(p + 16), 3);
    EXPECT_EQ(ReadInt(p + 20), 7);
    EXPECT_EQ(p[24], 3);
    EXPECT_EQ(ReadInt(p + 25), 4);
    EXPECT_EQ(p[29], 0x11);
    EXPECT_EQ(p[31], 0x33);
    EXPECT_EQ(p[32], 0); // the spare byte
    for (int i = 0; i < TMPHBookmarks::Count; ++i) {
        EXPECT_EQ(ReadInt(p + 33 + 8 * i), r.Bookmarks[size_t(i)].mPosition) << i;
        EXPECT_EQ(p[33 + 8 * i + 4], r.Bookmarks[size_t(i)].mInCharField ? 1 : 0) << i;
    }
    EXPECT_EQ(ReadInt(p + 113), 12);
    EXPECT_EQ(ReadInt(p + 117), 20);
    EXPECT_EQ(ReadInt(p + 121), 20);

    TMPHRedoRecord back;
    ASSERT_TRUE(MPHUndo::DecodeRedoRecord(bytes, back));
    expectSameRecord(back, r);
}

TEST(RedoRecord, ChangedBytesFillTheirAreaAndKindsWithoutDataKeepOneByte)
{
    // Two changed bytes: D is Count - 1, so the data area is exactly the two bytes.
    const TMPHRedoRecord two = sampleRecord(ukChangeBytes, QByteArray("\xAB\xCD", 2));
    const QByteArray twoBytes = MPHUndo::EncodeRedoRecord(two);
    ASSERT_EQ(twoBytes.size(), 30 + 1 + 80 + 12);
    EXPECT_EQ(ReadInt(raw(twoBytes)), 31);
    TMPHRedoRecord back;
    ASSERT_TRUE(MPHUndo::DecodeRedoRecord(twoBytes, back));
    expectSameRecord(back, two);

    // A removal saves nothing: the bookmarks begin at 30.
    const TMPHRedoRecord none = sampleRecord(ukRemove, QByteArray());
    const QByteArray noneBytes = MPHUndo::EncodeRedoRecord(none);
    ASSERT_EQ(noneBytes.size(), 30 + 80 + 12);
    EXPECT_EQ(ReadInt(raw(noneBytes)), 30);
    ASSERT_TRUE(MPHUndo::DecodeRedoRecord(noneBytes, back));
    expectSameRecord(back, none);
}

TEST(RedoRecord, DecodingRefusesRecordsTooShortForTheirOffsets)
{
    TMPHRedoRecord out;
    EXPECT_FALSE(MPHUndo::DecodeRedoRecord(QByteArray(), out));
    QByteArray bytes = MPHUndo::EncodeRedoRecord(sampleRecord(ukConvert, QByteArray(5, 'x')));
    EXPECT_FALSE(MPHUndo::DecodeRedoRecord(bytes.left(bytes.size() - 1), out));
    MPHUndo::WriteInt(reinterpret_cast<uint8_t*>(bytes.data()), 29); // inside the header
    EXPECT_FALSE(MPHUndo::DecodeRedoRecord(bytes, out));
    MPHUndo::WriteInt(reinterpret_cast<uint8_t*>(bytes.data()), int32_t(bytes.size()) - 91);
    EXPECT_FALSE(MPHUndo::DecodeRedoRecord(bytes, out));
    MPHUndo::WriteInt(reinterpret_cast<uint8_t*>(bytes.data()), int32_t(bytes.size()) - 92);
    EXPECT_TRUE(MPHUndo::DecodeRedoRecord(bytes, out));
}

TEST(ViewState, EachSettingHasItsFlagAndComesBack)
{
    struct Case
    {
        TMPHViewState state;
        uint32_t flags;
    };
    auto with = [](auto set) {
        TMPHViewState v;
        set(v);
        return v;
    };
    const Case cases[] = {
        {with([](TMPHViewState& v) { v.InCharField = true; }), ufInCharField},
        {with([](TMPHViewState& v) { v.SecondNibble = true; }), ufSecondNibble},
        {with([](TMPHViewState& v) { v.InsertMode = true; }), ufInsertMode},
        {with([](TMPHViewState& v) { v.UnicodeChars = true; }), ufUnicodeChars},
        {with([](TMPHViewState& v) { v.UnicodeBigEndian = true; }), ufUnicodeBigEndian},
        {with([](TMPHViewState& v) { v.Modified = true; }), ufModified},
        {TMPHViewState{}, 0},
    };
    for (const Case& c : cases) {
        TMPHUndoHeader h;
        h.Flags = (1u << ukChangeBytes) | ufFirstByteChanged;
        TMPHViewState v = c.state;
        v.CaretPosition = 77;
        v.Translation = 2;
        v.BytesPerUnit = 8;
        MPHUndo::StoreViewState(h, v);
        // The kind and the byte-change flags stay; exactly the state's flag is added.
        EXPECT_EQ(h.Flags, (1u << ukChangeBytes) | ufFirstByteChanged | c.flags);
        EXPECT_EQ(h.CaretPosition, 77);
        EXPECT_EQ(h.Translation, 2);
        EXPECT_EQ(h.BytesPerUnit, 8);
        EXPECT_EQ(MPHUndo::ViewStateOf(h), v);
    }
}

TEST(UndoStack, SetNewestCaretTouchesOnlyTheNewestEntry)
{
    TMPHUndoStorage s(nullptr);
    s.SetNewestCaret(5); // an empty stack: nothing happens
    EXPECT_EQ(s.SizeConst(), 0);

    TMPHUndoHeader h;
    h.Flags = 1u << ukCursorMove;
    h.CaretPosition = 1;
    s.PushEntry(MPHUndo::EncodeEntry(h, {}, {}, std::nullopt), 0);
    h.CaretPosition = 2;
    s.PushEntry(MPHUndo::EncodeEntry(h, {}, "moved", std::nullopt), 0);
    s.SetNewestCaret(1234);

    TMPHUndoEntry newest;
    ASSERT_TRUE(s.ReadNewest(newest));
    EXPECT_EQ(newest.Header.CaretPosition, 1234);
    EXPECT_EQ(newest.Description, QByteArray("moved"));
    EXPECT_EQ(ReadInt(s.Memory() + 8), 1); // the older entry keeps its caret
    std::vector<int32_t> sizes;
    EXPECT_TRUE(s.WalkFromBack(sizes));
    EXPECT_EQ(sizes.size(), 2u);
}
