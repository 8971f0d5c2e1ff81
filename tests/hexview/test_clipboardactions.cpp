// The window's clipboard actions: enabling, Copy as..., Paste as hex and
// New from clipboard, through the real (offscreen) clipboard.
#include "window_fixture.h"

#include "hexeditor/ex/formatseldialog.h"
#include "hexview/saveactions.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>

using namespace hexview;

namespace {

class TAnswer : public IFormatChooser
{
public:
    CLIPFORMAT format = CF_TEXT;
    int asked = 0;
    bool ChooseFormat(const QVector<CLIPFORMAT>&, int, bool& asHexText, CLIPFORMAT& chosen) override
    {
        ++asked;
        chosen = format;
        asHexText = false;
        return true;
    }
};

} // namespace

class ClipboardActionsTest : public HexViewWindowTest
{
protected:
    void SetUp() override
    {
        HexViewWindowTest::SetUp();
        previous = SetFormatChooser(&answer);
        QGuiApplication::clipboard()->clear();
    }
    void TearDown() override { SetFormatChooser(previous); }

    QAction* Action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    QByteArray Data()
    {
        return QByteArray(reinterpret_cast<const char*>(Editor().DataStorage().Memory()), Editor().DataSize());
    }
    void OpenBytes(const QByteArray& bytes) { ASSERT_TRUE(window->OpenFile(files.Write("d.bin", bytes))); }
    // Selects and lets the deferred selection notification arrive, as the
    // event loop would.
    void Select(int32_t first, int32_t last)
    {
        Editor().SetSelection(first, last);
        QCoreApplication::sendPostedEvents();
    }

    TAnswer answer;
    IFormatChooser* previous = nullptr;
};

TEST_F(ClipboardActionsTest, CopyFollowsTheSelectionAndPasteTheWindowsReadOnlyView)
{
    OpenBytes(QByteArray("\xde\xad\xbe\xef", 4));
    for (const char* name : {"actionCut", "actionCopy", "actionPaste", "actionCopyAsHexText", "actionPasteAsHex",
                             "actionNewFromClipboard"})
        ASSERT_NE(Action(name), nullptr) << name;
    Editor().ResetSelection(true);
    emit window->SelectionChanged();
    EXPECT_FALSE(Action("actionCopy")->isEnabled());
    Select(0, 3);
    EXPECT_TRUE(Action("actionCopy")->isEnabled());
    Action("actionCopy")->trigger();
    EXPECT_TRUE(Action("actionPaste")->isEnabled()) << "the clipboard change re-evaluates paste";
    window->SetReadOnlyView(true);
    EXPECT_FALSE(Action("actionPaste")->isEnabled());
    EXPECT_FALSE(Action("actionCut")->isEnabled());
}

TEST_F(ClipboardActionsTest, CopyAsFormsAndTheHexTextToggle)
{
    OpenBytes(QByteArray("\xde\xad\xbe\xef", 4));
    Select(0, 3);
    QMenu* copyAs = window->findChild<QMenu*>(QStringLiteral("menuCopyAs"));
    ASSERT_NE(copyAs, nullptr);
    ASSERT_EQ(copyAs->actions().size(), 4);
    copyAs->actions()[0]->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("DE AD BE EF"));
    copyAs->actions()[2]->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("b'\\xde\\xad\\xbe\\xef'"));
    copyAs->actions()[3]->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("3q2+7w=="));

    Action("actionCopyAsHexText")->setChecked(true);
    EXPECT_TRUE(Editor().ClipboardAsHexText());
    Action("actionCopy")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("DEADBEEF"));
}

TEST_F(ClipboardActionsTest, PasteAsHexTakesACArray)
{
    OpenBytes("!");
    QGuiApplication::clipboard()->setText(QStringLiteral("unsigned char data[3] = {\n    0x0A, 0x1B, 0xCD\n};\n"));
    Action("actionPasteAsHex")->trigger();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(Data(), QByteArray("\x0a\x1b\xcd!", 4));
    EXPECT_FALSE(Editor().ClipboardAsHexText()) << "the setting is left as it was";

    QGuiApplication::clipboard()->setText(QStringLiteral("no hex: xyz"));
    Action("actionPasteAsHex")->trigger();
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(Data().size(), 4);
}

TEST_F(ClipboardActionsTest, PasteOfForeignPlainTextAsksNothing)
{
    OpenBytes("!");
    QGuiApplication::clipboard()->setText(QStringLiteral("hi"));
    // New from clipboard reads the text the same way.
    Action("actionNewFromClipboard")->trigger();
    EXPECT_EQ(answer.asked, 0);
    EXPECT_EQ(Data(), QByteArray("hi"));

    const auto ask = AskToSaveChanges;
    AskToSaveChanges = [](HexViewWindow&) { return QMessageBox::Discard; };
    OpenBytes("!");
    AskToSaveChanges = ask;
    Action("actionPaste")->trigger();
    EXPECT_EQ(answer.asked, 0);
    EXPECT_EQ(Data(), QByteArray("hi!"));
}

TEST_F(ClipboardActionsTest, PasteOfTextWithAnImageStillAsks)
{
    OpenBytes("!");
    auto* both = new QMimeData;
    both->setText(QStringLiteral("hi"));
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    both->setImageData(image);
    QGuiApplication::clipboard()->setMimeData(both);
    answer.format = CF_TEXT;
    Action("actionPaste")->trigger();
    EXPECT_EQ(answer.asked, 1);
    EXPECT_EQ(Data(), QByteArray("hi!"));
}

TEST_F(ClipboardActionsTest, NewFromClipboardMakesADocumentOfTheBytesInANewTab)
{
    OpenBytes(QByteArray("\x00\x01\x02\x03", 4));
    Select(1, 2);
    Action("actionCopy")->trigger();
    window->SetReadOnlyView(true); // a new document is for writing, as File > New makes it
    Action("actionNewFromClipboard")->trigger();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
    ASSERT_EQ(window->DocumentCount(), 2) << "the document in front keeps its tab";
    EXPECT_EQ(window->CurrentIndex(), 1) << "beside the tab it was made from, in front";
    EXPECT_EQ(Data(), QByteArray("\x01\x02", 2));
    EXPECT_FALSE(Editor().HasFile());
    EXPECT_TRUE(Editor().Modified()) << "the bytes are an unsaved change";
    EXPECT_FALSE(window->ReadOnlyView());
    EXPECT_EQ(window->Tabs()->tabText(1), "Untitled*");
    EXPECT_EQ(window->Document(0).Editor().FileName(), files.dir.filePath("d.bin"));
    EXPECT_EQ(window->Document(0).Editor().DataSize(), 4);

    // Nothing to read: no tab, nothing asked, the documents stay.
    const auto ask = AskToSaveChanges;
    int asked = 0;
    AskToSaveChanges = [&](HexViewWindow&) {
        ++asked;
        return QMessageBox::Discard;
    };
    QGuiApplication::clipboard()->clear();
    Action("actionNewFromClipboard")->trigger();
    AskToSaveChanges = ask;
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(window->DocumentCount(), 2);
    EXPECT_EQ(Data(), QByteArray("\x01\x02", 2));
}
