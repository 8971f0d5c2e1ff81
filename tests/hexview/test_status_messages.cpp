// Status bar messages: the text copy notice and messages that leave the
// caret position in view.

#include "window_fixture.h"

#include "hexview/core/textcopy.h"
#include "hexview/statusbar.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

using namespace hexview;

TEST(TextCopy, LengthEndsAtTheFirstZeroAndTheNoticeSaysSo)
{
    const uint8_t bytes[] = {'A', 'B', 'C', 0, 'D', 0};
    EXPECT_EQ(TextCopyLength(bytes, 6), 3);
    EXPECT_EQ(TextCopyLength(bytes, 3), 3);
    EXPECT_EQ(TextCopyLength(bytes + 3, 3), 0);
    EXPECT_EQ(TextCopyLength(nullptr, 4), 0);
    EXPECT_EQ(TextCopyNotice(3, 3), "");
    EXPECT_EQ(TextCopyNotice(7, 16), "Text copy cut at zero byte: 7 of 16 bytes");
}

namespace {
class StatusMessageTest : public HexViewWindowTest
{
protected:
    void SetUp() override
    {
        HexViewWindowTest::SetUp();
        QGuiApplication::clipboard()->clear();
        ASSERT_TRUE(window->OpenFile(files.Write("zero.bin", QByteArray("ABCDEFG\0HIJKLMNO", 16))));
        Editor().SelectAll();
        emit window->SelectionChanged(); // the Edit menu follows the selection
    }
    QAction* action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    QString message() { return window->statusBar()->currentMessage(); }
};
} // namespace

TEST_F(StatusMessageTest, CopyAndCutSayWhenTheTextStoppedAtAZeroByte)
{
    ASSERT_FALSE(Editor().ClipboardAsHexText());
    action("actionCopy")->trigger();
    EXPECT_TRUE(message().contains("7 of 16 bytes")) << message().toStdString();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "ABCDEFG");

    // Without a zero byte in the selection nothing is said.
    window->statusBar()->clearMessage();
    Editor().SetSelStart(0);
    Editor().SetSelEnd(6);
    emit window->SelectionChanged();
    action("actionCopy")->trigger();
    EXPECT_EQ(message(), "");

    // As hex text every byte is carried: nothing to say either.
    Editor().SelectAll();
    emit window->SelectionChanged();
    Editor().SetClipboardAsHexText(true);
    action("actionCopy")->trigger();
    EXPECT_EQ(message(), "");
    Editor().SetClipboardAsHexText(false);

    action("actionCut")->trigger();
    EXPECT_TRUE(message().contains("7 of 16 bytes")) << message().toStdString();
    EXPECT_EQ(Editor().DataSize(), 0);
}

TEST_F(StatusMessageTest, CopyAsEntriesCarryEveryByte)
{
    auto* copyAs = window->findChild<QMenu*>("menuCopyAs");
    ASSERT_TRUE(copyAs);
    QStringList texts;
    for (QAction* entry : copyAs->actions()) {
        QGuiApplication::clipboard()->clear();
        entry->trigger();
        texts << QGuiApplication::clipboard()->text();
    }
    ASSERT_EQ(texts.size(), 4);
    EXPECT_TRUE(texts[0].startsWith("41 42 43 44 45 46 47 00 48")) << texts[0].toStdString();
    EXPECT_TRUE(texts[0].endsWith("4F"));
    EXPECT_TRUE(texts[1].contains("data[16]")) << texts[1].toStdString();
    EXPECT_TRUE(texts[1].contains("0x47, 0x00, 0x48"));
    EXPECT_TRUE(texts[2].contains("\\x47\\x00\\x48")) << texts[2].toStdString();
    EXPECT_EQ(QByteArray::fromBase64(texts[3].toLatin1()), QByteArray("ABCDEFG\0HIJKLMNO", 16));
}

TEST_F(StatusMessageTest, AMessageLeavesTheCaretPositionAndSelectionInView)
{
    QLabel* offset = window->StatusFields().Offset();
    QLabel* selection = window->StatusFields().Selection();
    ASSERT_TRUE(offset->isVisible());
    action("actionCopy")->trigger();
    ASSERT_FALSE(message().isEmpty());
    EXPECT_TRUE(offset->isVisible());
    EXPECT_TRUE(selection->isVisible());
    window->statusBar()->showMessage("Not found: 00", 5000);
    EXPECT_TRUE(offset->isVisible());
    EXPECT_FALSE(offset->text().isEmpty());
    EXPECT_TRUE(selection->isVisible());
}

TEST_F(StatusMessageTest, TheNoticeOnADocumentReadOnDemandFindsAZeroBeyondTheFirstSlice)
{
    Editor().SetOnDemandMinSize(0);
    QByteArray data(200000, 'A');
    data[150000] = '\0';
    ASSERT_TRUE(window->OpenFile(files.Write("large.bin", data)));
    ASSERT_NE(Editor().DataStorage().DemandFile(), nullptr);
    Editor().SetSelStart(100);
    Editor().SetSelEnd(199999);
    emit window->SelectionChanged();
    action("actionCopy")->trigger();
    EXPECT_TRUE(message().contains("149900 of 199900 bytes")) << message().toStdString();
    EXPECT_NE(Editor().DataStorage().DemandFile(), nullptr) << "the copy gathered the document";
}
