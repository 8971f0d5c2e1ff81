// The tool's window driven headless: its file dialogs and message boxes are
// scripted, so each command runs as a person would run it and what the boxes
// said can be read back.

#include "app/apperrors.h"
#include "app/scripteddialogs.h"
#include "app/unit1.h"
#include "hexeditor/ex/mphexeditorex.h"
#include "hexeditor/mphexeditor.h"
#include "platform/core/apperror.h"
#include "platform/core/exceptions.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include "test_folder.h"
#include "support/filesizelimit.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using TBox = TScriptedFormDialogs::TBox;

// Straightforward bitwise CRC-32 (IEEE 802.3), independent of the product's.
uint32_t ReferenceCrc32(const QByteArray& data, uint32_t reg = 0xFFFFFFFFu)
{
    for (char c : data) {
        reg ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 1) ? (reg >> 1) ^ 0xEDB88320u : reg >> 1;
    }
    return reg;
}

// Appends four bytes that bring the file's CRC-32 to 0, by running the
// register's table steps backwards from the wanted final state.
QByteArray WithZeroCrc(QByteArray data)
{
    uint32_t table[256];
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t r = i;
        for (int bit = 0; bit < 8; ++bit)
            r = (r & 1) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
        table[i] = r;
    }
    uint8_t index[4];
    uint32_t state = 0xFFFFFFFFu; // register before the final inversion
    for (int k = 3; k >= 0; --k) {
        for (uint32_t j = 0; j < 256; ++j) {
            if ((table[j] >> 24) == (state >> 24)) {
                index[k] = static_cast<uint8_t>(j);
                state = ((state ^ table[j]) << 8) | j;
                break;
            }
        }
    }
    uint32_t reg = ReferenceCrc32(data);
    for (int k = 0; k < 4; ++k) {
        const uint8_t byte = static_cast<uint8_t>(index[k] ^ (reg & 0xFF));
        data.append(static_cast<char>(byte));
        reg = table[(reg ^ byte) & 0xFF] ^ (reg >> 8);
    }
    return data;
}

QString ChecksumOf(const QByteArray& data)
{
    return QStringLiteral("%1").arg(~ReferenceCrc32(data), 6, 16, QLatin1Char('0')).toUpper();
}

// An image of size bytes (a running pattern without the boot marker) with the
// two ID ranges filled from id1 / id2 when the image is long enough.
QByteArray Image(int size, const QByteArray& id1 = "ABCDEFGHIJKLM", const QByteArray& id2 = "01234567890")
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(0x40 + (i * 5) % 61);
    for (int i = 0; i < id1.size() && 32 + i < size; ++i)
        bytes[32 + i] = id1[i];
    for (int i = 0; i < id2.size() && 48 + i < size; ++i)
        bytes[48 + i] = id2[i];
    return bytes;
}

// An image of size bytes with the boot marker at markerAt; the bytes encode
// their own offset so that a block cut from the wrong place shows.
QByteArray ImageWithMarker(int size, int markerAt, uint8_t salt)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(((i >> 8) ^ i ^ salt) & 0x7F);
    const char marker[4] = {'\xE3', '\x00', '\x00', '\x10'};
    for (int i = 0; i < 4; ++i)
        bytes[markerAt + i] = marker[i];
    return bytes;
}

QByteArray BootFile(uint8_t seed, int size = 0x10000)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 13 + seed) & 0xFF);
    return bytes;
}

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        dialogs = new TScriptedFormDialogs;
        form = std::make_unique<TForm1>(std::unique_ptr<IFormDialogs>(dialogs));
    }

    QStringList Entries() const { return folder.Entries(QDir::Files | QDir::Dirs); }

    // "open" with the given file chosen in its dialog.
    void Open(const QString& path)
    {
        dialogs->Choose(path);
        form->Button4->click();
    }

    const std::vector<TBox>& Boxes() const { return dialogs->Boxes(); }

    TTestFolder folder;
    QTemporaryDir& dir = folder.dir;
    TScriptedFormDialogs* dialogs = nullptr; // owned by the form
    std::unique_ptr<TForm1> form;
};

TEST_F(MainWindowTest, StartsAsLaidOutWithEverythingButOpenAndThePathBoxInactive)
{
    EXPECT_EQ(form->objectName(), "Form1");
    EXPECT_EQ(form->windowTitle(), "edit boot for Zelq v1.0");
    EXPECT_EQ(form->size(), QSize(262, 128));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "the window must not be resizable";
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form->palette().color(QPalette::Window), form->palette().color(QPalette::Button));

    struct TExpected
    {
        const char* name;
        QRect geometry;
        bool bold;
    };
    const TExpected controls[] = {
        {"Button4", {8, 16, 65, 25}, true},   {"Edit1", {80, 16, 169, 21}, false},
        {"Label3", {0, 56, 33, 13}, true},    {"edit2", {40, 48, 65, 21}, true},
        {"Button3", {112, 48, 65, 25}, true}, {"Button2", {184, 48, 65, 25}, true},
        {"Panel5", {0, 0, 265, 9}, false},    {"Panel6", {0, 8, 1, 113}, false},
        {"Panel1", {0, 80, 265, 9}, false},   {"Panel3", {128, 88, 9, 33}, false},
        {"Panel2", {-2, 120, 267, 9}, false}, {"MPHexEditor1", {104, 328, 320, 120}, false},
        {"MPHexEditorEx1", {88, 320, 320, 120}, false},
    };
    for (const TExpected& c : controls) {
        SCOPED_TRACE(c.name);
        auto* widget = form->findChild<QWidget*>(QLatin1String(c.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), c.geometry);
        if (!QByteArray(c.name).startsWith("MPHex")) {
            EXPECT_EQ(widget->font().family(), "MS Sans Serif");
            EXPECT_EQ(widget->font().pixelSize(), 11);
            EXPECT_EQ(widget->font().bold(), c.bold);
        }
    }
    EXPECT_EQ(form->Label1->pos(), QPoint(24, 96));
    EXPECT_EQ(form->Label2->pos(), QPoint(168, 96));
    EXPECT_TRUE(form->Label1->font().bold() && form->Label2->font().bold());
    EXPECT_EQ(QStringList({form->Button4->text(), form->Button3->text(), form->Button2->text(), form->Label3->text()}),
              QStringList({"open", "Insert", "Extract", "crc32"}));

    // Nothing to extract from or insert into yet; the checksum box is read-only.
    EXPECT_TRUE(form->Button4->isEnabled());
    EXPECT_TRUE(form->Edit1->isEnabled());
    EXPECT_FALSE(form->Button2->isEnabled());
    EXPECT_FALSE(form->Button3->isEnabled());
    EXPECT_FALSE(form->edit2->isEnabled());
    EXPECT_TRUE((form->Edit1->text() + form->edit2->text() + form->Label1->text() + form->Label2->text()).isEmpty());

    // Disabled buttons cannot be pressed: no dialog is asked for.
    form->Button2->click();
    form->Button3->click();
    EXPECT_TRUE(dialogs->DialogsShown().isEmpty());
    EXPECT_TRUE(Boxes().empty());

    // Both editors: below the client area, stored settings applied, empty
    // read-only "Untitled" documents.
    for (TCustomMPHexEditor* editor :
         {static_cast<TCustomMPHexEditor*>(form->MPHexEditor1), static_cast<TCustomMPHexEditor*>(form->MPHexEditorEx1)}) {
        SCOPED_TRACE(editor->objectName().toStdString());
        EXPECT_GE(editor->y(), form->height());
        EXPECT_EQ(editor->BytesPerRow(), 16);
        EXPECT_EQ(editor->font().family(), "Courier New");
        EXPECT_EQ(editor->font().pixelSize(), 15);
        EXPECT_EQ(editor->FileName(), "Untitled");
        EXPECT_EQ(editor->DataSize(), 0);
        EXPECT_TRUE(editor->ReadOnlyFile());
        EXPECT_FALSE(editor->HasFile());
        // The stored colours and painting values.
        EXPECT_EQ(editor->Colors()->Background(), 0xFF000005u);
        EXPECT_EQ(editor->Colors()->ChangedBackground(), 0xA8FFFFu);
        EXPECT_EQ(editor->Colors()->CurrentOffset(), 0xFF000014u);
        EXPECT_TRUE(editor->FocusFrame());
        EXPECT_TRUE(editor->DrawGutter3D());
        EXPECT_EQ(editor->CaretKind(), ckAuto);
        EXPECT_EQ(editor->MaskChar(), '.');
    }

    EXPECT_EQ(form->OpenDialog1.Filter, "Bin File (*.bin)");
    EXPECT_EQ(form->OpenDialog2.Filter, "boot File (*.bin)");
    EXPECT_EQ(form->SaveDialog1.Filter, "boot File (*.bin)");
    EXPECT_EQ(form->SaveDialog2.Filter, "Bin File (*.bin)");
}

TEST_F(MainWindowTest, PathBoxHasTheFocusAndTabWalksTheStoredOrder)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(QApplication::focusWidget(), form->Edit1);

    // Walk the focus chain from Edit1 and keep the controls that take focus.
    const QList<QWidget*> expected = {form->Button2, form->Button3, form->Button4, form->MPHexEditor1,
                                      form->MPHexEditorEx1, form->edit2};
    QList<QWidget*> seen;
    for (QWidget* w = form->Edit1->nextInFocusChain(); w != form->Edit1 && seen.size() < expected.size();
         w = w->nextInFocusChain()) {
        if (expected.contains(w) && !seen.contains(w))
            seen.append(w);
    }
    EXPECT_EQ(seen, expected);
}

TEST_F(MainWindowTest, CancelledFirstOpenChangesNothing)
{
    dialogs->Cancel();
    form->Button4->click();
    EXPECT_EQ(dialogs->DialogsShown(), QStringList{"OpenDialog1"});
    EXPECT_FALSE(form->Button2->isEnabled());
    EXPECT_FALSE(form->Button3->isEnabled());
    EXPECT_TRUE(form->Edit1->text().isEmpty());
    EXPECT_EQ(form->windowTitle(), "edit boot for Zelq v1.0");
    EXPECT_TRUE(form->OpenDialog1.FileName.isEmpty());
    EXPECT_EQ(form->MPHexEditor1->FileName(), "Untitled");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainWindowTest, OpenShowsPathNameIdStringsAndChecksum)
{
    const QByteArray image = Image(100);
    const QString path = folder.Write("image.bin", image);
    Open(path);

    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(form->Edit1->text(), path);
    EXPECT_EQ(form->windowTitle(), "image.bin");
    EXPECT_TRUE(form->Button2->isEnabled());
    EXPECT_TRUE(form->Button3->isEnabled());
    EXPECT_EQ(form->Label1->text(), "ABCDEFGHIJKLM");
    EXPECT_EQ(form->Label2->text(), "01234567890");
    EXPECT_EQ(form->edit2->text(), ChecksumOf(image));
    EXPECT_EQ(form->MPHexEditor1->DataSize(), 100);
    EXPECT_EQ(form->MPHexEditor1->FileName(), path);
    // Auto-sized labels: the whole ID string is visible.
    EXPECT_GE(form->Label1->width(), form->Label1->fontMetrics().horizontalAdvance("ABCDEFGHIJKLM"));
}

TEST_F(MainWindowTest, ZeroByteEndsAnIdStringAndMarkupIsShownAsText)
{
    QByteArray id1("ABC\0EFGHIJKLM", 13);
    QByteArray id2("\0" "1234567890", 11);
    Open(folder.Write("zero.bin", Image(64, id1, id2)));
    EXPECT_EQ(form->Label1->text(), "ABC");
    EXPECT_EQ(form->Label2->text(), "");

    Open(folder.Write("markup.bin", Image(64, "<b>x</b>&amp;", "<i>y</i>&lt")));
    EXPECT_EQ(form->Label1->text(), "<b>x</b>&amp;");
    EXPECT_EQ(form->Label1->textFormat(), Qt::PlainText);
    EXPECT_EQ(form->Label2->textFormat(), Qt::PlainText);
}

TEST_F(MainWindowTest, ShortImagesStopOpenWithTheEditorsTextsAndKeepTheOldValues)
{
    const QByteArray good = Image(100);
    Open(folder.Write("good.bin", good));
    ASSERT_TRUE(Boxes().empty());
    const QString goodCrc = form->edit2->text();

    struct TCase
    {
        int size;
        const char* text;
        bool firstIdShown; // Label1 is set before the second ID fails
    };
    const TCase cases[] = {
        {0, "Invalid selection start.", false},  {32, "Invalid selection start.", false},
        {40, "Invalid selection end.", false},   {44, "Invalid selection end.", false},
        {46, "Invalid selection start.", true},  {48, "Invalid selection start.", true},
        {50, "Invalid selection end.", true},    {58, "Invalid selection end.", true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.size);
        // Different ID bytes from the good image, so a stale label shows.
        const QString name = QStringLiteral("short%1.bin").arg(c.size);
        const QString path = folder.Write(name, Image(c.size, "NOPQRSTUVWXYZ", "99999999999"));
        dialogs->ClearRecords();
        form->Label1->setText("ABCDEFGHIJKLM");
        Open(path);

        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].BoxKind, TBox::bkUnhandled);
        EXPECT_EQ(Boxes()[0].Caption, editboot::ApplicationTitle());
        EXPECT_EQ(Boxes()[0].Text, c.text);
        // Steps before the load stay done.
        EXPECT_EQ(form->windowTitle(), name);
        EXPECT_EQ(form->Edit1->text(), path);
        EXPECT_TRUE(form->Button2->isEnabled());
        EXPECT_TRUE(form->Button3->isEnabled());
        // The checksum is never reached.
        EXPECT_EQ(form->edit2->text(), goodCrc);
        EXPECT_EQ(form->Label1->text(), c.firstIdShown ? "NOPQRSTUVWXYZ" : "ABCDEFGHIJKLM");
        EXPECT_EQ(form->Label2->text(), "01234567890");
    }
}

TEST_F(MainWindowTest, Crc32LabelShowsWholeBesideTheLeftBar)
{
    const QLabel* label = form->Label3;
    EXPECT_EQ(label->text(), "crc32");
    EXPECT_TRUE(form->rect().contains(label->geometry()));
    // Where the label's text is drawn, in the window's coordinates.
    const QFontMetrics metrics(label->font());
    const QRect text = QStyle::alignedRect(Qt::LeftToRight, label->alignment(),
                                           QSize(metrics.horizontalAdvance(label->text()), metrics.height()),
                                           label->contentsRect())
                           .translated(label->pos());
    EXPECT_GT(text.left(), form->Panel6->geometry().right()) << "the left bar covers the text";
    EXPECT_GE(text.left(), 0) << "the window's edge cuts the text";
    EXPECT_LT(text.right(), form->edit2->x()) << "the text runs into the checksum box";
    EXPECT_GE(label->x() + label->width() - 1, text.right()) << "the label cuts the text";
    // The label's text stands on the checksum box's line.
    EXPECT_TRUE(text.top() < form->edit2->geometry().bottom() && text.bottom() > form->edit2->y());
}

TEST_F(MainWindowTest, FileThatCannotBeOpenedGetsTheEditorsTextWithoutAnExtraFullStop)
{
    Open(folder.Write("good.bin", Image(100)));
    const QString missing = dir.filePath("missing.bin");
    Open(missing);
    ASSERT_EQ(Boxes().size(), 1u);
    const QString text = Boxes()[0].Text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Cannot open %1.\r\n(").arg(missing))) << text.toStdString();
    // The text ends in ")" which sorts before ".": no full stop is added.
    EXPECT_TRUE(text.endsWith(QStringLiteral(".)"))) << text.toStdString();
    EXPECT_EQ(form->windowTitle(), "missing.bin");
    EXPECT_EQ(form->Label1->text(), "ABCDEFGHIJKLM");
    EXPECT_EQ(form->edit2->text(), ChecksumOf(Image(100)));

    // Extract from it fails before its save dialog.
    dialogs->ClearRecords();
    form->Button2->click();
    EXPECT_TRUE(dialogs->DialogsShown().isEmpty());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(Boxes()[0].Text.contains(missing)) << Boxes()[0].Text.toStdString();
}

TEST_F(MainWindowTest, ChecksumOfZeroLeavesTheChecksumBoxAsItWas)
{
    const QByteArray image = Image(100);
    Open(folder.Write("first.bin", image));
    const QByteArray zero = WithZeroCrc(Image(60, "ZEROCRCIMAGE!", "00000000000"));
    ASSERT_EQ(ReferenceCrc32(zero), 0xFFFFFFFFu) << "the test image must have a CRC-32 of 0";
    Open(folder.Write("zero.bin", zero));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(form->Label1->text(), "ZEROCRCIMAGE!");
    EXPECT_EQ(form->Label2->text(), "00000000000");
    EXPECT_EQ(form->edit2->text(), ChecksumOf(image));
}

TEST_F(MainWindowTest, ExtractAlwaysAppendsBinAndSavesTheBlockAtTheMarker)
{
    const QByteArray image = ImageWithMarker(0x2000 + 0x10000 + 500, 0x2000, 1);
    Open(folder.Write("image.bin", image));
    dialogs->ClearRecords();
    const QString chosen = dir.filePath("boot.bin");
    dialogs->Choose(chosen);
    form->Button2->click();

    EXPECT_EQ(dialogs->DialogsShown(), QStringList{"SaveDialog1"});
    EXPECT_FALSE(QFileInfo::exists(chosen));
    EXPECT_EQ(TTestFolder::Read(chosen + ".bin"), image.mid(0x2000, 0x10000));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].BoxKind, TBox::bkInformation);
    EXPECT_EQ(Boxes()[0].Caption, "Information");
    EXPECT_EQ(Boxes()[0].Text, QStringLiteral("File Saved to: %1.bin!").arg(chosen));
    // The dialog keeps its name for the next use.
    EXPECT_EQ(form->SaveDialog1.FileName, chosen);
    // Nothing the window shows has changed.
    EXPECT_EQ(form->windowTitle(), "image.bin");
    EXPECT_EQ(form->MPHexEditor1->DataSize(), image.size());
}

TEST_F(MainWindowTest, ExtractReadsTheEditedPathWhileInsertUsesTheOpenedImage)
{
    const QByteArray opened = ImageWithMarker(0x12000, 0x100, 2);
    const QByteArray typed = ImageWithMarker(0x12000, 0x300, 3);
    const QString openedPath = folder.Write("opened.bin", opened);
    Open(openedPath);
    form->Edit1->setText(folder.Write("typed.bin", typed));
    dialogs->ClearRecords();

    dialogs->Choose(dir.filePath("block"));
    form->Button2->click();
    EXPECT_EQ(TTestFolder::Read(dir.filePath("block.bin")), typed.mid(0x300, 0x10000));

    const QByteArray boot = BootFile(7);
    dialogs->Choose(folder.Write("new_boot.bin", boot));
    dialogs->Choose(dir.filePath("patched"));
    form->Button3->click();
    EXPECT_EQ(dialogs->DialogsShown(), (QStringList{"SaveDialog1", "OpenDialog2", "SaveDialog1"}));
    QByteArray expected = opened;
    expected.replace(0x100, 0x10000, boot);
    EXPECT_EQ(TTestFolder::Read(dir.filePath("patched.bin")), expected);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].Text, QStringLiteral("File Saved to: %1.bin!").arg(dir.filePath("patched")));
    // Neither command touched the image files or what the window shows.
    EXPECT_EQ(TTestFolder::Read(openedPath), opened);
    EXPECT_EQ(form->Edit1->text(), dir.filePath("typed.bin"));
    EXPECT_EQ(form->windowTitle(), "opened.bin");
}

TEST_F(MainWindowTest, InsertRefusesABootFileOfTheWrongLengthBeforeAnySaveDialog)
{
    const QString imagePath = folder.Write("image.bin", ImageWithMarker(0x11000, 0x10, 4));
    Open(imagePath);
    for (int size : {1024, 0x10000 - 1, 0x10000 + 1}) {
        SCOPED_TRACE(size);
        dialogs->ClearRecords();
        const QStringList before = Entries();
        dialogs->Choose(folder.Write(QStringLiteral("boot%1.dat").arg(size), BootFile(1, size)));
        form->Button3->click();

        // Only the boot file was asked for: no save dialog followed.
        EXPECT_EQ(dialogs->DialogsShown(), QStringList{"OpenDialog2"});
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].BoxKind, TBox::bkError);
        EXPECT_EQ(Boxes()[0].Caption, "Erreur");
        EXPECT_EQ(Boxes()[0].Text, "Error boot file!");
        EXPECT_EQ(Entries().size(), before.size() + 1) << "only the boot file itself was added";
    }
}

TEST_F(MainWindowTest, CancelledDialogsWriteNothingAndLeaveTheImageUsable)
{
    const QByteArray image = ImageWithMarker(0x10100, 0x40, 5);
    const QString path = folder.Write("image.bin", image);
    Open(path);
    const QStringList before = Entries();

    dialogs->Cancel(); // Extract's save dialog
    form->Button2->click();
    dialogs->Cancel(); // Insert's boot file dialog
    form->Button3->click();
    dialogs->Choose(folder.Write("boot.bin", BootFile(9)));
    dialogs->Cancel(); // Insert's save dialog
    form->Button3->click();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Entries().size(), before.size() + 1) << "only the boot file itself was added";

    // The image opens and extracts normally afterwards.
    Open(path);
    EXPECT_EQ(form->MPHexEditor1->DataSize(), image.size());
    dialogs->Choose(dir.filePath("again"));
    form->Button2->click();
    EXPECT_EQ(TTestFolder::Read(dir.filePath("again.bin")), image.mid(0x40, 0x10000));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].BoxKind, TBox::bkInformation);
}

TEST_F(MainWindowTest, FailedSaveLeavesTheTargetUntouchedAndTheWindowWorking)
{
    const QByteArray image = ImageWithMarker(0x10200, 0x80, 6);
    const QString imagePath = folder.Write("image.bin", image);
    Open(imagePath);
    const QByteArray oldTarget("previous boot file content");
    const QString target = folder.Write("target.bin", oldTarget);
    const QString bootPath = folder.Write("boot.bin", BootFile(3));
    const QStringList before = Entries();
    dialogs->ClearRecords();

    {
        TFileSizeLimit limit(4096);
        ASSERT_TRUE(limit.Active());
        dialogs->Choose(dir.filePath("target")); // Extract saves target.bin
        form->Button2->click();
        dialogs->Choose(bootPath);
        dialogs->Choose(imagePath.chopped(4)); // Insert saves onto the image itself
        form->Button3->click();
    }
    ASSERT_EQ(Boxes().size(), 2u);
    for (const TBox& box : Boxes()) {
        EXPECT_EQ(box.BoxKind, TBox::bkUnhandled);
        EXPECT_FALSE(box.Text.isEmpty());
    }
    EXPECT_TRUE(Boxes()[0].Text.contains(target)) << Boxes()[0].Text.toStdString();
    EXPECT_EQ(TTestFolder::Read(target), oldTarget);
    EXPECT_EQ(TTestFolder::Read(imagePath), image);
    // No temporary file is left behind.
    EXPECT_EQ(Entries(), before);

    // Without the limit the same commands succeed; saving onto the image
    // itself replaces it whole.
    dialogs->ClearRecords();
    dialogs->Choose(dir.filePath("target"));
    form->Button2->click();
    EXPECT_EQ(TTestFolder::Read(target), image.mid(0x80, 0x10000));
    dialogs->Choose(bootPath);
    dialogs->Choose(imagePath.chopped(4));
    form->Button3->click();
    QByteArray expected = image;
    expected.replace(0x80, 0x10000, BootFile(3));
    EXPECT_EQ(TTestFolder::Read(imagePath), expected);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].BoxKind, TBox::bkInformation);
}

TEST_F(MainWindowTest, LoadReportsProgressAndCancellingItStopsOpen)
{
    const QByteArray big = Image(200000);
    const QString bigPath = folder.Write("big.bin", big);
    Open(bigPath);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(dialogs->ProgressReports(), (std::vector<int>{0, 31, 61, 100}));
    EXPECT_EQ(dialogs->LoadsFinished(), 1);
    const QString crc = form->edit2->text();

    dialogs->ClearRecords();
    dialogs->CancelAtProgressReport(1);
    Open(folder.Write("big2.bin", Image(200000, "NOPQRSTUVWXYZ", "99999999999")));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].BoxKind, TBox::bkUnhandled);
    EXPECT_EQ(Boxes()[0].Text, "Operation cancelled.");
    EXPECT_EQ(dialogs->ProgressReports(), (std::vector<int>{0, 31}));
    EXPECT_EQ(dialogs->LoadsFinished(), 2) << "the progress display ends also when the load fails";
    EXPECT_EQ(form->Label1->text(), "ABCDEFGHIJKLM");
    EXPECT_EQ(form->edit2->text(), crc);
    EXPECT_EQ(form->MPHexEditor1->DataSize(), 0);
}

TEST_F(MainWindowTest, ClosingShowsTheCreditsAndCannotBeRefused)
{
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].BoxKind, TBox::bkPlain);
    EXPECT_EQ(Boxes()[0].Caption, editboot::ApplicationTitle());
    EXPECT_EQ(Boxes()[0].Text.split('\n').size(), 3);
}

TEST_F(MainWindowTest, ErrorsOutsideCommandsReachTheWindowsBoxUntilItIsGone)
{
    HandleApplicationException(std::make_exception_ptr(EMPHexEditor("Deferred failure")));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].BoxKind, TBox::bkUnhandled);
    EXPECT_EQ(Boxes()[0].Text, "Deferred failure.");

    // Once the window is destroyed its handler must not be called any more.
    bool reached = false;
    TApplicationErrorHandler outer = SetApplicationErrorHandler([&](std::exception_ptr) { reached = true; });
    {
        auto* second = new TScriptedFormDialogs;
        TForm1 other{std::unique_ptr<IFormDialogs>(second)};
        HandleApplicationException(std::make_exception_ptr(std::runtime_error("inner")));
        EXPECT_EQ(second->Boxes().size(), 1u);
    }
    HandleApplicationException(std::make_exception_ptr(std::runtime_error("after")));
    EXPECT_TRUE(reached);
    SetApplicationErrorHandler(std::move(outer));
}

TEST(ApplicationErrors, GuardShowsEveryKindOfErrorAndReportsTheOutcome)
{
    TScriptedFormDialogs dialogs;
    EXPECT_TRUE(editboot::RunGuarded(dialogs, [] {}));
    EXPECT_FALSE(editboot::RunGuarded(dialogs, [] { throw EFileOpenError("Cannot open x"); }));
    EXPECT_FALSE(editboot::RunGuarded(dialogs, [] { throw std::runtime_error("plain failure"); }));
    EXPECT_FALSE(editboot::RunGuarded(dialogs, [] { throw 42; }));
    ASSERT_EQ(dialogs.Boxes().size(), 3u);
    EXPECT_EQ(dialogs.Boxes()[0].Text, "Cannot open x.");
    EXPECT_EQ(dialogs.Boxes()[1].Text, "plain failure.");
    EXPECT_FALSE(dialogs.Boxes()[2].Text.isEmpty());
    for (const TBox& box : dialogs.Boxes())
        EXPECT_EQ(box.BoxKind, TBox::bkUnhandled);
}

} // namespace
