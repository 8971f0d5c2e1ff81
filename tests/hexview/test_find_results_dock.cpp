// Find all's list and its document: out of date after an edit, Undo or a
// reload (not after a save), searched again on request, and bound to the tab
// it was made in (another tab in front, the tab closed).

#include "window_fixture.h"

#include "hexview/findresultsdock.h"
#include "hexview/saveactions.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

using namespace hexview;

namespace {

class FindResultsDockTest : public HexViewWindowTest
{
protected:
    // "ab" at 0x04, 0x14, 0x24, 0x34 in 64 dots.
    static QByteArray Rows()
    {
        QByteArray bytes(64, '.');
        for (int at = 4; at < 64; at += 16)
            bytes.replace(at, 2, "ab");
        return bytes;
    }
    TFindResultsDock& FindAll()
    {
        EXPECT_TRUE(FindAllInWindow(*window, TFindRequest{QStringLiteral("61 62"), true, false}));
        return *window->findChild<TFindResultsDock*>();
    }
    // Clicks a row with nothing selected in the editor before.
    void Click(TFindResultsDock& dock, int row)
    {
        Editor().ResetSelection(true);
        emit dock.Table()->cellClicked(row, 0);
    }
};

} // namespace

TEST_F(FindResultsDockTest, AChangedDocumentMakesTheListOutOfDateUntilSearchedAgain)
{
    ASSERT_TRUE(window->OpenFile(files.Write("rows.bin", Rows())));
    TFindResultsDock& dock = FindAll();
    EXPECT_TRUE(dock.UpToDate());
    EXPECT_TRUE(dock.Notice()->isHidden());

    // Two bytes in front: every listed offset is now two bytes off.
    Editor().InsertBuffer("xy", 2, 0, QStringLiteral("typed"));
    EXPECT_FALSE(dock.Notice()->isHidden());
    EXPECT_EQ(dock.NoticeText()->text(), "The document has changed since this search.");
    Click(dock, 1);
    EXPECT_EQ(Editor().SelCount(), 0) << "an out-of-date row selects nothing";
    // Copy gives the lines as listed, not the bytes now at those offsets.
    dock.Table()->clearSelection();
    dock.CopySelected();
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("0x00000004\t2\t2E 2E 2E 2E [61 62]"));

    dock.SearchAgainButton()->click();
    EXPECT_TRUE(dock.Notice()->isHidden());
    EXPECT_EQ(dock.Table()->item(0, 0)->text(), "0x00000006");
    Click(dock, 1);
    EXPECT_EQ(Editor().SelFirst(), 0x16);

    // A save changes no bytes: the list stays. Undo and a reload do.
    ASSERT_TRUE(SaveDocument(*window));
    EXPECT_TRUE(dock.UpToDate()) << "a save is no change of the bytes";
    Editor().Undo();
    EXPECT_FALSE(dock.UpToDate()) << "Undo";
    dock.SearchAgain();
    ASSERT_TRUE(dock.UpToDate());
    ASSERT_TRUE(window->ReloadDocument());
    EXPECT_FALSE(dock.UpToDate()) << "a reload";
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}

TEST_F(FindResultsDockTest, TheListBelongsToTheTabItWasMadeIn)
{
    const QString first = files.Write("first.bin", QByteArray(64, '.'));
    ASSERT_EQ(window->OpenFiles({first, files.Write("second.bin", Rows())}), 2);
    TFindResultsDock& dock = FindAll();

    window->SetCurrentDocument(0);
    EXPECT_EQ(dock.NoticeText()->text(),
              "These results are from second.bin in another tab; a click on a row brings it to the front.");
    EXPECT_EQ(dock.SearchAgainButton()->text(), "Search this document");
    Click(dock, 2);
    EXPECT_EQ(window->CurrentIndex(), 1) << "the match is shown in its own document";
    EXPECT_EQ(Editor().SelFirst(), 0x24);
    EXPECT_EQ(window->Document(0).Editor().SelCount(), 0) << "never in the tab that was in front";
    EXPECT_TRUE(dock.Notice()->isHidden());

    // Changed out of sight: still another tab's, now out of date too.
    window->SetCurrentDocument(0);
    window->Document(1).Editor().WriteBuffer("zz", 0x24, 2);
    EXPECT_EQ(dock.NoticeText()->text(),
              "These results are from second.bin in another tab, which has changed since this search.");
    Click(dock, 2);
    EXPECT_EQ(window->CurrentIndex(), 0) << "an out-of-date row brings no tab to the front";
    EXPECT_EQ(Editor().SelCount(), 0);

    // Searched again there, then its tab closed: out of date, and a click
    // selects in no other tab.
    window->SetCurrentDocument(1);
    dock.SearchAgain();
    ASSERT_EQ(dock.Table()->rowCount(), 3);
    const auto ask = AskToSaveChanges;
    AskToSaveChanges = [](HexViewWindow&) { return QMessageBox::Discard; };
    window->CloseDocument(1);
    AskToSaveChanges = ask;
    EXPECT_EQ(dock.NoticeText()->text(), "The document of this search was closed.");
    Click(dock, 0);
    EXPECT_EQ(Editor().SelCount(), 0);
    EXPECT_EQ(Editor().FileName(), first);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}
