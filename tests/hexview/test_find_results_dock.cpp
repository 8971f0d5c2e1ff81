// Find all's list and its document: out of date after an edit, Undo or a
// reload (not after a save), searched again on request, and bound to the tab
// it was made in (another tab in front, the tab closed).

#include "window_fixture.h"

#include "hexview/fileactions.h"
#include "hexview/findresultsdock.h"
#include "hexview/saveactions.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>

using namespace hexview;

namespace {

class FindResultsDockTest : public HexViewWindowTest
{
protected:
    void SetUp() override
    {
        HexViewWindowTest::SetUp();
        AskToSaveChanges = [](HexViewWindow&) { return QMessageBox::Discard; };
    }
    void TearDown() override
    {
        AskToSaveChanges = m_askSave;
        HexViewWindowTest::TearDown();
    }
    // "ab" at 0x04, 0x14, 0x24 ... in 64 dots.
    static QByteArray Rows()
    {
        QByteArray bytes(64, '.');
        for (int at = 4; at < 64; at += 16)
            bytes.replace(at, 2, "ab");
        return bytes;
    }
    TFindResultsDock& FindAll(const char* hex)
    {
        EXPECT_TRUE(FindAllInWindow(*window, TFindRequest{QString::fromLatin1(hex), true, false}));
        return *window->findChild<TFindResultsDock*>();
    }
    // Clicks row of the list, the editor's selection before at 0.
    static void Click(TFindResultsDock& dock, int row) { emit dock.Table()->cellClicked(row, 0); }
    void SelectNothing()
    {
        Editor().SetSelection(0, 0);
        Editor().ResetSelection(true);
    }
    QAction* Action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }

private:
    const decltype(AskToSaveChanges) m_askSave = AskToSaveChanges;
};

} // namespace

TEST_F(FindResultsDockTest, AChangedDocumentMakesTheListOutOfDateUntilSearchedAgain)
{
    const QString path = files.Write("rows.bin", Rows());
    ASSERT_TRUE(window->OpenFile(path));
    TFindResultsDock& dock = FindAll("61 62");
    ASSERT_EQ(dock.Table()->rowCount(), 4);
    EXPECT_TRUE(dock.UpToDate());
    EXPECT_TRUE(dock.Notice()->isHidden());

    // Two bytes in front: every listed offset is now two bytes off.
    Editor().InsertBuffer("xy", 2, 0, QStringLiteral("typed"));
    EXPECT_FALSE(dock.UpToDate());
    EXPECT_FALSE(dock.Notice()->isHidden());
    EXPECT_EQ(dock.NoticeText()->text(), "The document has changed since this search.");
    EXPECT_EQ(dock.SearchAgainButton()->text(), "Search again");
    SelectNothing();
    Click(dock, 1);
    EXPECT_EQ(Editor().SelCount(), 0) << "an out-of-date row selects nothing";
    EXPECT_EQ(window->statusBar()->currentMessage(), "The list is out of date: Search again to update it");
    // Copy gives the lines as listed, not the bytes now at those offsets.
    dock.Table()->clearSelection();
    dock.CopySelected();
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("0x00000004\t2\t2E 2E 2E 2E [61 62]"))
        << QApplication::clipboard()->text().toStdString();

    dock.SearchAgainButton()->click();
    EXPECT_TRUE(dock.UpToDate());
    EXPECT_TRUE(dock.Notice()->isHidden());
    ASSERT_EQ(dock.Table()->rowCount(), 4);
    EXPECT_EQ(dock.Table()->item(0, 0)->text(), "0x00000006");
    Click(dock, 1);
    EXPECT_EQ(Editor().SelFirst(), 0x16);
    EXPECT_EQ(Editor().SelLast(), 0x17);

    // A save changes no bytes: the list stays. Undo and a reload do.
    ASSERT_TRUE(SaveDocument(*window));
    EXPECT_TRUE(dock.UpToDate()) << "a save is no change of the bytes";
    Action("actionUndo")->trigger();
    EXPECT_FALSE(dock.UpToDate()) << "Undo";
    dock.SearchAgain();
    ASSERT_TRUE(dock.UpToDate());
    EXPECT_EQ(dock.Table()->item(0, 0)->text(), "0x00000004");
    files.Write("rows.bin", QByteArray(8, 'a'));
    ASSERT_TRUE(window->ReloadDocument());
    EXPECT_FALSE(dock.UpToDate()) << "a reload";
    EXPECT_EQ(dock.NoticeText()->text(), "The document has changed since this search.");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}

TEST_F(FindResultsDockTest, TheListBelongsToTheTabItWasMadeIn)
{
    const QString first = files.Write("first.bin", QByteArray(64, '.'));
    const QString second = files.Write("second.bin", Rows());
    ASSERT_EQ(window->OpenFiles({first, second}), 2);
    TFindResultsDock& dock = FindAll("61 62");
    ASSERT_EQ(dock.Table()->rowCount(), 4);

    window->SetCurrentDocument(0);
    SelectNothing();
    EXPECT_FALSE(dock.Notice()->isHidden()) << "the list says whose it is";
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
    EXPECT_FALSE(dock.UpToDate());
    EXPECT_EQ(dock.NoticeText()->text(),
              "These results are from second.bin in another tab, which has changed since this search.");
    Click(dock, 2);
    EXPECT_EQ(window->CurrentIndex(), 0) << "an out-of-date row brings no tab to the front";
    EXPECT_EQ(Editor().SelCount(), 0);

    // Searched in the document in front, the list becomes that one's.
    dock.SearchAgainButton()->click();
    EXPECT_TRUE(dock.UpToDate());
    EXPECT_EQ(dock.Table()->rowCount(), 0);
    window->SetCurrentDocument(1);
    dock.SearchAgain();
    ASSERT_EQ(dock.Table()->rowCount(), 3);

    // Its tab closed: out of date, and a click selects in no other tab.
    window->CloseDocument(1);
    ASSERT_EQ(window->DocumentCount(), 1);
    EXPECT_FALSE(dock.UpToDate());
    EXPECT_EQ(dock.NoticeText()->text(), "The document of this search was closed.");
    SelectNothing();
    Click(dock, 0);
    EXPECT_EQ(Editor().SelCount(), 0);
    EXPECT_EQ(Editor().FileName(), first);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}
