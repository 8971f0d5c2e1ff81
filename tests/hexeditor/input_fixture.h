#pragma once
// Helpers for driving an editor through real Qt key, mouse and wheel events.

#include "editor_fixture.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

template <typename Editor>
class InputDriver
{
public:
    explicit InputDriver(Editor& ed) : e(ed) {}

    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(&e, k, mods); }
    // Each character as a key press that carries it as text.
    void type(const QString& text)
    {
        for (QChar c : text)
            QTest::keyClick(&e, c.toLatin1() ? c.toLatin1() : 'x', Qt::NoModifier);
    }
    void typeUnicode(QChar c)
    {
        QTest::sendKeyEvent(QTest::Press, &e, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, &e, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    QPoint centerOf(int col, int row) const { return e.CellRect(col, row).center(); }
    QWidget* port() const { return e.viewport(); }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(port(), b, {}, p); }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseRelease(port(), b, {}, p); }
    void click(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseClick(port(), b, {}, p); }
    void move(QPoint p) { QTest::mouseMove(port(), p); }
    void doubleClick(QPoint p) { QTest::mouseDClick(port(), Qt::LeftButton, {}, p); }
    // One wheel notch (delta -120 down, +120 up) with modifiers.
    void wheel(int delta, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const QPointF at = e.viewport()->rect().center();
        QWheelEvent w(at, e.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(e.viewport(), &w);
    }

    Editor& e;
};

class InputTest : public EditorTest
{
protected:
    void load(const QByteArray& bytes) { editor.LoadFromFile(writeFile("input.bin", bytes)); }
    void load(int size) { load(pattern(size)); }
    // A shown editor of a fixed size, for pointer and paging tests.
    void showEditor(int width = 900, int height = 300)
    {
        editor.resize(width, height);
        editor.show();
        QCoreApplication::processEvents();
    }
    void caretTo(int32_t position, bool charField = false)
    {
        const TGridCoord cell = editor.CellAtPosition(position, charField);
        ASSERT_TRUE(editor.MoveColRow(cell.X, cell.Y));
    }
    uint8_t byteAt(int32_t p) { return editor.ByteAt(p); }

    InputDriver<TMPHexEditor> in{editor};
};
