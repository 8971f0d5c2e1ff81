// Find (Ctrl+F, F3, Shift+F3) and Go to offset (Ctrl+G) in the window.

#include "window_fixture.h"

#include "hexview/findactions.h"
#include "hexview/statusbar.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

using namespace hexview;

namespace {

class FindGotoTest : public HexViewWindowTest
{
protected:
    void open(const QByteArray& bytes) { ASSERT_TRUE(window->OpenFile(files.Write("find.bin", bytes))); }
    QAction* action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    TFindDialog* findDialog() { return window->findChild<TFindDialog*>(); }

    // Opens the Find dialog and searches with its buttons.
    void findWithDialog(const QString& text, bool hex, bool ignoreCase, bool forward = true)
    {
        action("actionFind")->trigger();
        TFindDialog* dialog = findDialog();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(dialog->isVisible());
        dialog->findChild<QLineEdit*>("findText")->setText(text);
        dialog->findChild<QRadioButton*>(hex ? "findHex" : "findTextMode")->setChecked(true);
        dialog->findChild<QCheckBox*>("findIgnoreCase")->setChecked(ignoreCase);
        dialog->findChild<QPushButton*>(forward ? "findNext" : "findPrevious")->click();
    }

    QString statusMessage() { return window->statusBar()->currentMessage(); }

    static QByteArray Image()
    {
        QByteArray data(4096, '\x55');
        data.replace(100, 4, QByteArray("\xE3\x00\x00\x10", 4));
        data.replace(2000, 4, QByteArray("\xE3\x00\x00\x10", 4));
        data.replace(3000, 9, "Zelq boot");
        return data;
    }
};

} // namespace

TEST_F(FindGotoTest, HexPatternThenF3AndShiftF3StepAndWrap)
{
    open(Image());
    findWithDialog("E3000010", true, false);
    EXPECT_EQ(Editor().SelFirst(), 100);
    EXPECT_EQ(Editor().SelLast(), 103);
    action("actionFindNext")->trigger();
    EXPECT_EQ(Editor().SelFirst(), 2000);
    action("actionFindNext")->trigger(); // wraps
    EXPECT_EQ(Editor().SelFirst(), 100);
    action("actionFindPrevious")->trigger(); // wraps backwards
    EXPECT_EQ(Editor().SelFirst(), 2000);
    EXPECT_TRUE(errors.isEmpty());
    // The status bar follows the selection.
    EXPECT_TRUE(window->StatusFields().Selection()->text().contains("0x7D0")) << window->StatusFields().Selection()->text().toStdString();
}

TEST_F(FindGotoTest, TextCaseSensitiveAndNot)
{
    open(Image());
    findWithDialog("ZELQ", false, false);
    EXPECT_EQ(Editor().SelCount(), 0);
    EXPECT_EQ(statusMessage(), "Not found: \"ZELQ\"");
    EXPECT_EQ(findDialog()->Result()->text(), "Not found: \"ZELQ\"");
    findWithDialog("ZELQ", false, true);
    EXPECT_EQ(Editor().SelFirst(), 3000);
    EXPECT_EQ(Editor().SelectionAsText(), "Zelq");
    EXPECT_TRUE(findDialog()->Result()->text().isEmpty());
}

TEST_F(FindGotoTest, BadPatternIsAnErrorAndChangesNothing)
{
    open(Image());
    Editor().SetSelStart(7);
    findWithDialog("E3 0", true, false);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Invalid hex byte string")) << errors[0].toStdString();
    EXPECT_EQ(Editor().CaretPosition(), 7);
}

TEST_F(FindGotoTest, F3BeforeAnySearchOpensTheDialogAndKeysReachTheActions)
{
    open(Image());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Editor().setFocus();
    QTest::keyClick(&Editor(), Qt::Key_F3);
    ASSERT_NE(findDialog(), nullptr);
    EXPECT_TRUE(findDialog()->isVisible());
    findDialog()->findChild<QLineEdit*>("findText")->setText("E3 00 00 10");
    findDialog()->findChild<QPushButton*>("findNext")->click();
    EXPECT_EQ(Editor().SelFirst(), 100);
    findDialog()->hide();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Editor().setFocus();
    QTest::keyClick(&Editor(), Qt::Key_F3);
    EXPECT_EQ(Editor().SelFirst(), 2000);
    QTest::keyClick(&Editor(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Editor().SelFirst(), 100);
}

TEST_F(FindGotoTest, EmptyAndOneByteDocuments)
{
    findWithDialog("00", true, false);
    EXPECT_EQ(statusMessage(), "Not found: 00");
    EXPECT_TRUE(errors.isEmpty());
    open(QByteArray("\x42", 1));
    findWithDialog("b", false, true);
    EXPECT_EQ(Editor().SelFirst(), 0);
    EXPECT_EQ(Editor().SelLast(), 0);
    action("actionFindNext")->trigger();
    EXPECT_EQ(Editor().SelFirst(), 0);
}

TEST_F(FindGotoTest, LargeDocumentsShowProgressAndCanBeCancelled)
{
    QByteArray data(24 * 1024 * 1024, '\x55');
    data.replace(data.size() - 4, 4, QByteArray("\xE3\x00\x00\x10", 4));
    open(data);
    std::vector<int> percents;
    window->ProgressHook = [&](QProgressDialog&, int percent) { percents.push_back(percent); };
    findWithDialog("E3 00 00 10", true, false);
    EXPECT_EQ(Editor().SelFirst(), data.size() - 4);
    ASSERT_GE(percents.size(), 3u);
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents.back(), 100);
    EXPECT_FALSE(Editor().FindProgress()); // switched on only for the search

    Editor().SetSelStart(0);
    window->ProgressHook = [](QProgressDialog& dialog, int percent) {
        if (percent >= 10)
            dialog.cancel();
    };
    findWithDialog("01 02 03", true, false);
    EXPECT_EQ(statusMessage(), "Search cancelled");
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(Editor().CaretPosition(), 0);
}

TEST_F(FindGotoTest, GotoDialogRefusesWhatIsNotInTheDocument)
{
    open(QByteArray(0x1000, 'x'));
    TGotoDialog dialog(*window);
    dialog.Input()->setText("0x1000");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected); // still open, not accepted
    EXPECT_EQ(dialog.Message()->text(), "Offset 4096 (0x1000) lies outside the data: allowed are 0 to 4095 (0xFFF)");
    dialog.Input()->setText("0xFFF");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Target(), 0xFFF);

    TGotoDialog bad(*window);
    bad.Input()->setText("twelve");
    bad.accept();
    EXPECT_TRUE(bad.Message()->text().contains("is not an offset"));
}

TEST_F(FindGotoTest, CtrlGMovesTheCaretRelativeAndAbsolute)
{
    open(QByteArray(0x1000, 'x'));
    auto answer = [this](const QString& text) {
        QTimer::singleShot(0, window.get(), [text] {
            auto* dialog = qobject_cast<TGotoDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->Input()->setText(text);
            dialog->accept();
        });
        action("actionGotoOffset")->trigger();
    };
    answer("0x800");
    EXPECT_EQ(Editor().CaretPosition(), 0x800);
    EXPECT_EQ(Editor().SelCount(), 0);
    answer("+16");
    EXPECT_EQ(Editor().CaretPosition(), 0x810);
    answer("-0x10");
    EXPECT_EQ(Editor().CaretPosition(), 0x800);
    // The caret row is on screen.
    EXPECT_GE(Editor().Row(), Editor().TopRow());
    EXPECT_LT(Editor().Row(), Editor().TopRow() + Editor().VisibleRowCount() + 1);

    // In insert mode the position after the last byte is a target.
    Editor().SetInsertMode(true);
    answer("4096");
    EXPECT_EQ(Editor().PositionAtCell(Editor().Col(), Editor().Row()), 4096);
}
