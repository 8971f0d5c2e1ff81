// View > Bytes per group and Wheel scrolls, Save As's key, and jumps that put
// their target row in the middle of the view.

#include "window_fixture.h"

#include "hexview/core/jumpview.h"
#include "hexview/findactions.h"

#include <QAction>
#include <QMenu>
#include <QTest>

using namespace hexview;

TEST(JumpView, TheTargetRowGoesToTheMiddleWithinTheDocument)
{
    EXPECT_EQ(CenteredTopRow(500, 21, 1002, 2), 490);
    EXPECT_EQ(CenteredTopRow(500, 20, 1002, 2), 491);
    EXPECT_EQ(CenteredTopRow(5, 20, 1002, 2), 2) << "not above the first data row";
    EXPECT_EQ(CenteredTopRow(1000, 20, 1002, 2), 982) << "not past the last full page";
    EXPECT_EQ(CenteredTopRow(6, 20, 10, 2), 2) << "a document shorter than the view";
    EXPECT_EQ(CenteredTopRow(9, 0, 100, 2), 9);
}

namespace {
class LayoutMenuTest : public HexViewWindowTest
{
protected:
    QAction* choice(const char* menu, const QString& text)
    {
        auto* sub = window->findChild<QMenu*>(QString::fromLatin1(menu));
        if (!sub)
            return nullptr;
        for (QAction* action : sub->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
    void openRows(int rows)
    {
        ASSERT_TRUE(window->OpenFile(files.Write("rows.bin", QByteArray(16 * rows, 'r'))));
        QCoreApplication::processEvents();
    }
    void expectCentered()
    {
        const int visible = Editor().VisibleRowCount();
        ASSERT_GT(visible, 4);
        EXPECT_EQ(Editor().TopRow(), Editor().Row() - (visible - 1) / 2)
            << "row " << Editor().Row() << " visible " << visible;
    }
};
} // namespace

TEST_F(LayoutMenuTest, SingleBytesAndThreeRowsPerNotchByDefaultAndTheMenuChangesThem)
{
    EXPECT_EQ(Editor().BytesPerColumn(), 1);
    EXPECT_EQ(Editor().WheelRows(), 3);
    QAction* four = choice("menuBytesPerGroup", "4");
    QAction* page = choice("menuWheelStep", "A page");
    ASSERT_TRUE(four && page);
    EXPECT_TRUE(choice("menuBytesPerGroup", "1")->isChecked());
    EXPECT_TRUE(choice("menuWheelStep", "3 rows")->isChecked());
    four->trigger();
    EXPECT_EQ(Editor().BytesPerColumn(), 4);
    EXPECT_TRUE(four->isChecked());
    page->trigger();
    EXPECT_EQ(Editor().WheelRows(), 0);

    // Both are kept for the next run.
    window.reset();
    window = std::make_unique<HexViewWindow>();
    EXPECT_EQ(Editor().BytesPerColumn(), 4);
    EXPECT_EQ(Editor().WheelRows(), 0);
    EXPECT_TRUE(choice("menuWheelStep", "A page")->isChecked());
}

TEST_F(LayoutMenuTest, TheLayoutChoicesStandBesideBytesPerRow)
{
    QStringList texts;
    for (QAction* action : window->ViewMenu()->actions())
        texts << action->text();
    ASSERT_GE(texts.size(), 4);
    EXPECT_EQ(texts.mid(0, 4), (QStringList{"&Bytes per row", "Bytes per &group", "&Wheel scrolls", "&Translation"}));
}

TEST_F(LayoutMenuTest, UnicodeCharactersTakeAGroupOfTwo)
{
    ASSERT_TRUE(window->OpenFile(files.Write("u.bin", QByteArray("a\0b\0", 4))));
    window->findChild<QAction*>("actionUnicode")->trigger();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_TRUE(Editor().UnicodeChars());
    EXPECT_EQ(Editor().BytesPerColumn(), 2);
    emit window->DocumentLoaded(); // brings the menus in line
    EXPECT_FALSE(choice("menuBytesPerGroup", "1")->isEnabled());
    EXPECT_TRUE(choice("menuBytesPerGroup", "4")->isEnabled());
}

TEST_F(LayoutMenuTest, SaveAsIsControlShiftS)
{
    QAction* saveAs = window->findChild<QAction*>("actionSaveAs");
    ASSERT_TRUE(saveAs);
    EXPECT_EQ(saveAs->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
}

TEST_F(LayoutMenuTest, GoToAndBookmarksPutTheTargetRowInTheMiddle)
{
    openRows(1000);
    GoToPosition(*window, 16 * 500 + 3);
    EXPECT_EQ(Editor().CaretPosition(), 16 * 500 + 3);
    expectCentered();

    // A bookmark from the menu ...
    Editor().SetBookmark(4, 16 * 800, false);
    GoToPosition(*window, 0);
    EXPECT_EQ(Editor().TopRow(), 2);
    window->BookmarksMenu()->aboutToShow();
    QAction* go = window->findChild<QAction*>("actionGotoBookmark4");
    ASSERT_TRUE(go);
    go->trigger();
    EXPECT_EQ(Editor().CaretPosition(), 16 * 800);
    expectCentered();

    // ... and by the editor's own key.
    Editor().SetBookmark(5, 16 * 200, false);
    GoToPosition(*window, 16 * 999);
    Editor().setFocus();
    QTest::keyClick(&Editor(), Qt::Key_5, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(Editor().CaretPosition(), 16 * 200);
    expectCentered();
}
