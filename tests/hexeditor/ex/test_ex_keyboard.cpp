// The extended editor's shortcuts through real key events.

#include "../input_fixture.h"

#include "hexeditor/ex/mphexeditorex.h"

class ExKeyboardTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        ex.Loaded();
        ex.LoadFromFile(writeFile("ex.bin", QByteArray::fromHex("5A5A5A5A")));
    }
    QByteArray data()
    {
        QByteArray bytes(ex.DataSize(), '\0');
        ex.ReadBuffer(bytes.data(), 0, bytes.size());
        return bytes;
    }
    TMPHexEditorEx ex;
    InputDriver<TMPHexEditorEx> in{ex};
};

TEST_F(ExKeyboardTest, CtrlZUndoesAndCtrlShiftZRedoes)
{
    in.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(data().toHex(), QByteArray("5a5a5a5a")) << "nothing to undo: nothing happens";
    EXPECT_FALSE(ex.Modified());

    in.type("c3");
    ASSERT_EQ(data().toHex(), QByteArray("c35a5a5a"));
    in.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(data().toHex(), QByteArray("ca5a5a5a")) << "one typed digit per undo step";
    in.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(data().toHex(), QByteArray("c35a5a5a"));
    in.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(data().toHex(), QByteArray("c35a5a5a")) << "nothing left to redo";
    in.key(Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(data().toHex(), QByteArray("c35a5a5a")) << "other combinations do nothing";
    in.key(Qt::Key_Z, Qt::ControlModifier);
    in.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(data().toHex(), QByteArray("5a5a5a5a"));
    EXPECT_FALSE(ex.CanUndo());
    // The last undo leaves the redo record: the first digit comes back.
    in.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(data().toHex(), QByteArray("ca5a5a5a"));
    EXPECT_TRUE(ex.CanUndo());
    EXPECT_FALSE(ex.CanRedo());
}

TEST_F(ExKeyboardTest, CtrlASelectsAll)
{
    in.key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(ex.SelFirst(), 0);
    EXPECT_EQ(ex.SelLast(), 3);
    EXPECT_EQ(data().toHex(), QByteArray("5a5a5a5a")) << "Ctrl+A types nothing";
}

TEST_F(ExKeyboardTest, ClipboardKeysCutAndPasteThroughTheClipboard)
{
    ex.SetSelStart(1);
    ex.SetSelEnd(2);
    in.key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(data().toHex(), QByteArray("5a5a"));
    in.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(data().toHex(), QByteArray("5a5a5a5a"));

    // Nothing to cut or paste in the read-only view.
    ex.SetReadOnlyView(true);
    EXPECT_FALSE(ex.ClipboardShortcut(TMPHClipboardCommand::Cut));
    EXPECT_FALSE(ex.ClipboardShortcut(TMPHClipboardCommand::Paste));
    EXPECT_EQ(data().toHex(), QByteArray("5a5a5a5a"));
}

TEST_F(ExKeyboardTest, ThePlainEditorHasNoShortcuts)
{
    TMPHexEditor plain;
    plain.Loaded();
    plain.LoadFromFile(writeFile("plain.bin", QByteArray::fromHex("5A5A")));
    InputDriver<TMPHexEditor> keys{plain};
    keys.type("1");
    keys.key(Qt::Key_Z, Qt::ControlModifier);
    QByteArray bytes(2, '\0');
    plain.ReadBuffer(bytes.data(), 0, 2);
    EXPECT_EQ(bytes.toHex(), QByteArray("1a5a"));
    keys.key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(plain.SelCount(), 0);
}
