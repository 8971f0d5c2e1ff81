// Cell/position mapping, the caret-move rule and the selection.

#include "editor_fixture.h"
#include "error_of.h"

class SelectionTest : public EditorTest
{
protected:
    void load(int size)
    {
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i)
            bytes[i] = static_cast<char>(i);
        editor.LoadFromFile(writeFile(QString("sel%1.bin").arg(size), bytes));
    }
};

TEST_F(SelectionTest, CellsAndPositionsMapBothWays)
{
    load(100);
    EXPECT_EQ(editor.CellAtPosition(37, false).X, 12);
    EXPECT_EQ(editor.CellAtPosition(37, false).Y, 4);
    EXPECT_EQ(editor.CellAtPosition(37, true).X, 40);
    EXPECT_EQ(editor.CellAtPosition(37, true).Y, 4);
    EXPECT_EQ(editor.PositionAtCell(12, 4), 37);
    EXPECT_EQ(editor.PositionAtCell(13, 4), 37);
    EXPECT_EQ(editor.PositionAtCell(40, 4), 37);
    EXPECT_EQ(editor.PositionAtCell(34, 4), 48) << "the gap maps to the next row's first byte";
    EXPECT_EQ(editor.PositionAtCell(0, 2), 0) << "negative results become 0";
    EXPECT_EQ(editor.CellAtPosition(-1, true).X, 2);
    EXPECT_EQ(editor.OtherFieldColumn(12), 40);
    EXPECT_EQ(editor.OtherFieldColumn(13), 40);
    EXPECT_EQ(editor.OtherFieldColumn(40), 12);
}

TEST_F(SelectionTest, IdRangesSelectAndReadAsText)
{
    load(100);
    editor.SetSelStart(32);
    editor.SetSelEnd(44);
    EXPECT_EQ(editor.SelCount(), 13);
    EXPECT_EQ(editor.SelStart(), 32);
    EXPECT_EQ(editor.SelEnd(), 44);
    QByteArray expected;
    for (int i = 32; i <= 44; ++i)
        expected.append(static_cast<char>(i));
    EXPECT_EQ(editor.SelectionAsText(), expected);

    editor.SetSelStart(48);
    editor.SetSelEnd(58);
    EXPECT_EQ(editor.SelCount(), 11);
    EXPECT_EQ(editor.SelectionAsText().size(), 11);
    EXPECT_EQ(editor.SelectionAsText().at(0), 48);
}

TEST_F(SelectionTest, BackwardSelectionKeepsItsAnchor)
{
    load(100);
    editor.SetSelStart(10);
    editor.SetSelEnd(4);
    EXPECT_EQ(editor.SelFirst(), 4);
    EXPECT_EQ(editor.SelLast(), 10);
    EXPECT_EQ(editor.SelAnchor(), 10);
    EXPECT_EQ(editor.SelStart(), 10);
    EXPECT_EQ(editor.SelEnd(), 4);
    EXPECT_EQ(editor.SelectionAsText(), QByteArray("\x04\x05\x06\x07\x08\x09\x0a", 7));
}

TEST_F(SelectionTest, CaretAloneSelectsNothing)
{
    load(100);
    editor.SetSelStart(20);
    EXPECT_EQ(editor.SelCount(), 0);
    EXPECT_TRUE(editor.SelectionAsText().isEmpty());
    EXPECT_EQ(editor.SelStart(), 20);
    EXPECT_EQ(editor.SelEnd(), 20);
    EXPECT_EQ(editor.CaretPosition(), 20);

    editor.SetSelEnd(30);
    EXPECT_EQ(editor.SelCount(), 11);
    editor.SetSelEnd(-1);
    EXPECT_EQ(editor.SelCount(), 0);
    EXPECT_EQ(editor.CaretPosition(), 20) << "setting the end never moves the caret";
}

TEST_F(SelectionTest, OutOfRangeSelectionsAreRefusedAndChangeNothing)
{
    load(40);
    editor.SetSelStart(5);
    editor.SetSelEnd(9);
    EXPECT_EQ(ErrorOf([&] { editor.SetSelStart(40); }), "Invalid selection start");
    EXPECT_EQ(ErrorOf([&] { editor.SetSelStart(-1); }), "Invalid selection start");
    EXPECT_EQ(ErrorOf([&] { editor.SetSelEnd(40); }), "Invalid selection end");
    EXPECT_EQ(ErrorOf([&] { editor.SetSelEnd(-2); }), "Invalid selection end");
    EXPECT_EQ(editor.SelFirst(), 5);
    EXPECT_EQ(editor.SelLast(), 9);

    // The short image of the tool: the first ID cannot be selected.
    editor.SetSelStart(32);
    EXPECT_EQ(ErrorOf([&] { editor.SetSelEnd(44); }), "Invalid selection end");
    EXPECT_EQ(editor.CaretPosition(), 32);
    EXPECT_EQ(editor.SelCount(), 0);

    editor.CreateEmptyFile(QString());
    EXPECT_EQ(ErrorOf([&] { editor.SetSelStart(0); }), "Invalid selection start");
    EXPECT_TRUE(editor.SelectionAsText().isEmpty());
}

TEST_F(SelectionTest, ZeroBytesStayInsideTheSelectionText)
{
    QByteArray bytes(64, 'x');
    bytes[33] = '\0';
    bytes[40] = '\0';
    editor.LoadFromFile(writeFile("zeros.bin", bytes));
    editor.SetSelStart(32);
    editor.SetSelEnd(44);
    const QByteArray text = editor.SelectionAsText();
    ASSERT_EQ(text.size(), 13);
    EXPECT_EQ(text.at(1), '\0');
    EXPECT_EQ(text.at(8), '\0');
    EXPECT_EQ(text.at(12), 'x');
}

TEST_F(SelectionTest, SelectionsAlignToUnits)
{
    load(14);
    int32_t p = 9, q = 5;
    editor.AlignRange(p, q);
    EXPECT_EQ(p, 9);
    EXPECT_EQ(q, 5);
    p = 3;
    q = 20;
    editor.AlignRange(p, q);
    EXPECT_EQ(q, 13) << "the high end stops at the last byte";
    editor.SetSelection(20, 2);
    EXPECT_EQ(editor.SelFirst(), 2);
    EXPECT_EQ(editor.SelLast(), 13);
    EXPECT_EQ(editor.SelAnchor(), 13);
}

TEST_F(SelectionTest, CaretPastTheDataFollowsTheEditingMode)
{
    load(20);
    // Overwrite mode: a cell past the last byte puts the caret on the last byte.
    editor.MoveColRow(2 + 2 * 8, 3);
    EXPECT_EQ(editor.CaretPosition(), 19);
    EXPECT_EQ(editor.Col(), 2 + 2 * 3);
    EXPECT_EQ(editor.Row(), 3);

    editor.SetInsertMode(true);
    // Insert mode: the caret may stand right after the last byte, first digit.
    editor.MoveColRow(2 + 2 * 7, 3);
    EXPECT_EQ(editor.PositionAtCell(editor.Col(), editor.Row()), 20);
    EXPECT_EQ(editor.Col(), 2 + 2 * 4);
    // ...but never on its second digit.
    editor.SetSelStart(0);
    editor.MoveColRow(2 + 2 * 4 + 1, 3);
    EXPECT_EQ(editor.Col(), 2 + 2 * 4);
    EXPECT_EQ(editor.Row(), 3);
    // In the character field it lands on the character cell of position 20.
    editor.SetInCharField(true);
    editor.MoveColRow(35 + 9, 3);
    EXPECT_EQ(editor.Col(), 35 + 4);
    EXPECT_TRUE(editor.InCharField());
    // Leaving insert mode moves a caret standing after the data onto the last byte.
    editor.SetInsertMode(false);
    EXPECT_EQ(editor.CaretPosition(), 19);
    EXPECT_EQ(editor.PositionAtCell(editor.Col(), editor.Row()), 19);
}

TEST_F(SelectionTest, GapColumnIsRefused)
{
    load(64);
    editor.MoveColRow(5, 2);
    editor.MoveColRow(34, 3);
    EXPECT_EQ(editor.Col(), 5);
    EXPECT_EQ(editor.Row(), 2);
    input.LeftButton = true;
    editor.MoveColRow(34, 3);
    EXPECT_EQ(editor.Col(), 33) << "a click on the gap lands on the last hex digit";
    EXPECT_EQ(editor.Row(), 3);
}

TEST_F(SelectionTest, EmptyDocumentAcceptsOnlyTheFirstCells)
{
    EXPECT_EQ(editor.DataSize(), 0);
    EXPECT_FALSE(editor.MoveColRow(4, 2));
    EXPECT_TRUE(editor.MoveColRow(35, 2));
    EXPECT_EQ(editor.Col(), 35);
    EXPECT_FALSE(editor.InCharField()) << "no data, no character field";
    EXPECT_TRUE(editor.MoveColRow(2, 2));
}

TEST_F(SelectionTest, MovesDropTheSelectionUnlessShiftOrTheMouseExtendsIt)
{
    load(100);
    editor.SetSelStart(10);
    editor.SetSelEnd(20);
    editor.MoveColRow(2 + 2 * 3, 2);
    EXPECT_EQ(editor.SelCount(), 0);

    // Overwrite mode: extending selects both ends.
    editor.SetSelStart(10);
    input.Shift = true;
    editor.SetExtendingSelection(true);
    editor.MoveColRow(2 + 2 * 4, 3); // position 20
    EXPECT_EQ(editor.SelFirst(), 10);
    EXPECT_EQ(editor.SelLast(), 20);
    EXPECT_EQ(editor.SelectionOrigin(), 10);
    editor.MoveColRow(2 + 2 * 5, 2); // position 5, before the origin
    EXPECT_EQ(editor.SelFirst(), 5);
    EXPECT_EQ(editor.SelLast(), 10);
    EXPECT_EQ(editor.SelAnchor(), 10);
    input.Shift = false;
    editor.SetExtendingSelection(false);
    editor.MoveColRow(2, 2);
    EXPECT_EQ(editor.SelCount(), 0);
    EXPECT_EQ(editor.SelectionOrigin(), -1);
}

TEST_F(SelectionTest, InsertModeExtensionLeavesTheByteAtTheCaretOut)
{
    load(100);
    editor.SetInsertMode(true);
    editor.SetSelStart(10);
    input.Shift = true;
    editor.SetExtendingSelection(true);
    editor.MoveColRow(2 + 2 * 4, 3); // position 20
    EXPECT_EQ(editor.SelFirst(), 10);
    EXPECT_EQ(editor.SelLast(), 19);
    editor.MoveColRow(2 + 2 * 10, 2); // back onto the origin: nothing selected
    EXPECT_EQ(editor.SelCount(), 0);
    EXPECT_TRUE(editor.ExtendingSelection());
    EXPECT_EQ(editor.SelectionOrigin(), 10);
    editor.MoveColRow(2 + 2 * 4, 2); // position 4, before the origin
    EXPECT_EQ(editor.SelFirst(), 4);
    EXPECT_EQ(editor.SelLast(), 9);
}

TEST_F(SelectionTest, SwitchingFieldsKeepsTheByte)
{
    load(100);
    editor.SetSelStart(37);
    EXPECT_FALSE(editor.InCharField());
    editor.SetInCharField(true);
    EXPECT_TRUE(editor.InCharField());
    EXPECT_EQ(editor.Col(), 40);
    EXPECT_EQ(editor.CaretPosition(), 37);
    editor.SetSelStart(50);
    EXPECT_TRUE(editor.InCharField()) << "SelStart keeps the caret's field";
    editor.SetInCharField(false);
    EXPECT_EQ(editor.Col(), 2 + 2 * 2);
}

TEST_F(SelectionTest, NotificationsAreDeferredAndCoalesced)
{
    load(100);
    returnToEventLoop();
    int calls = 0;
    editor.OnSelectionChanged = [&](QObject* sender) {
        EXPECT_EQ(sender, &editor);
        ++calls;
    };
    editor.SetSelStart(1);
    editor.SetSelStart(2);
    editor.SetSelStart(3);
    EXPECT_EQ(calls, 0);
    returnToEventLoop();
    EXPECT_EQ(calls, 1);
    returnToEventLoop();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(editor.PendingSelectionChanges(), 0);
}

TEST_F(SelectionTest, HandlerAssignedLateIsCalledAtTheNextChange)
{
    load(100);
    editor.SetSelStart(1);
    editor.SetSelStart(2);
    returnToEventLoop();
    int calls = 0;
    editor.OnSelectionChanged = [&](QObject*) { ++calls; };
    editor.SetSelStart(5);
    returnToEventLoop();
    EXPECT_EQ(calls, 1);
}

TEST_F(SelectionTest, FailingHandlerClearsThePendingCount)
{
    load(100);
    returnToEventLoop();
    int calls = 0;
    editor.OnSelectionChanged = [&](QObject*) {
        ++calls;
        throw EMPHexEditor("handler failed");
    };
    editor.SetSelStart(4);
    returnToEventLoop();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(editor.PendingSelectionChanges(), 0);
    editor.SetSelStart(6);
    returnToEventLoop();
    EXPECT_EQ(calls, 2) << "a failed notification does not block the next one";
}
