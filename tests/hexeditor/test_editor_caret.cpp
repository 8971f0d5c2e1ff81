// The drawn caret: its shapes, its placement and parking, focus in and out,
// and that it inverts what lies under it.

#include "editor_fixture.h"

#include <QApplication>
#include <QTest>

namespace {

class CaretEditor : public TMPHexEditor
{
public:
    using TCustomMPHexEditor::UpdateCaretPos;
    void blink() { ToggleCaretBlink(); }
};

// Rows of the caret image that hold white pixels, and columns likewise.
QRect whiteArea(const QImage& image)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF)
                area |= QRect(x, y, 1, 1);
    return area;
}

} // namespace

class CaretTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        editor.Loaded();
        editor.resize(700, 200);
        QByteArray bytes(200, 'a');
        editor.DataStorage().Write(bytes.constData(), bytes.size());
        editor.UpdateGridSize();
    }

    bool focus()
    {
        editor.show();
        editor.activateWindow();
        if (!QTest::qWaitForWindowActive(&editor))
            return false;
        editor.setFocus();
        QApplication::processEvents();
        return editor.hasFocus();
    }

    CaretEditor editor;
};

TEST_F(CaretTest, ShapesFollowCaretKind)
{
    const int w = editor.CharWidth();
    const int h = editor.CharHeight() - 2;
    ASSERT_GT(w, 2);
    editor.SetCaretKind(ckFull);
    editor.CreateCaretShape();
    EXPECT_EQ(editor.CaretBitmap().size(), QSize(w, h));
    EXPECT_EQ(whiteArea(editor.CaretBitmap()), QRect(0, 0, w, h));
    editor.SetCaretKind(ckLeft);
    editor.CreateCaretShape();
    EXPECT_EQ(whiteArea(editor.CaretBitmap()), QRect(0, 0, 2, h));
    editor.SetCaretKind(ckBottom);
    editor.CreateCaretShape();
    EXPECT_EQ(whiteArea(editor.CaretBitmap()), QRect(0, editor.CharHeight() - 4, w, 2));
}

TEST_F(CaretTest, AutoShapeFollowsReadOnlyAndInsertMode)
{
    const int w = editor.CharWidth();
    const int h = editor.CharHeight() - 2;
    ASSERT_EQ(editor.CaretKind(), ckAuto);
    editor.CreateCaretShape();
    EXPECT_EQ(whiteArea(editor.CaretBitmap()), QRect(0, 0, w, h)); // overwrite
    editor.SetInsertMode(true);
    editor.CreateCaretShape();
    EXPECT_EQ(whiteArea(editor.CaretBitmap()), QRect(0, 0, 2, h));
    editor.SetReadOnlyView(true);
    editor.CreateCaretShape();
    EXPECT_EQ(whiteArea(editor.CaretBitmap()), QRect(0, editor.CharHeight() - 4, w, 2));
}

TEST_F(CaretTest, FocusCreatesPlacesAndDestroysTheCaret)
{
    ASSERT_TRUE(focus()) << "the offscreen platform gave no focus";
    EXPECT_TRUE(editor.CaretShown());
    EXPECT_EQ(editor.CaretPos(), editor.CellRect(editor.Col(), editor.Row()).topLeft());
    EXPECT_FALSE(editor.ActiveFieldShown());

    // Into the character field: the active field follows.
    editor.MoveColRow(editor.HexColumnCount() + 5, 3, true);
    editor.UpdateCaretPos();
    EXPECT_TRUE(editor.InCharField());
    EXPECT_TRUE(editor.ActiveFieldShown());
    EXPECT_EQ(editor.CaretPos(), editor.CellRect(editor.Col(), editor.Row()).topLeft());

    // The current cell scrolled away: the caret is parked outside.
    editor.SetTopRow(editor.RowCount() - 1);
    editor.UpdateCaretPos();
    EXPECT_EQ(editor.CaretPos(), QPoint(-50, -50));

    // A new caret kind parks the caret until its next move.
    editor.SetTopRow(2);
    editor.UpdateCaretPos();
    editor.SetCaretKind(ckBottom);
    EXPECT_EQ(editor.CaretPos(), QPoint(-50, -50));
    EXPECT_TRUE(editor.CaretShown());

    editor.SetExtendingSelection(true);
    editor.clearFocus();
    QApplication::processEvents();
    EXPECT_FALSE(editor.CaretShown());
    EXPECT_FALSE(editor.ExtendingSelection());
}

TEST_F(CaretTest, CaretInvertsWhatLiesUnderIt)
{
    ASSERT_TRUE(focus()) << "the offscreen platform gave no focus";
    editor.SetCaretKind(ckFull);
    editor.CreateCaretShape();
    editor.UpdateCaretPos();
    const QRect area(editor.CaretPos(), editor.CaretBitmap().size());
    const QImage on = editor.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    editor.blink();
    const QImage off = editor.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int inverted = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            inverted += ((on.pixel(x, y) ^ off.pixel(x, y)) & 0xFFFFFF) == 0xFFFFFF;
    EXPECT_EQ(inverted, area.width() * area.height());
    // Outside the caret nothing changes.
    EXPECT_EQ(on.pixel(area.right() + 3, area.center().y()), off.pixel(area.right() + 3, area.center().y()));
}

TEST_F(CaretTest, CaretFollowsEveryMoveOfTheCurrentCell)
{
    ASSERT_TRUE(focus()) << "the offscreen platform gave no focus";
    const auto caretOnCurrentCell = [this] {
        return editor.CaretPos() == editor.CellRect(editor.Col(), editor.Row()).topLeft();
    };

    // A program move, with nothing else to put the caret right.
    editor.MoveColRow(9, 4, true);
    EXPECT_EQ(editor.Col(), 9);
    EXPECT_TRUE(caretOnCurrentCell());

    // A mouse press on another byte.
    const QPoint target = editor.CellRect(20, 5).center();
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, Qt::NoModifier, target);
    EXPECT_EQ(editor.Col(), 20);
    EXPECT_TRUE(caretOnCurrentCell());

    // Removing a selection that ends where the caret stands moves the caret
    // to its first byte.
    editor.SetSelStart(16);
    editor.SetSelEnd(31);
    editor.DeleteSelection();
    EXPECT_EQ(editor.DataSize(), 184);
    EXPECT_EQ(editor.CaretPosition(), 16);
    EXPECT_TRUE(caretOnCurrentCell());
}
