// Copy, cut and paste through the real Qt clipboard (offscreen platform).
#include "transfer_fixture.h"

#include "platform/oleclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {
QClipboard& Clipboard() { return *QGuiApplication::clipboard(); }
} // namespace

class ClipboardTest : public TransferTest
{
protected:
    void SetUp() override
    {
        TransferTest::SetUp();
        Clipboard().clear();
    }
};

TEST_F(ClipboardTest, CopyNeedsDataAndASelection)
{
    EXPECT_FALSE(editor.CanCopy());
    Load(editor, "abc");
    EXPECT_FALSE(editor.CanCopy());
    Clipboard().setText(QStringLiteral("before"));
    EXPECT_FALSE(editor.CopyToClipboard());
    EXPECT_EQ(Clipboard().text(), QStringLiteral("before")) << "a refused copy leaves the clipboard";
    editor.SetSelection(0, 1);
    EXPECT_TRUE(editor.CanCopy());
    EXPECT_TRUE(editor.CanCut());
}

TEST_F(ClipboardTest, CopyInOneEditorPasteInAnother)
{
    Load(editor, QByteArray("\x00\x01\x02\x41\x00\x42\xff", 7));
    editor.SetSelection(5, 1); // a selection made backwards
    ASSERT_TRUE(editor.CopyToClipboard());
    ASSERT_TRUE(editor.ClipboardDataObject());
    EXPECT_EQ(editor.ClipboardDataObject()->DataCount(), 5);

    // What other programs see.
    const QMimeData* mime = Clipboard().mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->text(), QStringLiteral("\u0001\u0002A")) << "plain text ends at the first zero";
    EXPECT_EQ(mime->data(QStringLiteral("application/octet-stream")), QByteArray("\x01\x02\x41\x00\x42", 5));
    EXPECT_TRUE(mime->formats().contains(WindowsMimeType(QStringLiteral("TMPHexeditorEx Clipboard Format"))));

    TRecordingEditor other;
    other.Loaded();
    Load(other, "[]");
    other.SetSelStart(1);
    ASSERT_TRUE(other.CanPaste());
    EXPECT_EQ(other.ChosenFormat(tpPaste), OwnClipboardFormat);
    ASSERT_TRUE(other.PasteFromClipboard());
    EXPECT_EQ(Bytes(other), QByteArray("[\x01\x02\x41\x00\x42]", 7));
    EXPECT_EQ(chooser.asked, 0);
}

TEST_F(ClipboardTest, CutCopiesThenDeletesTheSelection)
{
    Load(editor, "0123456789");
    editor.SetSelection(3, 5);
    ASSERT_TRUE(editor.CutToClipboard());
    EXPECT_EQ(Bytes(editor), QByteArray("0126789"));
    EXPECT_EQ(Clipboard().text(), QStringLiteral("345"));
}

TEST_F(ClipboardTest, ForeignTextAsksAndIsNotPasteableWithoutOtherFormats)
{
    Load(editor, "!");
    Clipboard().setText(QStringLiteral("hi"));
    editor.SetSupportsOtherClipFormats(false);
    EXPECT_FALSE(editor.CanPaste());
    EXPECT_FALSE(editor.PasteFromClipboard());
    EXPECT_EQ(Bytes(editor), QByteArray("!"));

    editor.SetSupportsOtherClipFormats(true);
    chooser.answer = CF_OEMTEXT;
    EXPECT_TRUE(editor.CanPaste());
    EXPECT_TRUE(editor.PasteFromClipboard());
    EXPECT_EQ(chooser.lastCandidates, (QVector<CLIPFORMAT>{CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT, CF_LOCALE}));
    EXPECT_EQ(Bytes(editor), QByteArray("hi!"));
}

TEST_F(ClipboardTest, ForeignTextAsCarriedPastesWithoutAQuestion)
{
    editor.SetForeignTextAsCarried(true);
    Load(editor, "!");
    Clipboard().setText(QStringLiteral("hi \u00e9"));
    EXPECT_TRUE(editor.PasteFromClipboard());
    EXPECT_EQ(chooser.asked, 0);
    EXPECT_EQ(Bytes(editor), QByteArray("hi \xe9!"));

    // Text the 8-bit code page cannot hold arrives whole, as unicode text.
    Load(editor, "!");
    Clipboard().setText(QStringLiteral("\u2500"));
    EXPECT_TRUE(editor.PasteFromClipboard());
    EXPECT_EQ(chooser.asked, 0);
    EXPECT_EQ(Bytes(editor), QByteArray("\x00\x25!", 3));

    // Hex text still applies to the text format.
    Load(editor, "!");
    editor.SetClipboardAsHexText(true);
    Clipboard().setText(QStringLiteral("0a 1B"));
    EXPECT_TRUE(editor.PasteFromClipboard());
    EXPECT_EQ(Bytes(editor), QByteArray("\x0a\x1b!", 3));
}

TEST_F(ClipboardTest, ForeignTextAsCarriedStillAsksWhenThereIsARealChoice)
{
    editor.SetForeignTextAsCarried(true);
    Load(editor, "!");
    auto* page = new QMimeData;
    page->setText(QStringLiteral("hi"));
    page->setHtml(QStringLiteral("<i>hi</i>"));
    Clipboard().setMimeData(page);
    chooser.answer = CF_TEXT;
    EXPECT_TRUE(editor.PasteFromClipboard());
    EXPECT_EQ(chooser.asked, 1);
    EXPECT_EQ(chooser.lastCandidates, (QVector<CLIPFORMAT>{CF_TEXT, HtmlFormat}));
    EXPECT_EQ(Bytes(editor), QByteArray("hi!"));

    // Our own data takes priority over its text and never asks.
    Load(editor, QByteArray("\x00\x01\x02", 3));
    editor.SetSelection(0, 2);
    ASSERT_TRUE(editor.CopyToClipboard());
    TMPHexEditorEx other;
    other.Loaded();
    other.SetForeignTextAsCarried(true);
    Load(other, "!");
    EXPECT_TRUE(other.PasteFromClipboard());
    EXPECT_EQ(chooser.asked, 1);
    EXPECT_EQ(Bytes(other), QByteArray("\x00\x01\x02!", 4));
    // Flushed (as after the copying editor is gone): the own format still wins.
    ASSERT_EQ(OleFlushClipboard(), S_OK);
    Load(other, "!");
    EXPECT_TRUE(other.PasteFromClipboard());
    EXPECT_EQ(chooser.asked, 1);
    EXPECT_EQ(Bytes(other), QByteArray("\x00\x01\x02!", 4));
}

TEST_F(ClipboardTest, HexTextCopiedAndPastedBackGivesTheBytes)
{
    Load(editor, QByteArray("\xde\xad\xbe\xef", 4));
    editor.SetClipboardAsHexText(true);
    editor.SetSelection(0, 3);
    ASSERT_TRUE(editor.CopyToClipboard());
    EXPECT_EQ(Clipboard().text(), QStringLiteral("DEADBEEF"));
    // Through the text path, as another program's text would come.
    Clipboard().setText(Clipboard().text());
    chooser.answer = CF_TEXT;
    chooser.hexText = true;
    TRecordingEditor other;
    other.Loaded();
    Load(other, "!");
    ASSERT_TRUE(other.PasteFromClipboard());
    EXPECT_EQ(Bytes(other), QByteArray("\xde\xad\xbe\xef!", 5));
}

TEST_F(ClipboardTest, DestructionEmptiesOrFlushesOnlyOurOwnContents)
{
    {
        TMPHexEditorEx e;
        e.Loaded();
        Load(e, "gone");
        e.SetSelection(0, 3);
        ASSERT_TRUE(e.CopyToClipboard());
    }
    EXPECT_TRUE(Clipboard().text().isEmpty()) << "flush off: the clipboard is emptied";

    {
        TMPHexEditorEx e;
        e.Loaded();
        Load(e, QByteArray("st\0ay", 5));
        e.SetFlushClipboardAtShutDown(true);
        e.SetSelection(0, 4);
        ASSERT_TRUE(e.CopyToClipboard());
    }
    EXPECT_EQ(Clipboard().text(), QStringLiteral("st"));
    TRecordingEditor reader;
    reader.Loaded();
    Load(reader, "!");
    ASSERT_TRUE(reader.PasteFromClipboard()) << "the own format outlives the editor";
    EXPECT_EQ(Bytes(reader), QByteArray("st\0ay!", 6));

    {
        TMPHexEditorEx e;
        e.Loaded();
        Load(e, "mine");
        e.SetSelection(0, 3);
        ASSERT_TRUE(e.CopyToClipboard());
        Clipboard().setText(QStringLiteral("someone else's"));
    }
    EXPECT_EQ(Clipboard().text(), QStringLiteral("someone else's"));
}

TEST_F(ClipboardTest, ANewCopyReplacesTheEditorsObject)
{
    Load(editor, "abcd");
    editor.SetSelection(0, 0);
    ASSERT_TRUE(editor.CopyToClipboard());
    TComPtr<TMPHDataObject> first = editor.ClipboardDataObject();
    editor.SetSelection(1, 2);
    ASSERT_TRUE(editor.CopyToClipboard());
    EXPECT_NE(editor.ClipboardDataObject().Get(), first.Get());
    EXPECT_EQ(first->RefCount(), 1u) << "neither the editor nor the clipboard holds the old object";
    EXPECT_EQ(OleIsCurrentClipboard(editor.ClipboardDataObject().Get()), S_OK);
}

TEST_F(ClipboardTest, ReadOnlyViewAndFixedSizeLimitCutAndPaste)
{
    Load(editor, "abcdef");
    editor.SetSelection(1, 2);
    ASSERT_TRUE(editor.CopyToClipboard());
    editor.SetReadOnlyView(true);
    EXPECT_TRUE(editor.CanCopy());
    EXPECT_FALSE(editor.CanCut());
    EXPECT_FALSE(editor.CanPaste());
    EXPECT_FALSE(editor.PasteFromClipboard());
    EXPECT_FALSE(editor.CutToClipboard());
    EXPECT_EQ(Bytes(editor), QByteArray("abcdef"));

    editor.SetReadOnlyView(false);
    editor.SetNoSizeChange(true);
    EXPECT_FALSE(editor.CanCut()) << "a fixed-size editor never cuts";
    EXPECT_TRUE(editor.CanPaste());

    TMPHexEditorEx empty;
    empty.Loaded();
    empty.SetNoSizeChange(true);
    EXPECT_FALSE(empty.CanPaste()) << "nothing to overwrite";
}

TEST_F(ClipboardTest, CutIsUndoneAsOneStep)
{
    Load(editor, "0123456789");
    editor.SetSelection(3, 5);
    ASSERT_TRUE(editor.CutToClipboard());
    EXPECT_EQ(editor.UndoText(), QStringLiteral("Cut to clipboard"));
    editor.Undo();
    EXPECT_EQ(Bytes(editor), QByteArray("0123456789"));
}
