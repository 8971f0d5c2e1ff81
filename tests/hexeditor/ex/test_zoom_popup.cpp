// Zooming with the wheel, the offset popup menu and the double click of the
// extended editor, driven through Qt events.

#include "../input_fixture.h"

#include "hexeditor/ex/mphexeditorex.h"

#include <QContextMenuEvent>
#include <QMenu>

class ZoomPopupTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        ex.Loaded();
    }
    void load(int size) { ex.LoadFromFile(writeFile("zoom.bin", pattern(size))); }
    void showEx()
    {
        ex.resize(900, 300);
        ex.show();
        QCoreApplication::processEvents();
    }
    int fontSize() const { return ex.font().pointSize(); }
    void setFontSize(int size)
    {
        QFont f = ex.font();
        f.setPointSize(size);
        ex.setFont(f);
    }

    TMPHexEditorEx ex;
    InputDriver<TMPHexEditorEx> in{ex};
};

TEST_F(ZoomPopupTest, CtrlWheelChangesBytesPerRowWithinOneTo256)
{
    load(20000);
    showEx();
    ex.SetBytesPerRow(2);
    in.wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(ex.BytesPerRow(), 1);
    EXPECT_EQ(ex.TopRow(), 2);
    in.wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(ex.BytesPerRow(), 1) << "not below 1";
    EXPECT_GT(ex.TopRow(), 2) << "at the limit the wheel scrolls";

    ex.SetBytesPerRow(255);
    in.wheel(120, Qt::ControlModifier);
    EXPECT_EQ(ex.BytesPerRow(), 256);
    ex.SetTopRow(40);
    const int top = ex.TopRow();
    in.wheel(120, Qt::ControlModifier);
    EXPECT_EQ(ex.BytesPerRow(), 256) << "not above 256";
    EXPECT_LT(ex.TopRow(), top);
}

TEST_F(ZoomPopupTest, ZoomNeedsExactlyCtrlAndStaysEvenInTheUnicodeView)
{
    load(4000);
    showEx();
    ex.SetBytesPerRow(16);
    in.wheel(120, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(ex.BytesPerRow(), 16) << "Alt prevents zooming";
    ex.SetUnicodeChars(true);
    in.wheel(120, Qt::ControlModifier);
    EXPECT_EQ(ex.BytesPerRow(), 18);
    in.wheel(-120, Qt::ControlModifier);
    in.wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(ex.BytesPerRow(), 14);
}

TEST_F(ZoomPopupTest, CtrlShiftWheelChangesTheFontSizeNotBelowTwo)
{
    load(20000);
    showEx();
    setFontSize(3);
    const int row = ex.DefaultRowHeight();
    in.wheel(-120, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(fontSize(), 2);
    EXPECT_EQ(ex.TopRow(), 2);
    in.wheel(-120, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(fontSize(), 2) << "not below 2";
    EXPECT_GT(ex.TopRow(), 2) << "at the limit the wheel scrolls";
    in.wheel(120, Qt::ControlModifier | Qt::ShiftModifier);
    in.wheel(120, Qt::ControlModifier | Qt::ShiftModifier);
    in.wheel(120, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(fontSize(), 5);
    EXPECT_GT(ex.DefaultRowHeight(), row) << "the layout follows the font";
}

TEST_F(ZoomPopupTest, WithoutZoomOnWheelEveryWheelScrolls)
{
    load(20000);
    showEx();
    ex.SetZoomOnWheel(false);
    setFontSize(10);
    in.wheel(120, Qt::ControlModifier);
    in.wheel(-120, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ex.BytesPerRow(), 16);
    EXPECT_EQ(fontSize(), 10);
    EXPECT_GT(ex.TopRow(), 2);
}

TEST_F(ZoomPopupTest, OffsetMenuOnGutterAndRulerOrdinaryMenuElsewhere)
{
    load(256);
    showEx();
    QMenu offsetMenu;
    offsetMenu.addAction(QStringLiteral("Hex"));
    QMenu ordinary;
    ordinary.addAction(QStringLiteral("Copy"));
    ex.SetOffsetPopupMenu(&offsetMenu);
    ex.SetPopupMenu(&ordinary);
    int offsetShown = 0;
    int ordinaryShown = 0;
    QObject::connect(&offsetMenu, &QMenu::aboutToShow, [&] { ++offsetShown; });
    QObject::connect(&ordinary, &QMenu::aboutToShow, [&] { ++ordinaryShown; });
    auto rightClick = [&](QPoint at) {
        QContextMenuEvent e(QContextMenuEvent::Mouse, at, ex.viewport()->mapToGlobal(at));
        QApplication::sendEvent(ex.viewport(), &e);
        offsetMenu.hide();
        ordinary.hide();
    };
    rightClick(ex.CellRect(0, 4).center());
    EXPECT_EQ(offsetShown, 1) << "gutter";
    EXPECT_EQ(offsetMenu.property("PopupComponent").value<QObject*>(), &ex);
    rightClick(ex.CellRect(6, 0).center());
    EXPECT_EQ(offsetShown, 2) << "ruler";
    rightClick(ex.CellRect(6, 4).center());
    EXPECT_EQ(offsetShown, 2);
    EXPECT_EQ(ordinaryShown, 1) << "hex field";

    offsetMenu.setProperty("AutoPopup", false);
    rightClick(ex.CellRect(0, 4).center());
    EXPECT_EQ(offsetShown, 2) << "no automatic popup";
    offsetMenu.setProperty("AutoPopup", true);

    ex.OnContextPopup = [](QObject*, QPoint, bool& handled) { handled = true; };
    rightClick(ex.CellRect(0, 4).center());
    EXPECT_EQ(offsetShown, 2) << "a handler that handled it keeps the menus closed";
}

TEST_F(ZoomPopupTest, FreedOffsetMenuLeavesThePropertyEmpty)
{
    auto* menu = new QMenu;
    ex.SetOffsetPopupMenu(menu);
    EXPECT_EQ(ex.OffsetPopupMenu(), menu);
    delete menu;
    EXPECT_EQ(ex.OffsetPopupMenu(), nullptr);
    load(64);
    showEx();
    EXPECT_FALSE(ex.ContextPopup(ex.CellRect(0, 3).center())) << "no dangling menu is shown";
}

TEST_F(ZoomPopupTest, DoubleClickSelectsTheByteAndTheSelectionSurvivesTheRelease)
{
    load(20);
    showEx();
    int dblClicks = 0;
    ex.OnDblClick = [&](QObject*) { ++dblClicks; };
    // QTest's double click ends with the second press; the release follows.
    const TGridCoord cell = ex.CellAtPosition(5, false);
    const QPoint at = ex.CellRect(cell.X + 1, cell.Y).center();
    in.doubleClick(at);
    EXPECT_EQ(dblClicks, 1);
    EXPECT_TRUE(ex.DoubleClickSelected());
    EXPECT_FALSE(ex.ExtendingSelection());
    in.release(at);
    EXPECT_FALSE(ex.DoubleClickSelected()) << "the release ends it";
    EXPECT_EQ(ex.SelCount(), 1) << "and keeps the selection";
    EXPECT_EQ(ex.SelFirst(), 5);

    // In the character field, with two-byte units: the whole unit.
    ex.SetBytesPerUnit(2);
    const TGridCoord ch = ex.CellAtPosition(9, true);
    in.doubleClick(ex.CellRect(ch.X, ch.Y).center());
    in.release(ex.CellRect(ch.X, ch.Y).center());
    EXPECT_EQ(ex.SelFirst(), 8);
    EXPECT_EQ(ex.SelLast(), 9);

    // Beyond the last byte only the event fires.
    ex.ResetSelection(true);
    const TGridCoord past = ex.CellAtPosition(28, false);
    in.doubleClick(ex.CellRect(past.X, past.Y).center());
    EXPECT_FALSE(ex.DoubleClickSelected());
    EXPECT_EQ(dblClicks, 3);
    EXPECT_EQ(ex.SelCount(), 0);
}
