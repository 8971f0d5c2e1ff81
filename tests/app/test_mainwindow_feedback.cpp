// What a person sees first in the window: the checksum and ID strings fit
// their boxes, Enter presses the focused button, and long work shows the busy
// cursor (but never over a file dialog).

#include "app/formfonts.h"
#include "app/scripteddialogs.h"
#include "app/unit1.h"

#include "test_folder.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Records the application's cursor at each progress report and each dialog.
class TCursorWatchingDialogs : public TScriptedFormDialogs
{
public:
    static Qt::CursorShape Current()
    {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        return cursor ? cursor->shape() : Qt::ArrowCursor;
    }
    bool OpenFile(TFileDialog& dialog) override
    {
        atDialogs.push_back(Current());
        return TScriptedFormDialogs::OpenFile(dialog);
    }
    bool SaveFile(TFileDialog& dialog) override
    {
        atDialogs.push_back(Current());
        return TScriptedFormDialogs::SaveFile(dialog);
    }
    bool LoadProgress(const QString& name, int percent) override
    {
        atProgress.push_back(Current());
        return TScriptedFormDialogs::LoadProgress(name, percent);
    }
    std::vector<Qt::CursorShape> atDialogs;
    std::vector<Qt::CursorShape> atProgress;
};

class WindowFeedback : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.dir.isValid());
        dialogs = new TCursorWatchingDialogs;
        form = std::make_unique<TForm1>(std::unique_ptr<IFormDialogs>(dialogs));
    }

    TTestFolder folder;
    TCursorWatchingDialogs* dialogs = nullptr; // owned by the form
    std::unique_ptr<TForm1> form;
};

QByteArray ImageWithIds(int size)
{
    QByteArray bytes(size, 'x');
    bytes.replace(32, 13, "WWWWWWWWWWWWW");
    bytes.replace(48, 11, "MMMMMMMMMMM");
    bytes.replace(0x100, 4, QByteArray("\xE3\x00\x00\x10", 4));
    return bytes;
}

} // namespace

TEST_F(WindowFeedback, FontsAreTheChosenStandIns)
{
    EXPECT_EQ(QFontInfo(form->Button4->font()).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(form->Label1->font()).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(EditorFont()).family(), "Liberation Mono");
    EXPECT_TRUE(QFontInfo(form->edit2->font()).bold());
    EXPECT_EQ(QFontInfo(form->edit2->font()).family(), "Liberation Sans");
    // Narrowed only as far as needed.
    EXPECT_GE(form->edit2->font().stretch(), 85);
}

TEST_F(WindowFeedback, EveryEightDigitChecksumFitsItsBox)
{
    const QFontMetrics metrics(form->edit2->font());
    const int room = LineEditTextWidth(*form->edit2);
    // Not only the widest digits: each hex digit repeated eight times.
    for (QChar digit : QStringLiteral("0123456789ABCDEF")) {
        const QString text(8, digit);
        EXPECT_LE(metrics.horizontalAdvance(text), room) << text.toStdString() << " in " << room << " pixels";
    }
    // The text area lies inside the box's contents rectangle.
    EXPECT_GT(room, 0);
    EXPECT_LE(room, form->edit2->contentsRect().width());
}

TEST_F(WindowFeedback, LongestIdStringsEndBeforeTheSecondLabel)
{
    const QString path = folder.Write("ids.bin", ImageWithIds(200));
    dialogs->Choose(path);
    form->Button4->click();
    ASSERT_EQ(form->Label1->text(), "WWWWWWWWWWWWW");
    const int end = form->Label1->x() + QFontMetrics(form->Label1->font()).horizontalAdvance(form->Label1->text());
    EXPECT_LT(end, form->Label2->x());
    EXPECT_LE(form->Label1->geometry().right(), form->Label2->x());
}

TEST_F(WindowFeedback, EnterAndKeypadEnterPressTheFocusedButton)
{
    const QString path = folder.Write("ids.bin", ImageWithIds(200));
    form->show();
    // "open" by Enter, with a cancelled dialog: nothing changes but the dialog was shown.
    form->Button4->setFocus();
    dialogs->Cancel();
    QTest::keyClick(form->Button4, Qt::Key_Return);
    ASSERT_EQ(dialogs->DialogsShown(), QStringList({"OpenDialog1"}));
    // Keypad Enter chooses a file.
    dialogs->Choose(path);
    QTest::keyClick(form->Button4, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dialogs->DialogsShown(), QStringList({"OpenDialog1", "OpenDialog1"}));
    EXPECT_EQ(form->Edit1->text(), path);
    // Space still works, once per press.
    dialogs->Cancel();
    QTest::keyClick(form->Button2, Qt::Key_Space);
    EXPECT_EQ(dialogs->DialogsShown().size(), 3);
    EXPECT_EQ(dialogs->DialogsShown().last(), "SaveDialog1");
    // A disabled button ignores Enter; Ctrl+Enter is not a press.
    form->Button3->setEnabled(false);
    QTest::keyClick(form->Button3, Qt::Key_Return);
    QTest::keyClick(form->Button4, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(dialogs->DialogsShown().size(), 3);
}

TEST_F(WindowFeedback, BusyCursorForTheWholeLoadButNotOverDialogs)
{
    const QString path = folder.Write("big.bin", ImageWithIds(3000000));
    dialogs->Choose(path);
    form->Button4->click();
    ASSERT_FALSE(dialogs->atProgress.empty());
    for (Qt::CursorShape shape : dialogs->atProgress)
        EXPECT_EQ(shape, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // Extract and Insert: busy while they read and write, never over a dialog.
    dialogs->Choose(folder.dir.filePath("block"));
    form->Button2->click();
    const QString boot = folder.Write("boot.bin", QByteArray(0x10000, 'b'));
    dialogs->Choose(boot);
    dialogs->Choose(folder.dir.filePath("patched"));
    form->Button3->click();
    EXPECT_EQ(TTestFolder::Read(folder.dir.filePath("patched.bin")).mid(0x100, 0x10000), QByteArray(0x10000, 'b'));
    for (Qt::CursorShape shape : dialogs->atDialogs)
        EXPECT_EQ(shape, Qt::ArrowCursor);
    EXPECT_EQ(dialogs->atDialogs.size(), 4u);
    // Also after a failed command the cursor is back.
    form->Edit1->setText(folder.dir.filePath("missing.bin"));
    form->Button2->click();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(WindowFeedback, SpecialFilesAreRefusedWithAClearMessage)
{
    const QString fifo = folder.dir.filePath("pipe.bin");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    dialogs->Choose(fifo);
    form->Button4->click();
    ASSERT_EQ(dialogs->Boxes().size(), 1u);
    EXPECT_EQ(dialogs->Boxes()[0].Text, QStringLiteral("Cannot open %1.\r\n(Not a regular file.)").arg(fifo));
    // Extract from the pipe named in the path box: refused, nothing saved.
    form->Button2->click();
    ASSERT_EQ(dialogs->Boxes().size(), 2u);
    EXPECT_TRUE(dialogs->Boxes()[1].Text.contains("not a regular file")) << dialogs->Boxes()[1].Text.toStdString();
    EXPECT_EQ(dialogs->DialogsShown(), QStringList({"OpenDialog1"}));
}
