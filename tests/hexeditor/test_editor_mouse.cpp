// Mouse input through real mouse events: placing the caret, selecting by
// dragging (with auto-scroll), clicks inside the selection, insert mode's
// half-cell rule, fixed cells and the pointer shape.

#include "input_fixture.h"

class MouseTest : public InputTest
{
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        load(16 * 100);
        showEditor();
    }
    int32_t caret() { return editor.PositionAtCell(editor.Col(), editor.Row()); }
    QPoint hexCell(int32_t position, int digit = 0)
    {
        const TGridCoord c = editor.CellAtPosition(position, false);
        return in.centerOf(c.X + digit, c.Y);
    }
    QPoint charCell(int32_t position)
    {
        const TGridCoord c = editor.CellAtPosition(position, true);
        return in.centerOf(c.X, c.Y);
    }
};

TEST_F(MouseTest, ClickPlacesTheCaretAndDraggingSelects)
{
    in.click(hexCell(20, 1));
    EXPECT_EQ(caret(), 20);
    EXPECT_EQ(editor.Col() % 2, 1) << "on the clicked digit";
    EXPECT_EQ(editor.SelCount(), 0);
    EXPECT_TRUE(editor.ExtendingSelection()) << "a press on a data cell starts selecting";

    in.press(hexCell(20));
    in.move(hexCell(25));
    in.move(hexCell(37));
    in.release(hexCell(37));
    EXPECT_EQ(editor.SelFirst(), 20);
    EXPECT_EQ(editor.SelLast(), 37);
    EXPECT_EQ(editor.SelAnchor(), 20);
    EXPECT_FALSE(editor.IsSelecting()) << "the release ends the grid's selecting";

    // Dragging in the character field backwards.
    in.press(charCell(50));
    in.move(charCell(44));
    in.release(charCell(44));
    EXPECT_EQ(editor.SelFirst(), 44);
    EXPECT_EQ(editor.SelLast(), 50);
    EXPECT_EQ(editor.SelAnchor(), 50);
    EXPECT_TRUE(editor.InCharField());
}

TEST_F(MouseTest, DraggingBelowTheBottomEdgeScrollsAndExtends)
{
    in.press(hexCell(16));
    ASSERT_TRUE(editor.IsSelecting());
    const int top = editor.TopRow();
    const QPoint below(hexCell(16).x(), editor.viewport()->height() + 20);
    in.move(below);
    QTest::qWait(8 * TCustomGrid::ScrollTimerInterval);
    EXPECT_GT(editor.TopRow(), top) << "the scroll timer scrolls toward the pointer";
    const int32_t reached = editor.SelLast();
    EXPECT_GT(reached, 16 * (top - 2 + editor.VisibleRowCount() - 1)) << "the selection follows past the old view";
    EXPECT_EQ(editor.SelFirst(), 16);
    in.release(below);
    const int stoppedAt = editor.TopRow();
    QTest::qWait(4 * TCustomGrid::ScrollTimerInterval);
    EXPECT_EQ(editor.TopRow(), stoppedAt) << "no scrolling after the release";
    EXPECT_EQ(editor.SelLast(), reached);
}

TEST_F(MouseTest, DoubleClickDoesNotStartSelecting)
{
    // The event sequence of a double click, then a drag with the button held.
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent ev(type, QPointF(at), editor.viewport()->mapToGlobal(QPointF(at)), button, buttons,
                       Qt::NoModifier);
        QApplication::sendEvent(editor.viewport(), &ev);
    };
    send(QEvent::MouseButtonPress, hexCell(30), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, hexCell(30), Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseButtonDblClick, hexCell(30), Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(editor.ExtendingSelection());
    EXPECT_FALSE(editor.IsSelecting());
    send(QEvent::MouseMove, hexCell(40), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(editor.SelCount(), 0) << "moving with the button held after a double click selects nothing";
    EXPECT_EQ(caret(), 30);
    send(QEvent::MouseButtonRelease, hexCell(40), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(editor.SelCount(), 0);
}

TEST_F(MouseTest, PressInsideTheSelectionIsAClickUnlessThePointerLeavesTheCell)
{
    editor.SetSelStart(10);
    editor.SetSelEnd(40);
    in.press(hexCell(20));
    EXPECT_TRUE(editor.PendingSelectionClick());
    EXPECT_EQ(editor.SelCount(), 31) << "the press keeps the selection";
    in.release(hexCell(20));
    EXPECT_FALSE(editor.PendingSelectionClick());
    EXPECT_EQ(editor.SelCount(), 0) << "the click drops it";
    EXPECT_EQ(caret(), 20);

    editor.SetSelStart(10);
    editor.SetSelEnd(40);
    const QPoint start = hexCell(20);
    in.press(start);
    in.move(start + QPoint(1, 0));
    EXPECT_TRUE(editor.PendingSelectionClick()) << "a move inside the cell keeps the click";
    in.move(hexCell(22));
    EXPECT_FALSE(editor.PendingSelectionClick()) << "another cell cancels it";
    in.release(hexCell(22));
    EXPECT_EQ(editor.SelFirst(), 10);
    EXPECT_EQ(editor.SelLast(), 40);
}

TEST_F(MouseTest, RightPressInsideTheSelectionChangesNothing)
{
    editor.SetSelStart(10);
    editor.SetSelEnd(40);
    const int col = editor.Col();
    in.press(hexCell(20), Qt::RightButton);
    in.release(hexCell(20), Qt::RightButton);
    EXPECT_EQ(editor.SelFirst(), 10);
    EXPECT_EQ(editor.SelLast(), 40);
    EXPECT_EQ(editor.Col(), col);
    EXPECT_FALSE(editor.PendingSelectionClick());
    // Outside the selection the right button does not move the caret either.
    in.press(hexCell(60), Qt::RightButton);
    in.release(hexCell(60), Qt::RightButton);
    EXPECT_EQ(editor.Col(), col);
}

TEST_F(MouseTest, FixedCellsOnlyTakeTheFocusAndTheEditorReportsThePress)
{
    int presses = 0;
    editor.OnMouseDown = [&](QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
        EXPECT_EQ(sender, &editor);
        EXPECT_EQ(button, Qt::LeftButton);
        ++presses;
    };
    in.click(hexCell(40));
    EXPECT_EQ(presses, 1) << "a press the grid sees is reported by the grid";
    const int col = editor.Col();
    const int row = editor.Row();
    const QPoint gutter(2, in.centerOf(2, 4).y());
    ASSERT_TRUE(editor.IsOverFixedCell(gutter.x(), gutter.y()));
    EXPECT_FALSE(editor.IsOverFixedCell(hexCell(40).x(), hexCell(40).y()));
    in.click(gutter);
    EXPECT_EQ(presses, 2) << "the editor reports the press the grid did not see";
    EXPECT_EQ(editor.Col(), col);
    EXPECT_EQ(editor.Row(), row);
    EXPECT_FALSE(editor.ExtendingSelection());
}

TEST_F(MouseTest, PointerIsAnArrowOverTheSelectionAndTheGutter)
{
    editor.SetSelStart(10);
    editor.SetSelEnd(20);
    in.move(hexCell(15));
    EXPECT_EQ(editor.viewport()->cursor().shape(), Qt::ArrowCursor);
    in.move(hexCell(30));
    EXPECT_EQ(editor.viewport()->cursor().shape(), Qt::IBeamCursor);
    in.move(QPoint(2, hexCell(30).y()));
    EXPECT_EQ(editor.viewport()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(editor.IsMouseOverSelection(hexCell(15).x(), hexCell(15).y()));
    EXPECT_FALSE(editor.IsMouseOverSelection(hexCell(21).x(), hexCell(21).y()));
    EXPECT_FALSE(editor.IsMouseOverSelection(2, hexCell(15).y()));
}

TEST_F(MouseTest, InsertModeRightHalvesStandForTheNextPosition)
{
    editor.SetInsertMode(true);
    const int half = editor.CharWidth() / 2;
    // The character of the last byte of a row: right half -> next row's first character.
    const TGridCoord last = editor.CellAtPosition(15, true);
    const QRect r = editor.CellRect(last.X, last.Y);
    const TMPHMousePoint right = editor.AdjustMousePoint(r.left() + half + 1, r.center().y());
    EXPECT_EQ(right.Cell.X, editor.HexColumnCount() + 3);
    EXPECT_EQ(right.Cell.Y, last.Y + 1);
    in.click(QPoint(r.left() + half + 1, r.center().y()));
    EXPECT_EQ(caret(), 16);
    EXPECT_TRUE(editor.InCharField());
    in.click(QPoint(r.left() + 1, r.center().y()));
    EXPECT_EQ(caret(), 15) << "the left half keeps the byte";

    // The first hex digit of a byte: right half -> its second digit.
    const TGridCoord first = editor.CellAtPosition(5, false);
    const QRect d = editor.CellRect(first.X, first.Y);
    in.click(QPoint(d.left() + half, d.center().y()));
    EXPECT_EQ(caret(), 5);
    EXPECT_EQ(editor.Col(), first.X + 1);
    // The second digit's right half: the next byte.
    in.click(QPoint(d.right() + 1 + half, d.center().y()));
    EXPECT_EQ(caret(), 6);
    EXPECT_EQ(editor.Col(), first.X + 2);

    // Overwrite mode leaves the point alone.
    editor.SetInsertMode(false);
    const TMPHMousePoint plain = editor.AdjustMousePoint(r.left() + half + 1, r.center().y());
    EXPECT_EQ(plain.Cell.X, last.X);
    EXPECT_EQ(plain.X, r.left() + half + 1);
}

TEST_F(MouseTest, RightToLeftLayoutHitsTheMirroredCellsAndPlacesTheCaretThere)
{
    editor.setLayoutDirection(Qt::RightToLeft);
    // Where a cell is shown, and a point in it a given distance from its
    // grid-left edge (which is on the right in this layout).
    const auto shown = [this](TGridCoord c) { return editor.PhysicalRect(editor.CellRect(c.X, c.Y)); };
    const auto at = [&](TGridCoord c, int fromStart) {
        const QRect r = shown(c);
        return QPoint(r.right() - fromStart, r.center().y());
    };
    const TGridCoord hex20 = editor.CellAtPosition(20, false);
    in.click(at(hex20, 1));
    EXPECT_EQ(caret(), 20);
    EXPECT_EQ(editor.Col(), hex20.X);
    EXPECT_EQ(editor.CaretPos(), shown(hex20).topLeft()) << "the caret stands where the cell is shown";

    in.press(at(hex20, 1));
    in.move(at(editor.CellAtPosition(25, false), 1));
    in.release(at(editor.CellAtPosition(25, false), 1));
    EXPECT_EQ(editor.SelFirst(), 20);
    EXPECT_EQ(editor.SelLast(), 25);
    EXPECT_TRUE(editor.IsMouseOverSelection(at(editor.CellAtPosition(22, true), 1).x(),
                                            at(editor.CellAtPosition(22, true), 1).y()));

    // Insert mode: the half of a cell toward the next byte (its left half
    // here) stands for the next position.
    editor.SetInsertMode(true);
    const int half = editor.CharWidth() / 2;
    const TGridCoord second = editor.CellAtPosition(5, false);
    in.click(at(TGridCoord{second.X + 1, second.Y}, half + 1));
    EXPECT_EQ(caret(), 6);
    in.click(at(TGridCoord{second.X + 1, second.Y}, 1));
    EXPECT_EQ(caret(), 5);
}

TEST_F(MouseTest, ReleaseHidesTheDropMarker)
{
    editor.SetDropMarker(true, 6, 3);
    ASSERT_TRUE(editor.DropMarkerVisible());
    in.click(hexCell(40));
    EXPECT_FALSE(editor.DropMarkerVisible());
}
