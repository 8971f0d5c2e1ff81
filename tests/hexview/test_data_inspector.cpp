// The data inspector dock: values at the caret in both byte orders, and
// edits through it as one undo step.

#include "window_fixture.h"

#include "hexview/datainspector.h"

#include <QAction>
#include <QTableWidget>

using namespace hexview;
using K = TMPHValueKind;

namespace {

class DataInspectorTest : public HexViewWindowTest
{
protected:
    void SetUp() override
    {
        HexViewWindowTest::SetUp();
        inspector = window->findChild<TDataInspector*>();
        ASSERT_NE(inspector, nullptr);
        QAction* toggle = window->findChild<QAction*>("actionDataInspector");
        ASSERT_NE(toggle, nullptr);
        EXPECT_FALSE(inspector->isVisible());
        toggle->trigger();
        EXPECT_TRUE(inspector->isVisible());
    }
    void open(const QByteArray& bytes) { ASSERT_TRUE(window->OpenFile(files.Write("inspect.bin", bytes))); }
    QString cell(K kind, bool big) { return inspector->Cell(kind, big)->text(); }
    // Moves the caret and delivers the deferred notification.
    void caretTo(int32_t position)
    {
        Editor().SetSelStart(position);
        QCoreApplication::sendPostedEvents();
    }

    TDataInspector* inspector = nullptr;
};

} // namespace

TEST_F(DataInspectorTest, ValuesAtTheCaretInBothByteOrders)
{
    open(QByteArray::fromHex("00FF0100000000803FC0000000000000"));
    EXPECT_EQ(cell(K::UInt8, false), "0");
    caretTo(1);
    EXPECT_EQ(cell(K::Int8, false), "-1");
    EXPECT_EQ(cell(K::UInt16, false), "511");   // 01FF
    EXPECT_EQ(cell(K::UInt16, true), "65281");  // FF01
    EXPECT_EQ(cell(K::Int32, false), "511");
    EXPECT_EQ(cell(K::Int32, true), "-16711680");
    EXPECT_EQ(cell(K::Binary, false), "11111111");
    caretTo(8);
    EXPECT_EQ(cell(K::Float, true), "1.5");     // 3FC00000
    caretTo(4);
    EXPECT_EQ(cell(K::Int32, false), "-2147483648"); // 00 00 00 80
    EXPECT_EQ(cell(K::Int32, true), "128");
    // Near the end only what fits is shown.
    caretTo(14);
    EXPECT_EQ(cell(K::UInt16, false), "0");
    EXPECT_EQ(cell(K::UInt32, false), "");
    EXPECT_FALSE(inspector->Cell(K::UInt32, false)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(inspector->Cell(K::UInt16, true)->flags() & Qt::ItemIsEditable);
}

TEST_F(DataInspectorTest, AnEditWritesTheBytesAndUndoesInOneStep)
{
    const QByteArray original = QByteArray::fromHex("00112233445566778899");
    open(original);
    caretTo(2);
    // Typing into the big-endian uint32 cell.
    inspector->Cell(K::UInt32, true)->setText("0xDEADBEEF");
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(Editor().SelectionAsText().size(), 0);
    QByteArray now(Editor().DataSize(), '\0');
    Editor().ReadBuffer(now.data(), 0, now.size());
    EXPECT_EQ(now, QByteArray::fromHex("0011DEADBEEF66778899"));
    EXPECT_EQ(Editor().DataSize(), 10);
    EXPECT_TRUE(Editor().Modified());
    EXPECT_EQ(cell(K::UInt32, true), QString::number(0xDEADBEEFu)); // shows the stored value
    EXPECT_EQ(Editor().UndoText(), "Edit uint32 value");

    ASSERT_TRUE(Editor().CanUndo());
    Editor().Undo();
    Editor().ReadBuffer(now.data(), 0, now.size());
    EXPECT_EQ(now, original);
    EXPECT_FALSE(Editor().CanUndo()); // it was one step
    EXPECT_FALSE(Editor().Modified());
}

TEST_F(DataInspectorTest, RefusedValuesChangeNothing)
{
    const QByteArray original = QByteArray::fromHex("0102030405");
    open(original);
    caretTo(3);
    EXPECT_FALSE(inspector->WriteValue(K::Int8, false, "300"));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], "300 does not fit into int8 (-128 to 127)");
    // Too few bytes after the caret for a 4-byte value.
    EXPECT_FALSE(inspector->WriteValue(K::Float, false, "1.5"));
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[1].startsWith("The value needs 4 bytes from offset 3")) << errors[1].toStdString();
    QByteArray now(5, '\0');
    Editor().ReadBuffer(now.data(), 0, 5);
    EXPECT_EQ(now, original);
    EXPECT_FALSE(Editor().CanUndo());
    EXPECT_FALSE(Editor().Modified());

    // A UTF-8 character replaces as many bytes as it needs.
    EXPECT_TRUE(inspector->WriteValue(K::Utf8Char, false, QString(QChar(0xE9))));
    Editor().ReadBuffer(now.data(), 0, 5);
    EXPECT_EQ(now, QByteArray::fromHex("010203C3A9"));

    // A read-only view takes no edits.
    window->SetReadOnlyView(true);
    EXPECT_FALSE(inspector->Cell(K::UInt8, false)->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(inspector->WriteValue(K::UInt8, false, "7"));
}
