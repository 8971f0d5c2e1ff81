// Wheel paging, top-left notifications and the caret placement after a resize.

#include "input_fixture.h"

#include "platform/privatemessages.h"

#include <QScrollBar>

namespace {
// Counts caret placements.
class CountingEditor : public TMPHexEditor
{
public:
    int caretUpdates = 0;

protected:
    void UpdateCaretPos() override
    {
        ++caretUpdates;
        TMPHexEditor::UpdateCaretPos();
    }
};
} // namespace

class ScrollingTest : public InputTest
{
};

TEST_F(ScrollingTest, WheelPagesWithoutMovingTheCaretOrTheSelection)
{
    load(16 * 200);
    showEditor();
    const int visible = editor.VisibleRowCount();
    ASSERT_GT(visible, 3);
    editor.SetSelStart(3);
    editor.SetSelEnd(9);
    const int col = editor.Col();
    const int row = editor.Row();
    in.wheel(-120);
    EXPECT_EQ(editor.TopRow(), 2 + visible - 1);
    in.wheel(-120);
    EXPECT_EQ(editor.TopRow(), 2 + 2 * (visible - 1));
    in.wheel(120);
    EXPECT_EQ(editor.TopRow(), 2 + visible - 1);
    in.wheel(120);
    in.wheel(120);
    EXPECT_EQ(editor.TopRow(), 2) << "not above the first page";
    EXPECT_EQ(editor.Col(), col);
    EXPECT_EQ(editor.Row(), row);
    EXPECT_EQ(editor.SelFirst(), 3);
    EXPECT_EQ(editor.SelLast(), 9);

    for (int i = 0; i < 100; ++i)
        in.wheel(-120);
    EXPECT_EQ(editor.TopRow(), editor.RowCount() - editor.VisibleRowCount()) << "not past the last page";

    // Half notches add up to one.
    in.wheel(120);
    const int top = editor.TopRow();
    in.wheel(60);
    EXPECT_EQ(editor.TopRow(), top);
    in.wheel(60);
    EXPECT_EQ(editor.TopRow(), top - visible + 1);
}

TEST_F(ScrollingTest, WheelOnADocumentShorterThanAPageKeepsTheTopRow)
{
    load(40);
    showEditor();
    in.wheel(-120);
    EXPECT_EQ(editor.TopRow(), 2);
    in.wheel(120);
    EXPECT_EQ(editor.TopRow(), 2);
}

TEST_F(ScrollingTest, WheelWithModifiersIsTheGridsOwn)
{
    load(16 * 200);
    showEditor();
    const int visible = editor.VisibleRowCount();
    in.wheel(-120, Qt::ShiftModifier);
    EXPECT_NE(editor.TopRow(), 2 + visible - 1) << "no page-less-one-row paging with Shift";
}

TEST_F(ScrollingTest, TopLeftChangesPlaceTheCaretAndNotify)
{
    CountingEditor ed;
    ed.Loaded();
    ed.LoadFromFile(writeFile("scroll.bin", pattern(16 * 200)));
    ed.resize(900, 300);
    ed.show();
    QCoreApplication::processEvents();
    int notified = 0;
    ed.OnTopLeftChanged = [&](QObject* sender) {
        EXPECT_EQ(sender, &ed);
        ++notified;
    };
    const int before = ed.caretUpdates;
    ed.verticalScrollBar()->setValue(20);
    EXPECT_EQ(ed.TopRow(), 20);
    EXPECT_EQ(notified, 1);
    EXPECT_GT(ed.caretUpdates, before);
    ed.SetTopRow(20);
    EXPECT_EQ(notified, 1) << "no change, no notification";
}

TEST_F(ScrollingTest, ResizePlacesTheCaretOnceTheMessageArrives)
{
    CountingEditor ed;
    ed.Loaded();
    ed.resize(600, 200);
    ed.show();
    QCoreApplication::processEvents();
    const int before = ed.caretUpdates;
    ed.resize(700, 260);
    QResizeEvent resize(QSize(700, 260), QSize(600, 200));
    QApplication::sendEvent(&ed, &resize);
    const int atResize = ed.caretUpdates;
    QCoreApplication::sendPostedEvents(&ed);
    EXPECT_GT(ed.caretUpdates, atResize) << "placed when the posted message arrives";
    EXPECT_GE(atResize, before);

    // A message with another first parameter places nothing.
    const int now = ed.caretUpdates;
    PostPrivateMessage(&ed, CM_INTRESIZE, 3, 7);
    QCoreApplication::sendPostedEvents(&ed);
    EXPECT_EQ(ed.caretUpdates, now);
}

TEST_F(ScrollingTest, WheelRowsScrollsThatManyRowsAndZeroPagesAsBefore)
{
    load(16 * 200);
    showEditor();
    EXPECT_EQ(editor.WheelRows(), 0);
    const int visible = editor.VisibleRowCount();
    ASSERT_GT(visible, 4);
    editor.SetWheelRows(3);
    in.wheel(-120);
    EXPECT_EQ(editor.TopRow(), 5);
    in.wheel(-120);
    EXPECT_EQ(editor.TopRow(), 8);
    in.wheel(120);
    EXPECT_EQ(editor.TopRow(), 5);
    editor.SetWheelRows(0);
    in.wheel(-120);
    EXPECT_EQ(editor.TopRow(), 5 + visible - 1);
    editor.SetWheelRows(-4);
    EXPECT_EQ(editor.WheelRows(), 0);
}
