// hexview's documents in tabs: opening several, switching, closing, New,
// Reload, the unsaved-changes question per tab, loads that leave the shown
// document alone until they are complete, and the tool bar.

#include "window_fixture.h"

#include "hexview/core/configfile.h"
#include "hexview/documentwatch.h"
#include "hexview/entropystrip.h"
#include "hexview/fileactions.h"
#include "hexview/firmwareoverlay.h"
#include "hexview/saveactions.h"
#include "hexview/statusbar.h"
#include "hexview/toolbar.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

using namespace hexview;

namespace {

class DocumentsTest : public HexViewWindowTest
{
protected:
    void TearDown() override
    {
        AskToSaveChanges = m_askSave;
        AskReloadDroppingChanges = m_askReload;
        AskReloadChangedFile = m_askChanged;
        HexViewWindowTest::TearDown();
    }

    QAction* Action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }

    // Two files, each in its tab; the second in front.
    void OpenTwo()
    {
        first = files.Write("first.bin", "0123456789");
        second = files.Write("second.bin", "abcdef");
        ASSERT_EQ(window->OpenFiles({first, second}), 2);
    }

    QString first, second;

private:
    const decltype(AskToSaveChanges) m_askSave = AskToSaveChanges;
    const decltype(AskReloadDroppingChanges) m_askReload = AskReloadDroppingChanges;
    const decltype(AskReloadChangedFile) m_askChanged = AskReloadChangedFile;
};

} // namespace

TEST_F(DocumentsTest, FilesOpenInTabsThatSwitchAndClose)
{
    OpenTwo();
    auto* tabs = window->Tabs();
    ASSERT_EQ(window->DocumentCount(), 2) << "the first file took the unused Untitled tab";
    EXPECT_TRUE(tabs->tabBar()->isVisible());
    EXPECT_EQ(tabs->tabText(0), "first.bin");
    EXPECT_EQ(tabs->tabText(1), "second.bin");
    EXPECT_EQ(window->CurrentIndex(), 1);
    EXPECT_EQ(Editor().FileName(), second);
    EXPECT_EQ(window->windowTitle(), "second.bin - hexview");
    EXPECT_EQ(window->StatusFields().Size()->text(), "Size 6 bytes");

    window->SetCurrentDocument(0);
    EXPECT_EQ(Editor().FileName(), first);
    EXPECT_EQ(tabs->currentWidget(), &Editor());
    EXPECT_EQ(window->windowTitle(), "first.bin - hexview");
    EXPECT_EQ(window->StatusFields().Size()->text(), "Size 10 bytes") << "the status bar follows the tab";
    auto* strip = window->findChild<TEntropyStrip*>(QStringLiteral("entropyStrip"));
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->parentWidget(), &Editor()) << "the entropy strip sits on the editor in front";

    Action("actionClose")->trigger();
    ASSERT_EQ(window->DocumentCount(), 1);
    EXPECT_EQ(Editor().FileName(), second);
    EXPECT_EQ(window->windowTitle(), "second.bin - hexview");
    EXPECT_EQ(strip->parentWidget(), &Editor());
    QApplication::processEvents(); // the closed tab's editor goes
    EXPECT_FALSE(tabs->tabBar()->isVisible()) << "one document shows no tab bar";

    // The last one closed leaves an empty document, as the window starts.
    Action("actionClose")->trigger();
    ASSERT_EQ(window->DocumentCount(), 1);
    EXPECT_FALSE(Editor().HasFile());
    EXPECT_EQ(Editor().DataSize(), 0);
    EXPECT_EQ(window->windowTitle(), "Untitled - hexview");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}

TEST_F(DocumentsTest, MenusAndDisplaySettingsActOnTheCurrentTab)
{
    OpenTwo();
    window->SetCurrentDocument(0);
    Editor().SetSelStart(2);
    Editor().SetSelEnd(2);
    QTest::keyClicks(&Editor(), "4"); // over the high nibble at the caret: one undo step
    ASSERT_TRUE(Editor().Modified());
    EXPECT_EQ(window->Tabs()->tabText(0), "first.bin*") << "a changed document's tab says so";
    EXPECT_EQ(window->windowTitle(), "first.bin* - hexview");

    window->SetCurrentDocument(1);
    EXPECT_FALSE(Action("actionUndo")->isEnabled()) << "Undo follows the document in front";
    Action("actionUndo")->trigger();
    EXPECT_TRUE(window->Document(0).Editor().Modified()) << "the other tab's change stays";
    Action("actionSelectAll")->trigger();
    EXPECT_EQ(Editor().SelCount(), 6);
    EXPECT_EQ(window->Document(0).Editor().SelCount(), 0);

    window->SetCurrentDocument(0);
    EXPECT_TRUE(Action("actionUndo")->isEnabled());
    ASSERT_EQ(Editor().DataStorage().Memory()[2], 0x42);
    Action("actionUndo")->trigger();
    EXPECT_EQ(Editor().DataStorage().Memory()[2], '2') << "the undo reached the document in front";
    EXPECT_FALSE(Editor().CanUndo());

    // A new tab starts with the display settings of the one in front.
    Editor().SetBytesPerRow(8);
    Editor().SetShowRuler(true);
    Editor().SetWheelRows(5);
    window->NewDocument();
    EXPECT_EQ(Editor().BytesPerRow(), 8);
    EXPECT_TRUE(Editor().ShowRuler());
    EXPECT_EQ(Editor().WheelRows(), 5);
    EXPECT_TRUE(Editor().MultiLevelRedo());
    EXPECT_TRUE(Editor().OleDragDrop());
    EXPECT_TRUE(Editor().AtomicBackup());
    EXPECT_NE(Editor().OffsetPopupMenu(), nullptr);
}

TEST_F(DocumentsTest, NewIsAnEmptyDocumentWhereTypingInsertsAtOnce)
{
    OpenTwo();
    window->SetReadOnlyView(true); // the tab before is view only; the new one is for writing
    Action("actionNew")->trigger();
    ASSERT_EQ(window->DocumentCount(), 3);
    EXPECT_EQ(window->CurrentIndex(), 2) << "beside the tab it was made from";
    EXPECT_FALSE(Editor().HasFile());
    EXPECT_TRUE(Editor().InsertMode());
    EXPECT_FALSE(window->ReadOnlyView());
    EXPECT_TRUE(Action("actionInsertMode")->isChecked());
    QTest::keyClicks(&Editor(), "4142");
    ASSERT_EQ(Editor().DataSize(), 2) << "typing into the empty document inserts";
    EXPECT_EQ(Editor().DataStorage().Memory()[0], 0x41);
    EXPECT_EQ(Editor().DataStorage().Memory()[1], 0x42);
    EXPECT_TRUE(window->Tabs()->tabText(2).endsWith("*"));
    EXPECT_TRUE(window->Document(1).Editor().ReadOnlyView());
}

TEST_F(DocumentsTest, EachTabAsksAboutItsOwnUnsavedChanges)
{
    OpenTwo();
    const uint8_t z = 'Z';
    window->Document(0).Editor().WriteBuffer(&z, 0, 1);
    window->Document(1).Editor().WriteBuffer(&z, 0, 1);
    QStringList asked;
    AskToSaveChanges = [&](HexViewWindow& w) {
        asked << QFileInfo(w.Editor().FileName()).fileName();
        return QMessageBox::Cancel;
    };
    // Closing the window asks for each changed tab, each in front; Cancel
    // on the first keeps everything.
    window->SetCurrentDocument(1);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(asked, QStringList{"first.bin"});
    EXPECT_EQ(window->DocumentCount(), 2);

    // Close asks about the tab closed only.
    asked.clear();
    window->SetCurrentDocument(1);
    EXPECT_FALSE(window->CloseDocument(1));
    EXPECT_EQ(asked, QStringList{"second.bin"});
    EXPECT_EQ(window->DocumentCount(), 2);

    AskToSaveChanges = [&](HexViewWindow& w) {
        asked << QFileInfo(w.Editor().FileName()).fileName();
        return QMessageBox::Discard;
    };
    asked.clear();
    EXPECT_TRUE(window->CloseDocument(1));
    EXPECT_EQ(asked, QStringList{"second.bin"});
    EXPECT_EQ(TTestFolder::Read(second), QByteArray("abcdef"));

    // Quitting asks once more, for the remaining changed tab; Save saves it.
    AskToSaveChanges = [&](HexViewWindow& w) {
        asked << QFileInfo(w.Editor().FileName()).fileName();
        return QMessageBox::Save;
    };
    asked.clear();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(asked, QStringList{"first.bin"});
    EXPECT_EQ(TTestFolder::Read(first), QByteArray("Z123456789"));
}

TEST_F(DocumentsTest, ReloadReadsTheFileAgainAskingBeforeDroppingChanges)
{
    AskReloadChangedFile = [](HexViewWindow&, const QString&, bool) { return TChangedFileAnswer::cfCancel; };
    const QString path = files.Write("data.bin", "abc");
    ASSERT_TRUE(window->OpenFile(path));
    files.Write("data.bin", "abcdefgh");
    Action("actionReload")->trigger();
    EXPECT_EQ(Editor().DataSize(), 8);
    EXPECT_FALSE(TDocumentWatch::Of(*window)->ChangedOnDisk()) << "the new stamp is the reloaded file's";

    const uint8_t z = 'Z';
    Editor().WriteBuffer(&z, 0, 1);
    int asked = 0;
    AskReloadDroppingChanges = [&](HexViewWindow&) { return ++asked, false; };
    EXPECT_FALSE(ReloadWithQuestion(*window));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(Editor().Modified());
    AskReloadDroppingChanges = [&](HexViewWindow&) { return ++asked, true; };
    EXPECT_TRUE(ReloadWithQuestion(*window));
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(Editor().Modified());
    EXPECT_EQ(Editor().DataStorage().Memory()[0], 'a');

    Action("actionNew")->trigger();
    EXPECT_FALSE(Action("actionReload")->isEnabled()) << "a document without a file has nothing to reload";
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}

TEST_F(DocumentsTest, AFileChangedOnDiskIsAskedAboutInItsOwnTab)
{
    OpenTwo();
    window->SetCurrentDocument(1);
    QString askedIn;
    AskReloadChangedFile = [&](HexViewWindow& w, const QString&, bool) {
        askedIn = w.Editor().FileName();
        return TChangedFileAnswer::cfReload;
    };
    files.Write("first.bin", "changed on disk");
    window->Document(0).Watch().CheckNow();
    EXPECT_EQ(askedIn, first) << "the tab of the changed file comes to the front for the question";
    EXPECT_EQ(window->Document(0).Editor().DataSize(), 15);
    EXPECT_EQ(window->Document(1).Editor().DataSize(), 6);

    // A save in one tab is that tab's: switching tabs raises no question.
    askedIn.clear();
    window->SetCurrentDocument(1);
    const uint8_t z = 'Z';
    Editor().WriteBuffer(&z, 0, 1);
    ASSERT_TRUE(SaveDocument(*window));
    window->SetCurrentDocument(0);
    window->SetCurrentDocument(1);
    window->Document(1).Watch().CheckNow();
    EXPECT_TRUE(askedIn.isEmpty());
    EXPECT_FALSE(TDocumentWatch::Of(*window)->ChangedOnDisk());
}

TEST_F(DocumentsTest, ADocumentReplacedWithoutALoadNoLongerWatchesItsOldFile)
{
    OpenTwo();
    int asked = 0;
    AskReloadChangedFile = [&](HexViewWindow&, const QString&, bool) {
        ++asked;
        return TChangedFileAnswer::cfCancel;
    };
    // As New from clipboard does: the document in front becomes a new one.
    Editor().CreateEmptyFile(QStringLiteral("Untitled"));
    emit window->DocumentLoaded();
    files.Write("second.bin", "changed on disk");
    window->CurrentDocument().Watch().CheckNow();
    EXPECT_EQ(asked, 0) << "the file is no longer the document's";
    files.Write("first.bin", "changed too");
    window->Document(0).Watch().CheckNow();
    EXPECT_EQ(asked, 1) << "the other tab still watches its file";
}

TEST_F(DocumentsTest, TheCommandLineOpensEachFileInATab)
{
    TViewOptions options;
    options.FileNames = {files.Write("a.bin", "aaaa"), files.Write("b.bin", "bb")};
    options.ReadOnly = true;
    options.BytesPerRow = 8;
    options.SelFirst = 0;
    options.SelLast = 1;
    ASSERT_TRUE(window->ApplyOptions(options));
    ASSERT_EQ(window->DocumentCount(), 2);
    EXPECT_EQ(window->Document(0).Editor().DataSize(), 4);
    EXPECT_EQ(Editor().DataSize(), 2) << "the last file is in front";
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(window->Document(i).Editor().ReadOnlyView()) << i;
        EXPECT_EQ(window->Document(i).Editor().BytesPerRow(), 8) << i;
    }
    EXPECT_EQ(Editor().SelCount(), 2);

    // A file that cannot be opened is told about; the others still open.
    HexViewWindow other;
    QStringList otherErrors;
    other.ErrorReporter = [&](const QString& text) { otherErrors << text; };
    TViewOptions some;
    some.FileNames = {files.dir.filePath("missing.bin"), files.Write("c.bin", "c")};
    EXPECT_FALSE(other.ApplyOptions(some));
    EXPECT_EQ(otherErrors.size(), 1);
    EXPECT_EQ(other.DocumentCount(), 1);
    EXPECT_EQ(other.Editor().DataSize(), 1);
}

TEST_F(DocumentsTest, TheShownDocumentStaysWhileAFileLoadsAndACancelIsNoError)
{
    const QString small = files.Write("small.bin", "small");
    ASSERT_TRUE(window->OpenFile(small));
    const QString big = files.Write("big.bin", QByteArray(4 * 1024 * 1024, 'b'));
    QStringList seen;
    window->ProgressHook = [&](QProgressDialog&, int percent) {
        if (percent > 0 && percent < 100)
            seen << QStringLiteral("%1 %2 %3").arg(window->windowTitle(), window->StatusFields().Size()->text()).arg(Editor().DataSize());
    };
    ASSERT_TRUE(window->OpenFile(big));
    ASSERT_FALSE(seen.isEmpty());
    for (const QString& state : seen)
        EXPECT_EQ(state, "small.bin - hexview Size 5 bytes 5") << "the old document is shown until the new one is complete";
    EXPECT_EQ(Editor().DataSize(), 4 * 1024 * 1024);
    EXPECT_EQ(window->windowTitle(), "big.bin - hexview");

    // Cancelled: no box, the status says so, the document before stays
    // whole (name, data, changes) and the recent list has no new entry.
    ASSERT_TRUE(window->OpenFile(small));
    const uint8_t z = 'Z';
    Editor().WriteBuffer(&z, 0, 1);
    AskToSaveChanges = [](HexViewWindow&) { return QMessageBox::Discard; };
    const QStringList recent = window->RecentFiles();
    window->ProgressHook = [&](QProgressDialog& dialog, int percent) {
        if (percent >= 30)
            dialog.cancel();
    };
    const QString other = files.Write("other.bin", QByteArray(4 * 1024 * 1024, 'o'));
    EXPECT_FALSE(window->OpenFile(other));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
    EXPECT_EQ(window->statusBar()->currentMessage(), "Loading cancelled");
    EXPECT_EQ(Editor().FileName(), small);
    EXPECT_EQ(Editor().DataSize(), 5);
    EXPECT_TRUE(Editor().Modified());
    EXPECT_EQ(window->windowTitle(), "small.bin* - hexview");
    EXPECT_EQ(window->RecentFiles(), recent);

    // A cancelled load into a new tab adds no tab.
    EXPECT_EQ(window->OpenFiles({other}), 0);
    EXPECT_EQ(window->DocumentCount(), 1);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(DocumentsTest, TheToolBarActsThroughTheMenusAndItsHiddenStateIsKept)
{
    QToolBar* bar = window->ToolBar();
    ASSERT_NE(bar, nullptr);
    QStringList names;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator())
            continue;
        names << action->objectName();
        EXPECT_FALSE(action->icon().isNull()) << action->objectName().toStdString();
    }
    EXPECT_EQ(names, (QStringList{"actionOpen", "actionSave", "actionUndo", "actionRedo", "actionCut", "actionCopy",
                                  "actionPaste", "actionFind", "actionGotoOffset"}));
    EXPECT_TRUE(bar->isVisible()) << "shown by default";
    QAction* toggle = Action("actionToolBar");
    ASSERT_NE(toggle, nullptr);
    EXPECT_TRUE(window->ViewMenu()->actions().contains(toggle));
    EXPECT_TRUE(toggle->isChecked());

    toggle->trigger();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(TConfigFile().Value(ToolBarShownKey), QVariant(false));
    // Hiding the window does not count as hiding the bar.
    window->hide();
    window->show();
    EXPECT_FALSE(bar->isVisible());

    HexViewWindow next;
    next.show();
    EXPECT_FALSE(next.ToolBar()->isVisible()) << "the choice lasts into the next run";
    EXPECT_FALSE(next.findChild<QAction*>(QStringLiteral("actionToolBar"))->isChecked());
    next.findChild<QAction*>(QStringLiteral("actionToolBar"))->trigger();
    EXPECT_TRUE(next.ToolBar()->isVisible());
    EXPECT_EQ(TConfigFile().Value(ToolBarShownKey), QVariant(true));
}

TEST_F(DocumentsTest, ControlTabSwitchesTabsAndAnOpenFileIsNotReadTwice)
{
    OpenTwo();
    EXPECT_EQ(window->OpenFiles({first}), 1);
    EXPECT_EQ(window->DocumentCount(), 2) << "the open file's tab comes to the front instead";
    EXPECT_EQ(window->CurrentIndex(), 0);

    QTest::keyClick(&Editor(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(window->CurrentIndex(), 1);
    QTest::keyClick(&Editor(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(window->CurrentIndex(), 0) << "round from the last to the first";
    QTest::keyClick(&Editor(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(window->CurrentIndex(), 1);
    // Tab alone is still the editor's: it switches between hex and characters.
    const bool inChars = Editor().InCharField();
    QTest::keyClick(&Editor(), Qt::Key_Tab);
    EXPECT_EQ(window->CurrentIndex(), 1);
    EXPECT_NE(Editor().InCharField(), inChars);
}

TEST_F(DocumentsTest, TheFirmwareOverlayFollowsTheTabInFront)
{
    const QString image = files.Write("fw.bin", FirmwareImage(0x14000, 0x2000));
    const QString plain = files.Write("plain.bin", QByteArray(0x3000, '\x5A'));
    ASSERT_EQ(window->OpenFiles({image, plain}), 2);
    // The user's own bookmark 0 in the plain file, where the other file's marker is.
    Editor().SetBookmark(0, 0x2000, false);
    EXPECT_FALSE(window->Overlay().Layout().Found);
    EXPECT_TRUE(window->StatusFields().Boot()->isHidden());

    window->SetCurrentDocument(0);
    EXPECT_TRUE(window->Overlay().Layout().Found);
    EXPECT_FALSE(window->StatusFields().Boot()->isHidden());
    EXPECT_EQ(Editor().Bookmarks().At(0).mPosition, 0x2000);

    window->SetCurrentDocument(1);
    EXPECT_TRUE(window->StatusFields().Boot()->isHidden());
    EXPECT_EQ(Editor().Bookmarks().At(0).mPosition, 0x2000) << "the plain file's own bookmark stays";

    // Switched off in front of the image: its bookmark goes, the plain
    // file's stays.
    window->SetCurrentDocument(0);
    window->Overlay().SetEnabled(false);
    EXPECT_EQ(Editor().Bookmarks().At(0).mPosition, -1);
    EXPECT_EQ(window->Document(1).Editor().Bookmarks().At(0).mPosition, 0x2000);
}

TEST_F(DocumentsTest, AFileOpenInATabIsNeverHeldByASecondOne)
{
    OpenTwo();
    AskReloadChangedFile = [](HexViewWindow&, const QString&, bool) { return TChangedFileAnswer::cfCancel; };
    // Open into the tab in front (as a file chooser replacing it would):
    // the file's own tab comes to the front, nothing is asked or read.
    const uint8_t z = 'Z';
    Editor().WriteBuffer(&z, 0, 1);
    int asked = 0;
    AskToSaveChanges = [&](HexViewWindow&) { return ++asked, QMessageBox::Discard; };
    EXPECT_TRUE(window->OpenFile(first));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(window->DocumentCount(), 2);
    EXPECT_EQ(window->CurrentIndex(), 0);
    EXPECT_EQ(window->Document(1).Editor().DataStorage().Memory()[0], 'Z') << "the changed tab stays as it was";
    // Through a link, too.
    const QString link = files.dir.filePath("link.bin");
    ASSERT_TRUE(QFile::link(second, link));
    EXPECT_EQ(window->OpenFiles({link}), 1);
    EXPECT_EQ(window->DocumentCount(), 2);
    EXPECT_EQ(window->CurrentIndex(), 1);

    // Save As onto the other tab's file is refused: both files keep their bytes.
    window->SetCurrentDocument(0);
    EXPECT_FALSE(SaveDocumentAs(*window, link));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0].toStdString(), "second.bin is open in another tab. Close it first.");
    EXPECT_EQ(TTestFolder::Read(second), QByteArray("abcdef"));
    EXPECT_EQ(Editor().FileName(), first);
    // Also when that file is gone from disk meanwhile (the tab still holds it).
    QFile::remove(link);
    ASSERT_TRUE(QFile::remove(second));
    EXPECT_FALSE(SaveDocumentAs(*window, second));
    EXPECT_EQ(errors.size(), 2);
    EXPECT_FALSE(QFileInfo::exists(second));

    // A name no tab holds is saved to as before.
    const QString copy = files.dir.filePath("copy.bin");
    EXPECT_TRUE(SaveDocumentAs(*window, copy));
    EXPECT_EQ(TTestFolder::Read(copy), QByteArray("0123456789"));
    EXPECT_EQ(Editor().FileName(), copy);
    EXPECT_EQ(errors.size(), 2);
}
