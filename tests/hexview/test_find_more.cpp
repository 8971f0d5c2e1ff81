// Find in the window beyond the next match: within the selection, the wrap
// notice, regular expressions, Find all's list, the histories, and Replace
// all's scope, progress and cancel.

#include "window_fixture.h"

#include "hexview/core/configfile.h"
#include "hexview/core/findhistory.h"
#include "hexview/findactions.h"
#include "hexview/findresultsdock.h"
#include "hexview/replaceactions.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>

using namespace hexview;

namespace {

class FindMoreTest : public HexViewWindowTest
{
protected:
    void open(const QByteArray& bytes) { ASSERT_TRUE(window->OpenFile(files.Write("more.bin", bytes))); }
    QAction* action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    TFindDialog* findDialog() { return window->findChild<TFindDialog*>(); }
    QString statusMessage() { return window->statusBar()->currentMessage(); }
    QByteArray data()
    {
        QByteArray bytes(Editor().DataSize(), '\0');
        Editor().ReadBuffer(bytes.data(), 0, bytes.size());
        return bytes;
    }
    void select(int first, int last)
    {
        Editor().SetSelStart(first);
        Editor().SetSelEnd(last);
    }
    // Opens the Find dialog with text in the given mode ("findHex",
    // "findTextMode", "findRegex").
    TFindDialog* prepare(const QString& text, const char* mode, bool inSelection = false)
    {
        action("actionFind")->trigger();
        TFindDialog* dialog = findDialog();
        dialog->findChild<QLineEdit*>("findText")->setText(text);
        dialog->findChild<QRadioButton*>(mode)->setChecked(true);
        dialog->findChild<QCheckBox*>("findInSelection")->setChecked(inSelection);
        return dialog;
    }
    void click(QDialog* dialog, const char* button) { dialog->findChild<QPushButton*>(button)->click(); }

    // "ab" every 16 bytes from 4 on.
    static QByteArray Rows()
    {
        QByteArray bytes(256, '.');
        for (int at = 4; at < 256; at += 16)
            bytes.replace(at, 2, "ab");
        return bytes;
    }
};

} // namespace

TEST_F(FindMoreTest, InSelectionStaysInsideTheSelectionAndSaysWhenItWraps)
{
    open(Rows());
    select(0x10, 0x3F); // holds the matches at 0x14, 0x24 and 0x34
    TFindDialog* dialog = prepare("ab", "findTextMode", true);
    EXPECT_EQ(dialog->findChild<QCheckBox*>("findInSelection")->text(), "In &selection (0x10-0x3F)");
    for (const int expected : {0x14, 0x24, 0x34}) {
        click(dialog, "findNext");
        EXPECT_EQ(Editor().SelFirst(), expected);
        EXPECT_EQ(Editor().SelCount(), 2);
    }
    EXPECT_EQ(statusMessage(), "");
    click(dialog, "findNext");
    EXPECT_EQ(Editor().SelFirst(), 0x14) << "wraps inside the selection";
    EXPECT_EQ(statusMessage(), "Search wrapped to the start of the selection");
    EXPECT_EQ(dialog->Result()->text(), "Search wrapped to the start of the selection");
    click(dialog, "findPrevious");
    EXPECT_EQ(Editor().SelFirst(), 0x34);
    EXPECT_EQ(statusMessage(), "Search wrapped to the end of the selection");
    // F3 keeps the scope too.
    action("actionFindNext")->trigger();
    EXPECT_EQ(Editor().SelFirst(), 0x14);
    // Opened again on the match found last, the dialog keeps the scope; on
    // another selection that selection becomes the scope.
    action("actionFind")->trigger();
    EXPECT_EQ(dialog->findChild<QCheckBox*>("findInSelection")->text(), "In &selection (0x10-0x3F)");
    select(0x20, 0x2F);
    action("actionFind")->trigger();
    EXPECT_EQ(dialog->findChild<QCheckBox*>("findInSelection")->text(), "In &selection (0x20-0x2F)");
    click(dialog, "findNext");
    EXPECT_EQ(Editor().SelFirst(), 0x24);
    select(0x10, 0x3F);
    action("actionFind")->trigger();

    // Without the box the whole document counts again.
    dialog->findChild<QCheckBox*>("findInSelection")->setChecked(false);
    select(0xF4, 0xF5);
    click(dialog, "findNext");
    EXPECT_EQ(Editor().SelFirst(), 0x4);
    EXPECT_EQ(statusMessage(), "Search wrapped to the start of the data");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(FindMoreTest, RegularExpressionsFindBytesAndBadOnesAreReported)
{
    QByteArray bytes(64, '\0');
    bytes.replace(40, 6, QByteArray("\xE3\x00\x00\x10\xFF\x7F", 6));
    open(bytes);
    TFindDialog* dialog = prepare("\\xE3\\x00{2}\\x10[\\x80-\\xFF]", "findRegex");
    click(dialog, "findNext");
    EXPECT_EQ(Editor().SelFirst(), 40);
    EXPECT_EQ(Editor().SelLast(), 44);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    dialog->findChild<QLineEdit*>("findText")->setText("(unclosed");
    click(dialog, "findNext");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.front(), "Invalid regular expression at character 10: missing closing parenthesis.")
        << errors.front().toStdString();
    EXPECT_EQ(Editor().SelFirst(), 40) << "the selection stays";
    EXPECT_EQ(LoadFindHistory(TConfigFile(), THistoryKind::Find),
              (QStringList{"\\xE3\\x00{2}\\x10[\\x80-\\xFF]"}))
        << "an invalid expression is no history entry";
}

TEST_F(FindMoreTest, FindAllListsTheMatchesJumpsOnAClickAndCopies)
{
    open(Rows());
    TFindDialog* dialog = prepare("61 62", "findHex");
    click(dialog, "findAll");
    auto* dock = window->findChild<TFindResultsDock*>();
    ASSERT_NE(dock, nullptr);
    EXPECT_TRUE(dock->isVisible());
    EXPECT_EQ(dock->Summary()->text(), "16 match(es)");
    EXPECT_EQ(statusMessage(), "16 match(es)");
    QTableWidget* table = dock->Table();
    ASSERT_EQ(table->rowCount(), 16);
    EXPECT_EQ(table->item(2, 0)->text(), "0x00000024");
    EXPECT_EQ(table->item(2, 1)->text(), "2");
    EXPECT_EQ(table->item(2, 2)->text(), "2E 2E 2E 2E 2E 2E 2E 2E [61 62] 2E 2E 2E 2E 2E 2E 2E 2E");
    EXPECT_EQ(table->item(2, 3)->text(), "........ab........");

    emit table->cellClicked(3, 1);
    EXPECT_EQ(Editor().SelFirst(), 0x34);
    EXPECT_EQ(Editor().SelLast(), 0x35);

    // (selectRow would follow modifier keys an earlier test may have left)
    table->selectionModel()->select(table->model()->index(1, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ASSERT_EQ(table->selectionModel()->selectedRows().size(), 1);
    dock->findChild<QPushButton*>("findResultsCopy")->click();
    EXPECT_EQ(QApplication::clipboard()->text(),
              "0x00000014\t2\t2E 2E 2E 2E 2E 2E 2E 2E [61 62] 2E 2E 2E 2E 2E 2E 2E 2E\t........ab........\n")
        << QApplication::clipboard()->text().toStdString();

    // Within a selection, and nothing found.
    select(0, 0x2F);
    dialog = prepare("61 62", "findHex", true);
    click(dialog, "findAll");
    EXPECT_EQ(dock->Summary()->text(), "3 match(es) in the selection");
    dialog = prepare("7A", "findHex");
    click(dialog, "findAll");
    EXPECT_EQ(table->rowCount(), 0);
    EXPECT_EQ(statusMessage(), "Not found");
}

TEST_F(FindMoreTest, HistoriesAreKeptInTheConfigurationAndComeBack)
{
    open(Rows());
    click(prepare("61 62", "findHex"), "findNext");
    click(prepare("ab", "findTextMode"), "findNext");
    click(prepare("61 62", "findHex"), "findNext");
    const TConfigFile stored;
    EXPECT_EQ(LoadFindHistory(stored, THistoryKind::Find), (QStringList{"61 62", "ab"}));
    auto* combo = findDialog()->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), "ab");

    // Replace keeps what it replaced with; a new window offers both lists.
    action("actionReplace")->trigger();
    auto* replace = window->findChild<TReplaceDialog*>();
    replace->findChild<QLineEdit*>("replaceFind")->setText("6162");
    replace->findChild<QLineEdit*>("replaceWith")->setText("4142");
    replace->findChild<QPushButton*>("replaceAll")->click();
    EXPECT_EQ(LoadFindHistory(TConfigFile(), THistoryKind::Replace), (QStringList{"4142"}));
    EXPECT_EQ(LoadFindHistory(TConfigFile(), THistoryKind::Find), (QStringList{"6162", "61 62", "ab"}));

    window = std::make_unique<HexViewWindow>();
    window->ErrorReporter = [this](const QString& text) { errors << text; };
    action("actionFind")->trigger();
    combo = findDialog()->findChild<QComboBox*>();
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "6162");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(FindMoreTest, ReplaceAllWithARegularExpressionInsideTheSelection)
{
    open(QByteArray("id=12;id=345;id=6;"));
    select(6, 12); // "id=345;"
    TFindRequest request;
    request.Text = "id=[0-9]+";
    request.Regex = true;
    request.ScopeFirst = 6;
    request.ScopeEnd = 13;
    EXPECT_EQ(ReplaceAllInWindow(*window, request, "id=\\x30"), 1);
    EXPECT_EQ(data(), QByteArray("id=12;id=0;id=6;"));
    Editor().Undo();
    EXPECT_EQ(data(), QByteArray("id=12;id=345;id=6;"));
    request.ScopeEnd = -1;
    EXPECT_EQ(ReplaceAllInWindow(*window, request, "x"), 3);
    EXPECT_EQ(data(), QByteArray("x;x;x;"));
    EXPECT_EQ(ReplaceAllInWindow(*window, request, "\\q"), 0);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().startsWith("Invalid replacement at character 1")) << errors.front().toStdString();
}

TEST_F(FindMoreTest, ReplaceAllOnALargeDocumentShowsProgressAndCancelChangesNothing)
{
    QByteArray bytes(20 * 1024 * 1024, '\x55');
    for (int at = 0; at < bytes.size(); at += 4096)
        bytes[at] = '\x01';
    open(bytes);
    std::vector<int> percents;
    window->ProgressHook = [&](QProgressDialog& dialog, int percent) {
        percents.push_back(percent);
        if (percent >= 20)
            dialog.cancel();
    };
    const TFindRequest request{QStringLiteral("01"), true, false};
    EXPECT_EQ(ReplaceAllInWindow(*window, request, "02 02"), 0);
    EXPECT_EQ(statusMessage(), "Replace all cancelled: nothing changed");
    EXPECT_FALSE(Editor().CanUndo());
    EXPECT_FALSE(Editor().Modified());
    EXPECT_EQ(Editor().DataSize(), bytes.size());
    ASSERT_FALSE(percents.empty());

    percents.clear();
    window->ProgressHook = [&](QProgressDialog&, int percent) { percents.push_back(percent); };
    EXPECT_EQ(ReplaceAllInWindow(*window, request, "02 02"), 5120);
    EXPECT_EQ(statusMessage(), "Replaced 5120 match(es)");
    EXPECT_EQ(Editor().DataSize(), bytes.size() + 5120);
    EXPECT_EQ(Editor().ByteAt(4097), 0x02);
    ASSERT_GE(percents.size(), 3u);
    EXPECT_GE(percents.back(), 99);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}
