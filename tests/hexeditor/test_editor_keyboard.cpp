// Key down through real key events: caret moves, selection by Shift, paging,
// field switching, Tab and the focus, insert mode and bookmarks.

#include "input_fixture.h"

#include <QAction>
#include <QLineEdit>
#include <QVBoxLayout>

// An editor above a line edit in a window of their own, the editor loaded
// with a file and holding the focus.
struct TEditorAndField
{
    QWidget window;
    TMPHexEditor* editor = new TMPHexEditor;
    QLineEdit* field = new QLineEdit;

    explicit TEditorAndField(const QString& file)
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(editor);
        layout->addWidget(field);
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        editor->Loaded();
        editor->LoadFromFile(file);
        editor->setFocus();
        QCoreApplication::processEvents();
    }
};

class KeyboardTest : public InputTest
{
protected:
    int32_t caret() { return editor.PositionAtCell(editor.Col(), editor.Row()); }
};

TEST_F(KeyboardTest, LeftAndRightStepByNibbleInTheHexField)
{
    load(40);
    ASSERT_EQ(editor.Col(), 2);
    in.key(Qt::Key_Right);
    EXPECT_EQ(editor.Col(), 3) << "first digit -> second digit";
    in.key(Qt::Key_Right);
    EXPECT_EQ(editor.Col(), 4);
    EXPECT_EQ(caret(), 1);
    in.key(Qt::Key_Left);
    EXPECT_EQ(editor.Col(), 3) << "first digit -> second digit of the previous byte";
    in.key(Qt::Key_Left);
    in.key(Qt::Key_Left);
    EXPECT_EQ(editor.Col(), 2) << "nothing left of position 0";
    EXPECT_EQ(caret(), 0);

    // Row ends: from the last byte of a row to the next row.
    caretTo(15);
    in.key(Qt::Key_Right);
    in.key(Qt::Key_Right);
    EXPECT_EQ(caret(), 16);
    EXPECT_EQ(editor.Row(), 3);
    in.key(Qt::Key_Left);
    EXPECT_EQ(editor.Row(), 2);
    EXPECT_EQ(editor.Col(), 33);
}

TEST_F(KeyboardTest, RightStopsAtTheEndOrStepsOntoTheAppendPosition)
{
    load(20);
    caretTo(19);
    in.key(Qt::Key_Right);
    in.key(Qt::Key_Right);
    EXPECT_EQ(caret(), 19);
    EXPECT_EQ(editor.Col(), 2 + 2 * 3 + 1) << "overwrite mode stays on the last byte's second digit";

    editor.SetInsertMode(true);
    in.key(Qt::Key_Right);
    EXPECT_EQ(caret(), 20) << "insert mode may stand after the last byte";
    EXPECT_EQ(editor.Col() % 2, 0);
    in.key(Qt::Key_Right);
    EXPECT_EQ(caret(), 20) << "but not further";
    EXPECT_EQ(editor.Col() % 2, 0) << "never on the second digit of the append position";
}

TEST_F(KeyboardTest, CharacterFieldStepsByteOrUnicodeCharacter)
{
    load(40);
    caretTo(5, true);
    in.key(Qt::Key_Right);
    EXPECT_EQ(caret(), 6);
    EXPECT_TRUE(editor.InCharField());
    caretTo(0, true);
    in.key(Qt::Key_Left);
    EXPECT_EQ(caret(), 0);
    EXPECT_TRUE(editor.InCharField()) << "Left at 0 stays in the character field";
    caretTo(39, true);
    in.key(Qt::Key_Right);
    EXPECT_EQ(caret(), 39);

    editor.SetUnicodeChars(true);
    caretTo(4, true);
    in.key(Qt::Key_Right);
    EXPECT_EQ(caret(), 6) << "one character is two bytes";
    in.key(Qt::Key_Left);
    in.key(Qt::Key_Left);
    EXPECT_EQ(caret(), 2);
}

TEST_F(KeyboardTest, ShiftArrowsSelectInOverwriteMode)
{
    load(64);
    in.key(Qt::Key_Right, Qt::ShiftModifier);
    in.key(Qt::Key_Right, Qt::ShiftModifier);
    in.key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(caret(), 3) << "selecting moves by whole bytes";
    EXPECT_EQ(editor.SelFirst(), 0);
    EXPECT_EQ(editor.SelLast(), 3) << "both ends are selected";
    EXPECT_EQ(editor.SelAnchor(), 0);

    in.key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(editor.SelLast(), 19);
    in.key(Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(caret(), 16) << "Ctrl+Left goes to the row's first column, still selecting";
    EXPECT_EQ(editor.SelLast(), 16);

    // A move without Shift drops the selection.
    in.key(Qt::Key_Right);
    EXPECT_EQ(editor.SelCount(), 0);
    EXPECT_FALSE(editor.ExtendingSelection());

    // Backwards: the anchor stays on the high end.
    caretTo(10);
    in.key(Qt::Key_Left, Qt::ShiftModifier);
    in.key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(editor.SelFirst(), 8);
    EXPECT_EQ(editor.SelLast(), 10);
    EXPECT_EQ(editor.SelAnchor(), 10);
}

TEST_F(KeyboardTest, ShiftArrowsSelectBetweenBytesInInsertMode)
{
    load(64);
    editor.SetInsertMode(true);
    in.key(Qt::Key_Right, Qt::ShiftModifier);
    in.key(Qt::Key_Right, Qt::ShiftModifier);
    in.key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(caret(), 3);
    EXPECT_EQ(editor.SelFirst(), 0);
    EXPECT_EQ(editor.SelLast(), 2) << "the byte at the caret is not selected";
    in.key(Qt::Key_Left, Qt::ShiftModifier);
    in.key(Qt::Key_Left, Qt::ShiftModifier);
    in.key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(editor.SelCount(), 0) << "back at the origin nothing is selected";
    EXPECT_TRUE(editor.ExtendingSelection());

    in.key(Qt::Key_Right, Qt::ShiftModifier);
    in.key(Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_EQ(editor.SelCount(), 2);
    // Insert mode keeps the selection on a key without Shift until the caret moves.
    in.key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(editor.SelCount(), 2);
    in.key(Qt::Key_Right);
    EXPECT_EQ(editor.SelCount(), 0);
    EXPECT_FALSE(editor.ExtendingSelection());
}

TEST_F(KeyboardTest, SelectingStepsByUnitsAndAlignsThem)
{
    load(64);
    editor.SetBytesPerUnit(4);
    caretTo(5);
    in.key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(caret(), 8) << "5 + 4 rounded down to the unit";
    EXPECT_EQ(editor.SelFirst(), 4);
    EXPECT_EQ(editor.SelLast(), 11);
    in.key(Qt::Key_Left, Qt::ShiftModifier);
    in.key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(caret(), 0);
    EXPECT_EQ(editor.SelFirst(), 0);
}

TEST_F(KeyboardTest, UpDownHomeEnd)
{
    load(40); // rows 2..4, the last one holds 8 bytes
    caretTo(5);
    in.key(Qt::Key_Up);
    EXPECT_EQ(caret(), 5) << "not above the first data row";
    in.key(Qt::Key_Down);
    in.key(Qt::Key_Down);
    EXPECT_EQ(caret(), 37);
    in.key(Qt::Key_Down);
    EXPECT_EQ(caret(), 37);
    caretTo(25);
    in.key(Qt::Key_Down);
    EXPECT_EQ(caret(), 39) << "past the last byte the caret goes to the last byte";
    EXPECT_EQ(editor.Col(), editor.CellAtPosition(39, false).X);
    in.key(Qt::Key_Down, Qt::ControlModifier);
    in.key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(caret(), 39) << "Ctrl+Up and Ctrl+Down do nothing";

    caretTo(20);
    in.key(Qt::Key_End);
    EXPECT_EQ(caret(), 31);
    EXPECT_EQ(editor.Col(), editor.CellAtPosition(31, false).X + 1) << "hex field: the second digit";
    in.key(Qt::Key_Home);
    EXPECT_EQ(caret(), 16);
    EXPECT_EQ(editor.Col(), 2);
    caretTo(33);
    in.key(Qt::Key_End);
    EXPECT_EQ(caret(), 39) << "the last row ends at the last byte";
    in.key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(caret(), 0);

    caretTo(20, true);
    in.key(Qt::Key_End);
    EXPECT_EQ(caret(), 31);
    EXPECT_TRUE(editor.InCharField());
    in.key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(caret(), 39);
    EXPECT_TRUE(editor.InCharField());
    in.key(Qt::Key_Home);
    EXPECT_EQ(caret(), 32);
    EXPECT_EQ(editor.Col(), editor.HexColumnCount() + 3);

    editor.SetInsertMode(true);
    in.key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(caret(), 40) << "insert mode: after the last byte";
    in.key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(caret(), 40) << "Ctrl+Right past the data: the caret stays at the end";
    caretTo(20);
    in.key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(editor.Col(), editor.ColCount() - 1) << "Ctrl+Right: the row's last column";
    EXPECT_EQ(caret(), 31);
}

TEST_F(KeyboardTest, PageUpAndDownAtBothEnds)
{
    load(16 * 200);
    showEditor();
    const int visible = editor.VisibleRowCount();
    ASSERT_GT(visible, 3);
    caretTo(16 * 3 + 4);
    in.key(Qt::Key_PageDown);
    EXPECT_EQ(editor.Row(), 5 + visible - 1);
    EXPECT_EQ(editor.TopRow(), 2 + visible - 1) << "the view scrolls by the same amount";
    EXPECT_EQ(caret() % 16, 4) << "same column";
    in.key(Qt::Key_PageUp);
    EXPECT_EQ(editor.Row(), 5);
    EXPECT_EQ(editor.TopRow(), 2);
    in.key(Qt::Key_PageUp);
    EXPECT_EQ(editor.Row(), 2) << "not above the first data row";
    EXPECT_EQ(editor.TopRow(), 2);

    in.key(Qt::Key_End, Qt::ControlModifier);
    const int lastTop = editor.TopRow();
    in.key(Qt::Key_PageDown);
    EXPECT_EQ(editor.Row(), editor.RowCount() - 1) << "not past the last row";
    EXPECT_EQ(editor.TopRow(), lastTop) << "not beyond the last full page";

    caretTo(16 * 40);
    in.key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(editor.Row(), editor.TopRow() + visible - 1) << "Ctrl: the last visible row";
    in.key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(editor.Row(), editor.TopRow()) << "Ctrl: the first visible row";
}

TEST_F(KeyboardTest, TabAndCtrlTSwitchFields)
{
    load(40);
    caretTo(21);
    in.key(Qt::Key_Right); // second digit: still byte 21
    in.key(Qt::Key_Tab);
    EXPECT_TRUE(editor.InCharField());
    EXPECT_EQ(caret(), 21);
    in.key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_FALSE(editor.InCharField()) << "Shift+Tab switches as well";
    EXPECT_EQ(editor.Col(), editor.CellAtPosition(21, false).X);
    in.key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(editor.InCharField());
    in.key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(editor.InCharField()) << "Ctrl+Tab does nothing";
}

TEST_F(KeyboardTest, TabMovesTheFocusUnlessTheEditorWantsIt)
{
    TEditorAndField pair(writeFile("tab.bin", pattern(40)));
    TMPHexEditor* ed = pair.editor;
    QLineEdit* next = pair.field;
    ASSERT_TRUE(ed->hasFocus());

    QTest::keyClick(ed, Qt::Key_Tab);
    EXPECT_TRUE(ed->hasFocus()) << "WantTabs: Tab reaches the editor";
    EXPECT_TRUE(ed->InCharField());

    ed->SetWantTabs(false);
    QTest::keyClick(ed, Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus()) << "Tab moved the focus on";
    EXPECT_TRUE(ed->InCharField()) << "and did not switch fields";
}

TEST_F(KeyboardTest, FocusLossEndsSelecting)
{
    TEditorAndField pair(writeFile("focus.bin", pattern(40)));
    TMPHexEditor* ed = pair.editor;
    QLineEdit* other = pair.field;
    QTest::keyPress(ed, Qt::Key_Shift, Qt::ShiftModifier);
    ASSERT_TRUE(ed->ExtendingSelection());
    other->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(ed->ExtendingSelection());
}

TEST_F(KeyboardTest, InsertTogglesInsertMode)
{
    load(40);
    in.key(Qt::Key_Insert);
    EXPECT_TRUE(editor.InsertMode());
    in.key(Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_TRUE(editor.InsertMode()) << "only Insert without modifiers";
    in.key(Qt::Key_Insert);
    EXPECT_FALSE(editor.InsertMode());
}

TEST_F(KeyboardTest, CtrlShiftDigitTogglesABookmarkAndCtrlDigitGoesThere)
{
    load(100);
    caretTo(37, true);
    in.key(Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor.Bookmarks().At(3).mPosition, 37);
    EXPECT_TRUE(editor.Bookmarks().At(3).mInCharField);
    caretTo(0);
    in.key(Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(caret(), 37);
    EXPECT_TRUE(editor.InCharField());
    in.key(Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor.Bookmarks().At(3).mPosition, -1) << "the second press clears it";

    // The shifted symbol of the digit key counts as the digit.
    caretTo(12);
    QTest::keyClick(&editor, Qt::Key_NumberSign, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor.Bookmarks().At(3).mPosition, 12);
}

TEST_F(KeyboardTest, BackspaceAndDeleteInOverwriteModeDeleteNothing)
{
    const QByteArray bytes = pattern(40);
    load(bytes);
    caretTo(10);
    in.key(Qt::Key_Backspace);
    EXPECT_EQ(editor.Col(), editor.CellAtPosition(9, false).X + 1) << "Backspace moves like Left";
    in.key(Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(caret(), 9) << "Ctrl+Backspace does nothing";
    in.key(Qt::Key_Delete);
    EXPECT_EQ(editor.DataSize(), 40);
    QByteArray now(40, '\0');
    editor.ReadBuffer(now.data(), 0, 40);
    EXPECT_EQ(now, bytes);
    EXPECT_FALSE(editor.Modified());
}

TEST_F(KeyboardTest, KeyDownHandlerRunsFirstAndMayChangeTheKey)
{
    load(40);
    QList<int> seen;
    editor.OnKeyDown = [&](QObject* sender, int& key, Qt::KeyboardModifiers) {
        EXPECT_EQ(sender, &editor);
        seen << key;
        if (key == Qt::Key_Down)
            key = Qt::Key_End;
    };
    in.key(Qt::Key_Down);
    EXPECT_EQ(seen.value(0), int(Qt::Key_Down));
    EXPECT_EQ(editor.Row(), 2) << "the handler turned Down into End";
    EXPECT_EQ(caret(), 15);
}

TEST_F(KeyboardTest, EditorKeysComeBeforeWindowShortcuts)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* ed = new TMPHexEditor;
    layout->addWidget(ed);
    int deleteAction = 0;
    int f5Action = 0;
    auto* del = new QAction(&window);
    del->setShortcut(QKeySequence(Qt::Key_Delete));
    QObject::connect(del, &QAction::triggered, [&] { ++deleteAction; });
    auto* f5 = new QAction(&window);
    f5->setShortcut(QKeySequence(Qt::Key_F5));
    QObject::connect(f5, &QAction::triggered, [&] { ++f5Action; });
    window.addAction(del);
    window.addAction(f5);
    window.show();
    QApplication::setActiveWindow(&window);
    ed->Loaded();
    ed->LoadFromFile(writeFile("keys.bin", QByteArray::fromHex("00112233")));
    ed->SetInsertMode(true);
    ed->setFocus();
    QCoreApplication::processEvents();

    QTest::keyClick(ed, Qt::Key_Delete);
    EXPECT_EQ(deleteAction, 0) << "Delete belongs to the editor";
    EXPECT_EQ(ed->DataSize(), 3);
    QTest::keyClick(ed, Qt::Key_F5);
    EXPECT_EQ(f5Action, 1) << "keys the editor does not use stay the window's";
}
