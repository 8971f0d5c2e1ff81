// Repaints decided by the change path: after any operation, every pixel of
// the view that looks different must lie in the area the editor asked to
// repaint. A missing invalidation leaves stale pixels on screen, which
// these tests see by comparing full renders before and after.

#include "input_fixture.h"
#include "hexeditor/core/mphsearch.h"

#include <QPaintEvent>
#include <QRandomGenerator>
#include <functional>

namespace {

// Collects the areas of the paint events a widget receives.
class PaintSpy : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && !grabbing)
            painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
    QRegion painted;
    bool grabbing = false;
};

} // namespace

class RepaintTest : public InputTest
{
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        QFont f(QStringLiteral("Courier New"), 11);
        f.setStyleStrategy(QFont::NoAntialias);
        editor.setFont(f);
        editor.SetShowRuler(true);
        editor.viewport()->installEventFilter(&spy);
    }

    QImage shot()
    {
        spy.grabbing = true;
        QImage image = editor.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        spy.grabbing = false;
        return image;
    }

    // Runs op and checks that whatever changed on screen was repainted.
    void expectRepainted(const std::string& what, const std::function<void()>& op)
    {
        QCoreApplication::processEvents();
        spy.painted = QRegion();
        const QImage before = shot();
        op();
        QCoreApplication::processEvents();
        const QImage after = shot();
        // A scroll bar came or went: the viewport changed size and must
        // have been painted whole.
        if (before.size() != after.size()) {
            EXPECT_TRUE((QRegion(after.rect()) - spy.painted).isEmpty()) << what << ": resized view not repainted";
            return;
        }
        int stale = 0;
        QPoint first;
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (before.pixel(x, y) != after.pixel(x, y) && !spy.painted.contains(QPoint(x, y)))
                    if (stale++ == 0)
                        first = QPoint(x, y);
        EXPECT_EQ(stale, 0) << what << ": stale pixels, the first at " << first.x() << "," << first.y()
                            << " (cell row " << editor.MouseCoord(first.x(), first.y()).Y << ")";
    }

    PaintSpy spy;
};

TEST_F(RepaintTest, EachEditingOperationRepaintsWhatItChanged)
{
    load(300);
    showEditor(900, 260);
    // Overwrite mode first: the change marks are shown.
    expectRepainted("ChangeByte", [&] { editor.ChangeByte(20, editor.ByteAt(20), 0x41); });
    expectRepainted("ChangeWord", [&] { editor.ChangeWord(33, 0, 0x4243); });
    expectRepainted("WriteBuffer", [&] { editor.WriteBuffer("zz", 70, 2); });
    expectRepainted("select", [&] { editor.SetSelection(50, 60); });
    expectRepainted("ReplaceSelection", [&] { editor.ReplaceSelection("ab", 2); });
    expectRepainted("Replace shorter", [&] { editor.Replace("x", 5, 3, 1); });
    // An overwrite drops the change marks behind it, rows away.
    expectRepainted("ChangeByte", [&] { editor.ChangeByte(150, editor.ByteAt(150), 0x42); });
    expectRepainted("Replace same size", [&] { editor.Replace("pq", 2, 2, 2); });
    expectRepainted("undo", [&] { editor.Undo(); });
    expectRepainted("undo", [&] { editor.Undo(); });
    expectRepainted("redo", [&] { editor.Redo(); });
    expectRepainted("redo", [&] { editor.Redo(); });

    editor.SetInsertMode(true);
    // The new selection replaces one rows before the change.
    expectRepainted("select", [&] { editor.SetSelection(2, 6); });
    expectRepainted("InsertBuffer", [&] { editor.InsertBuffer("abc", 3, 90, {}, false); });
    expectRepainted("select", [&] { editor.SetSelection(40, 44); });
    expectRepainted("AppendBuffer", [&] { editor.AppendBuffer("xy", 2); });
    expectRepainted("select", [&] { editor.SetSelection(4, 8); });
    expectRepainted("DeleteSelection", [&] { editor.DeleteSelection(); });
    expectRepainted("InsertNibble", [&] { editor.InsertNibble(17, true); });
    expectRepainted("DeleteNibble", [&] { editor.DeleteNibble(30, false); });
    expectRepainted("ReplaceAll", [&] {
        EXPECT_GT(editor.ReplaceAll(TMPHSearchPattern::FromBytes(QByteArray(1, char(0x18))), "QQQ", {}), 0);
    });
    for (int i = 0; i < 10; ++i)
        expectRepainted("undo " + std::to_string(i), [&] { editor.Undo(); });
    for (int i = 0; i < 10; ++i)
        expectRepainted("redo " + std::to_string(i), [&] { editor.Redo(); });
}

TEST_F(RepaintTest, TypingDeletingAndModeChangesRepaintWhatTheyChanged)
{
    load(200);
    showEditor(900, 260);
    caretTo(18);
    expectRepainted("typed digit", [&] { in.type("7"); });
    expectRepainted("typed digit", [&] { in.type("c"); });
    expectRepainted("caret right", [&] { in.key(Qt::Key_Right); });
    expectRepainted("shift selection", [&] { in.key(Qt::Key_Down, Qt::ShiftModifier); });
    expectRepainted("tab to characters", [&] { in.key(Qt::Key_Tab); });
    expectRepainted("typed character", [&] { in.type("K"); });
    editor.SetInsertMode(true);
    expectRepainted("typed in insert mode", [&] { in.type("Z"); });
    expectRepainted("backspace", [&] { in.key(Qt::Key_Backspace); });
    expectRepainted("delete", [&] { in.key(Qt::Key_Delete); });
    expectRepainted("delete", [&] { in.key(Qt::Key_Delete); });
    ASSERT_EQ(editor.DataSize() % 2, 0);
    expectRepainted("unicode on", [&] { editor.SetUnicodeChars(true); });
    expectRepainted("unicode off", [&] { editor.SetUnicodeChars(false); });
    expectRepainted("undo", [&] { editor.Undo(); });
    expectRepainted("end of data", [&] { in.key(Qt::Key_End, Qt::ControlModifier); });
}

// Random operations on a document larger than the view, in both modes.
TEST_F(RepaintTest, RandomEditsNeverLeaveStalePixels)
{
    load(400);
    showEditor(900, 260);
    QRandomGenerator rng(7);
    const char bytes[] = "0123456789";
    for (int round = 0; round < 150; ++round) {
        const int32_t size = editor.DataSize();
        const auto at = [&](int32_t n) { return size > n ? int32_t(rng.bounded(size - n)) : 0; };
        const int op = int(rng.bounded(11));
        const std::string what = "round " + std::to_string(round) + " op " + std::to_string(op);
        switch (op) {
        case 0: expectRepainted(what, [&] { editor.SetInsertMode(!editor.InsertMode()); }); break;
        case 1: expectRepainted(what, [&] { editor.ChangeByte(at(1), editor.ByteAt(at(1)), uint8_t(round)); }); break;
        case 2: expectRepainted(what, [&] { editor.InsertBuffer(bytes, 1 + int(rng.bounded(9)), at(0)); }); break;
        case 3: {
            const int32_t first = at(20);
            expectRepainted(what, [&] { editor.SetSelection(first, first + int32_t(rng.bounded(20))); });
            expectRepainted(what + " delete", [&] { editor.DeleteSelection(); });
            break;
        }
        case 4: expectRepainted(what, [&] { editor.Replace(bytes, at(8), 1 + int(rng.bounded(8)), 3); }); break;
        case 5: expectRepainted(what, [&] { editor.Undo(); }); break;
        case 6: expectRepainted(what, [&] { editor.Redo(); }); break;
        case 7: expectRepainted(what, [&] { caretTo(at(0), rng.bounded(2) == 1); }); break;
        case 9: expectRepainted(what, [&] { editor.AppendBuffer(bytes, 1 + int(rng.bounded(5))); }); break;
        case 10:
            expectRepainted(what, [&] {
                if (rng.bounded(2) == 1)
                    editor.InsertNibble(at(1), rng.bounded(2) == 1);
                else
                    editor.DeleteNibble(at(1), rng.bounded(2) == 1);
            });
            break;
        default: expectRepainted(what, [&] { editor.Seek(at(0), 0); }); break;
        }
        if (HasFailure())
            return;
    }
}
