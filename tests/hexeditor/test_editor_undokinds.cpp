// Undo and redo per entry kind: each reports the data change it made.

#include "editing_fixture.h"

#include <functional>

namespace {

// Reaches the per-kind dispatch the editor keeps to itself.
class UndoProbe : public TMPHexEditor
{
public:
    using TCustomMPHexEditor::ApplyRedoData;
    using TCustomMPHexEditor::RevertEntry;
};

class UndoKindsTest : public EditingTest
{
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        probe.Loaded();
        TMemoryStream source;
        const QByteArray bytes = pattern(40);
        source.Write(bytes.constData(), bytes.size());
        probe.LoadFromStream(source);
    }
    QByteArray probeData()
    {
        QByteArray bytes(probe.DataSize(), '\0');
        if (!bytes.isEmpty())
            probe.ReadBuffer(bytes.data(), 0, bytes.size());
        return bytes;
    }
    UndoProbe probe;
};

struct KindCase
{
    const char* name;
    std::function<void(TCustomMPHexEditor&)> change;
    TMPHDataChange undone;
    TMPHDataChange redone;
};

TEST_F(UndoKindsTest, RevertingAndReapplyingReportTheirChange)
{
    const KindCase cases[] = {
        {"change byte", [](TCustomMPHexEditor& e) { e.ChangeByte(6, e.ByteAt(6), 0x55); }, {6, 1, 1}, {6, 1, 1}},
        {"change word", [](TCustomMPHexEditor& e) { e.ChangeWord(8, 0, 0x1234); }, {8, 2, 2}, {8, 2, 2}},
        {"insert", [](TCustomMPHexEditor& e) { e.InsertBuffer("abc", 3, 10); }, {10, 3, 0}, {10, 0, 3}},
        {"remove", [](TCustomMPHexEditor& e) { e.SetSelection(4, 8); e.DeleteSelection(); }, {4, 0, 5}, {4, 5, 0}},
        {"append", [](TCustomMPHexEditor& e) { e.AppendBuffer("xy", 2); }, {40, 2, 0}, {40, 0, 2}},
        {"replace", [](TCustomMPHexEditor& e) { e.Replace("12345", 2, 3, 5); }, {2, 5, 3}, {2, 3, 5}},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray before = probeData();
        c.change(probe);
        const QByteArray after = probeData();

        TMPHUndoEntry entry;
        ASSERT_TRUE(probe.UndoStorage().ReadNewest(entry));
        // What Undo does: the redo record of the present state, then the revert.
        probe.Undo();
        probe.Redo();
        ASSERT_EQ(probeData(), after);
        ASSERT_TRUE(probe.UndoStorage().ReadNewest(entry));
        EXPECT_EQ(probe.RevertEntry(entry), c.undone);
        EXPECT_EQ(probeData(), before);

        c.change(probe);
        probe.Undo();
        TMPHRedoRecord record;
        ASSERT_TRUE(MPHUndo::DecodeRedoRecord(probe.UndoStorage().RedoRecord(), record));
        EXPECT_EQ(probe.ApplyRedoData(record), c.redone);
        EXPECT_EQ(probeData(), after);
        probe.ResetUndo();
        // Back to the start for the next case.
        TMemoryStream source;
        source.Write(before.constData(), before.size());
        probe.LoadFromStream(source);
    }
}

TEST_F(UndoKindsTest, CursorMovesAndWholeDataReportTheirExtent)
{
    probe.CreateUndo(ukCursorMove, 12, 3, 0);
    TMPHUndoEntry entry;
    ASSERT_TRUE(probe.UndoStorage().ReadNewest(entry));
    EXPECT_TRUE(probe.RevertEntry(entry).IsEmpty());

    probe.CreateUndo(ukAllData, 0, 0, 0);
    probe.AppendData("tail", 4);
    ASSERT_TRUE(probe.UndoStorage().ReadNewest(entry));
    EXPECT_EQ(probe.RevertEntry(entry), (TMPHDataChange{0, 44, 40}));
    EXPECT_EQ(probe.DataSize(), 40);
}

} // namespace
