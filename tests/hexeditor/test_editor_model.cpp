// Random editing against a plain byte vector: every operation is checked
// against the model, every undo against the state before the operation it
// reverts, every redo against the state before that undo, and the raw undo
// stack must walk cleanly from both ends after every step.

#include "editing_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>

namespace {
#ifndef EDITBOOT_MODEL_STEPS
#define EDITBOOT_MODEL_STEPS 100000
#endif

int modelSteps()
{
    const QByteArray env = qgetenv("EDITBOOT_MODEL_STEPS");
    return env.isEmpty() ? EDITBOOT_MODEL_STEPS : env.toInt();
}

struct ViewState
{
    std::vector<uint8_t> bytes;
    int col = 0, row = 0;
    int32_t selFirst = -1, selLast = -1, selAnchor = -1;
    bool modified = false;
    bool insertMode = false;
    bool operator==(const ViewState&) const = default;
};

std::string describe(const ViewState& s)
{
    std::ostringstream o;
    o << "size " << s.bytes.size() << " cell (" << s.col << "," << s.row << ") sel " << s.selFirst << ".."
      << s.selLast << " anchor " << s.selAnchor << " modified " << s.modified << " insert " << s.insertMode;
    return o.str();
}

struct Step
{
    ViewState before;
};
} // namespace

class ModelTest : public EditingTest
{
protected:
    ViewState capture()
    {
        ViewState s;
        const QByteArray d = data();
        s.bytes.assign(d.begin(), d.end());
        s.col = editor.Col();
        s.row = editor.Row();
        s.selFirst = editor.SelFirst();
        s.selLast = editor.SelLast();
        s.selAnchor = editor.SelAnchor();
        s.modified = editor.Modified();
        s.insertMode = editor.InsertModeSwitch();
        return s;
    }
    std::vector<uint8_t> bytes() { const QByteArray d = data(); return {d.begin(), d.end()}; }

    std::mt19937 rng;
    int rand(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    QByteArray randomBytes(int n)
    {
        QByteArray b(n, '\0');
        for (auto& c : b)
            c = char(rand(0, 255));
        return b;
    }
    int undos = 0, redos = 0, changes = 0;
    std::vector<uint8_t> model;
    std::vector<Step> history; // one step per entry on the editor's stack
    bool redoArmed = false;
    ViewState beforeUndo;
    Step lastUndone;
    std::vector<uint8_t> redoBytes;

    void moveCaretRandomly()
    {
        const int32_t size = editor.DataSize();
        if (size == 0)
            return;
        const int32_t p = rand(0, size - 1);
        editor.SetSelStart(p);
        if (rand(0, 3) == 0)
            editor.SetInCharField(true);
        if (rand(0, 2) == 0)
            editor.SetSelEnd(rand(0, size - 1));
    }
    // One change operation on editor and model; false when refused.
    bool changeStep(int op);
    void syncHistory(const ViewState& before, int entriesBefore, bool changed);
};

bool ModelTest::changeStep(int op)
{
    const int32_t size = editor.DataSize();
    const int32_t caret = editor.PositionAtCell(editor.Col(), editor.Row());
    const bool hasSel = editor.SelCount() > 0;
    const int32_t first = editor.SelFirst(), last = editor.SelLast();
    switch (op) {
    case 0: { // change byte
        if (size == 0) return false;
        const int32_t p = rand(0, size - 1);
        const uint8_t v = uint8_t(rand(0, 255));
        if (v == model[p]) return false;
        editor.ChangeByte(p, model[p], v);
        model[p] = v;
        return true;
    }
    case 1: { // change word
        if (size < 2) return false;
        const int32_t p = rand(0, size - 2);
        const uint16_t oldWord = uint16_t(model[p] | model[p + 1] << 8);
        const uint16_t w = uint16_t(rand(0, 65535));
        if (w == oldWord) return false;
        editor.ChangeWord(p, oldWord, w);
        model[p] = uint8_t(w);
        model[p + 1] = uint8_t(w >> 8);
        return true;
    }
    case 2: { // insert
        const int32_t p = rand(0, size);
        const QByteArray b = randomBytes(rand(1, 8));
        editor.InsertBuffer(b.constData(), b.size(), p, {}, rand(0, 1));
        model.insert(model.begin() + p, b.begin(), b.end());
        return true;
    }
    case 3: { // append
        const QByteArray b = randomBytes(rand(1, 6));
        editor.AppendBuffer(b.constData(), b.size(), {}, rand(0, 1));
        model.insert(model.end(), b.begin(), b.end());
        return true;
    }
    case 4: { // replace
        if (size == 0) return false;
        const int32_t p = rand(0, size);
        int32_t oldCount = rand(0, 6), newCount = rand(0, 6);
        const QByteArray b = randomBytes(newCount);
        // Without a caret move undo selects the old bytes instead of restoring
        // the caret (tested on its own), so the model always moves it.
        const int32_t written = editor.Replace(b.constData(), p, oldCount, newCount, {}, true);
        if (oldCount > size - p) {
            if (newCount == oldCount) newCount = size - p;
            oldCount = size - p;
        }
        EXPECT_EQ(written, newCount);
        model.erase(model.begin() + p, model.begin() + p + oldCount);
        model.insert(model.begin() + p, b.begin(), b.begin() + newCount);
        return true;
    }
    case 5: { // replace selection
        if (!hasSel) return false;
        const QByteArray b = randomBytes(rand(1, 6));
        editor.ReplaceSelection(b.constData(), b.size(), {}, rand(0, 1));
        model.erase(model.begin() + first, model.begin() + last + 1);
        model.insert(model.begin() + first, b.begin(), b.end());
        return true;
    }
    case 6: { // delete selection or caret byte
        if (size == 0 || (!hasSel && caret >= size)) return false;
        editor.DeleteSelection();
        if (hasSel) model.erase(model.begin() + first, model.begin() + last + 1);
        else model.erase(model.begin() + caret);
        return true;
    }
    case 7: { // backspace (one byte units)
        int32_t q = std::clamp(caret, 0, std::max(0, size - 1));
        if (editor.InsertMode() && editor.SelAnchor() == -1) q = caret;
        if (q <= 0 || size == 0) return false;
        editor.DeleteAtCaret(true);
        model.erase(model.begin() + q - 1);
        return true;
    }
    case 8: { // delete forward
        const int32_t a = std::clamp(caret, 0, std::max(0, size - 1));
        if (a >= size) return false;
        editor.DeleteAtCaret(false);
        model.erase(model.begin() + a);
        return true;
    }
    case 9: { // nibble insert or delete, recorded as the keyboard does
        if (size == 0) return false;
        const int32_t p = rand(0, size - 1);
        const bool high = rand(0, 1);
        std::vector<uint8_t> nibbles;
        for (uint8_t v : model) { nibbles.push_back(v >> 4); nibbles.push_back(v & 15); }
        const size_t at = size_t(2 * p + (high ? 0 : 1));
        if (rand(0, 1)) {
            editor.CreateUndo(ukInsertNibble, p, 0, 0);
            editor.InsertNibble(p, high);
            nibbles.insert(nibbles.begin() + at, 0);
            nibbles.push_back(0);
        } else {
            editor.CreateUndo(ukDeleteNibble, p, 0, 0);
            editor.DeleteNibble(p, high);
            nibbles.erase(nibbles.begin() + at);
            nibbles.push_back(0);
        }
        model.clear();
        for (size_t i = 0; i + 1 < nibbles.size(); i += 2)
            model.push_back(uint8_t(nibbles[i] << 4 | nibbles[i + 1]));
        return true;
    }
    }
    return false;
}

void ModelTest::syncHistory(const ViewState& before, int entriesBefore, bool changed)
{
    const int entries = editor.UndoStorage().EntryCount();
    if (changed) {
        ASSERT_EQ(entries, std::min<int>(entriesBefore + 1, entries)) << "no entry recorded";
        history.push_back({before});
        redoArmed = false;
    } else {
        ASSERT_EQ(entries, entriesBefore);
    }
    // The budget dropped the oldest entries.
    ASSERT_LE(size_t(entries), history.size());
    history.erase(history.begin(), history.begin() + ptrdiff_t(history.size() - size_t(entries)));
}

TEST_F(ModelTest, RandomEditingMatchesModelAndUndoRedoAreExact)
{
    const unsigned seed = 20261208u;
    rng.seed(seed);
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    load(randomBytes(64));
    model = bytes();
    const int steps = modelSteps();
    int64_t mostPieces = 0;
    for (int step = 0; step < steps; ++step) {
        SCOPED_TRACE(testing::Message() << "step " << step);
        const int choice = rand(0, 99);
        if (choice < 8) {
            moveCaretRandomly();
        } else if (choice < 22) { // undo
            if (!editor.CanUndo()) continue;
            ASSERT_FALSE(history.empty());
            beforeUndo = capture();
            redoBytes = bytes();
            editor.Undo();
            ++undos;
            const ViewState expected = history.back().before;
            lastUndone = history.back();
            history.pop_back();
            const ViewState now = capture();
            ASSERT_EQ(now, expected) << describe(now) << " expected " << describe(expected);
            model = now.bytes;
            redoArmed = editor.CanRedo();
        } else if (choice < 30) { // redo
            if (!redoArmed) { ASSERT_FALSE(editor.CanRedo()); continue; }
            editor.Redo();
            ++redos;
            const ViewState now = capture();
            ASSERT_EQ(now.bytes, redoBytes);
            ASSERT_EQ(now, beforeUndo) << describe(now) << " expected " << describe(beforeUndo);
            // The entry goes back on the stack as it was recorded.
            history.push_back(lastUndone);
            model = now.bytes;
            redoArmed = false;
        } else if (choice < 32) { // combine
            const int n = int(history.size());
            // Recording the marker must not push grouped entries out of the budget.
            const int budget = editor.MaxUndo();
            if (n < 2 || (budget > 0 && editor.UndoStorage().SizeConst() + 300 > budget)) continue;
            const int k = rand(2, std::min(n, 4));
            const ViewState first = history[size_t(n - k)].before;
            editor.CombineUndo(k, "group");
            history.resize(size_t(n - k));
            history.push_back({first});
            history.push_back({first}); // the marker is one more entry
            redoArmed = false;
            // Undoing the marker undoes the group: account for it as one step.
            history.pop_back();
            ASSERT_EQ(int(history.size()) + k, editor.UndoStorage().EntryCount());
            // Keep the mirror simple: undo the group at once.
            const ViewState expected = history.back().before;
            editor.Undo();
            history.pop_back();
            const ViewState now = capture();
            ASSERT_EQ(now, expected) << describe(now) << " expected " << describe(expected);
            ASSERT_FALSE(editor.CanRedo());
            model = bytes();
        } else if (choice < 33) { // suspended change: the history no longer applies
            editor.UndoBeginUpdate();
            if (editor.DataSize() > 0)
                editor.ChangeByte(0, model[0], uint8_t(model[0] + 1));
            editor.UndoEndUpdate();
            EXPECT_TRUE(editor.Modified());
            editor.ResetUndo();
            history.clear();
            redoArmed = false;
            model = bytes();
        } else if (choice < 35) {
            static const int budgets[] = {0, 150, 2000, 1048576};
            editor.SetMaxUndo(budgets[rand(0, 3)]);
        } else if (choice < 37) {
            editor.SetInsertMode(!editor.InsertModeSwitch());
        } else if (choice < 38) { // fixed size: size-changing work is refused
            editor.SetNoSizeChange(true);
            const int entries = editor.UndoStorage().EntryCount();
            const auto size = editor.DataSize();
            EXPECT_THROW(editor.InsertBuffer("q", 1, 0), EMPHexEditor);
            EXPECT_EQ(editor.DataSize(), size);
            EXPECT_EQ(editor.UndoStorage().EntryCount(), entries);
            editor.SetNoSizeChange(false);
        } else {
            // Grow slowly, shrink when large.
            int op = rand(0, 9);
            if (editor.DataSize() > 300 && (op == 2 || op == 3)) op = 6;
            const ViewState before = capture();
            const int entriesBefore = editor.UndoStorage().EntryCount();
            bool changed = false;
            try {
                changed = changeStep(op);
            } catch (const EMPHexEditor& e) {
                ASSERT_EQ(bytes(), before.bytes) << "refused change altered the data: " << e.Message().toStdString();
                model = before.bytes;
                changed = false;
            }
            ASSERT_NO_FATAL_FAILURE(syncHistory(before, entriesBefore, changed));
            changes += changed;
            ASSERT_EQ(bytes(), model) << "op " << op;
        }
        ASSERT_TRUE(walksCleanly()) << "undo stack damaged";
        mostPieces = std::max(mostPieces, editor.DataStorage().PieceCount());
    }
    // The data went through the scattered form, not just one block.
    EXPECT_GT(mostPieces, 20);
    // The run exercised what it claims to (in fixed shares of the steps).
    EXPECT_GT(changes, steps / 4);
    EXPECT_GT(undos, steps / 10);
    EXPECT_GT(redos, steps / 100);
}

// With MultiLevelRedo every undone step stays redoable until the next change:
// random runs of undos and redos of any depth, groups included, each checked
// against the state the model recorded for it.
TEST_F(ModelTest, MultiLevelRedoUndoesAndRedoesToAnyDepth)
{
    const unsigned seed = 20261209u;
    rng.seed(seed);
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    editor.SetMultiLevelRedo(true);
    load(randomBytes(64));
    model = bytes();
    struct Done { ViewState before; int entries = 1; };
    struct Undone { ViewState after; Done step; };
    std::vector<Done> done;
    std::vector<Undone> undone;
    auto entriesOf = [&done] { int n = 0; for (const Done& d : done) n += d.entries; return n; };
    size_t deepestRedo = 0;
    int groupsRedone = 0;
    const int steps = std::max(1000, modelSteps() / 4);
    for (int step = 0; step < steps; ++step) {
        SCOPED_TRACE(testing::Message() << "step " << step);
        const int choice = rand(0, 99);
        if (choice < 8) {
            moveCaretRandomly();
        } else if (choice < 30) { // a run of undos
            if (done.empty()) { ASSERT_FALSE(editor.CanUndo()); continue; }
            const int depth = rand(1, int(done.size()));
            for (int i = 0; i < depth; ++i) {
                ASSERT_TRUE(editor.CanUndo());
                const ViewState after = capture();
                editor.Undo();
                ++undos;
                const ViewState now = capture();
                ASSERT_EQ(now, done.back().before) << describe(now) << " expected " << describe(done.back().before);
                undone.push_back({after, done.back()});
                done.pop_back();
                ASSERT_TRUE(editor.CanRedo());
            }
            deepestRedo = std::max(deepestRedo, undone.size());
        } else if (choice < 52) { // a run of redos
            if (undone.empty()) { ASSERT_FALSE(editor.CanRedo()); continue; }
            const int depth = rand(1, int(undone.size()));
            for (int i = 0; i < depth; ++i) {
                ASSERT_TRUE(editor.CanRedo());
                groupsRedone += undone.back().step.entries > 1;
                editor.Redo();
                ++redos;
                const ViewState now = capture();
                ASSERT_EQ(now, undone.back().after) << describe(now) << " expected " << describe(undone.back().after);
                done.push_back(undone.back().step);
                undone.pop_back();
                ASSERT_EQ(editor.UndoStorage().EntryCount(), entriesOf());
            }
            ASSERT_EQ(editor.CanRedo(), !undone.empty());
        } else if (choice < 56) { // group the last few single steps
            int k = 0;
            while (k < int(done.size()) && k < 4 && done[done.size() - 1 - size_t(k)].entries == 1)
                ++k;
            if (k < 2) continue;
            k = rand(2, k);
            const ViewState first = done[done.size() - size_t(k)].before;
            editor.CombineUndo(k, "group");
            done.resize(done.size() - size_t(k));
            done.push_back({first, k + 1});
            undone.clear();
            ASSERT_FALSE(editor.CanRedo());
        } else if (choice < 57) { // a change outside the history: start over
            editor.UndoBeginUpdate();
            if (editor.DataSize() > 0)
                editor.ChangeByte(0, model[0], uint8_t(model[0] + 1));
            editor.UndoEndUpdate();
            editor.ResetUndo();
            ASSERT_FALSE(editor.CanRedo());
            done.clear();
            undone.clear();
            model = bytes();
        } else if (choice < 59) {
            editor.SetMaxUndo(rand(0, 1) ? 0 : 1048576);
        } else if (choice < 61) {
            editor.SetInsertMode(!editor.InsertModeSwitch());
        } else {
            int op = rand(0, 9);
            if (editor.DataSize() > 300 && (op == 2 || op == 3)) op = 6;
            const ViewState before = capture();
            bool changed = false;
            try {
                changed = changeStep(op);
            } catch (const EMPHexEditor& e) {
                ASSERT_EQ(bytes(), before.bytes) << "refused change altered the data: " << e.Message().toStdString();
                model = before.bytes;
            }
            if (changed) {
                done.push_back({before, 1});
                // A new change disarms every redo step, as it does the single record.
                undone.clear();
                ASSERT_FALSE(editor.CanRedo());
                ++changes;
            }
            ASSERT_EQ(bytes(), model) << "op " << op;
        }
        model = bytes();
        ASSERT_EQ(editor.UndoStorage().EntryCount(), entriesOf());
        ASSERT_TRUE(walksCleanly()) << "undo stack damaged";
        // Keep the stack well inside the budget, so no entry is dropped.
        if (editor.UndoStorage().EntryCount() > 4000) {
            editor.ResetUndo();
            done.clear();
            undone.clear();
        }
    }
    EXPECT_GT(changes, steps / 10);
    EXPECT_GT(redos, steps / 20);
    EXPECT_GE(deepestRedo, 10u);
    EXPECT_GT(groupsRedone, 0);
}

// The redo stack obeys the undo budget: the steps furthest from the present go
// first, those next to it stay redoable.
TEST_F(ModelTest, MultiLevelRedoKeepsWithinTheUndoBudget)
{
    editor.SetMultiLevelRedo(true);
    load(QByteArray(32, 'a'));
    editor.SetMaxUndo(400);
    for (int i = 0; i < 8; ++i)
        editor.ChangeByte(i, 'a', uint8_t('0' + i));
    const int entries = editor.UndoStorage().EntryCount();
    ASSERT_EQ(entries, 8);
    for (int i = 0; i < entries; ++i)
        editor.Undo();
    EXPECT_LE(editor.UndoStorage().RedoStackBytes(), 400 + 200);
    EXPECT_LT(editor.UndoStorage().RedoUnitCount(), entries);
    int redone = 0;
    while (editor.CanRedo()) {
        editor.Redo();
        ++redone;
    }
    EXPECT_EQ(redone, editor.UndoStorage().EntryCount());
    // The oldest undone changes are back, the newest dropped with the budget.
    const QByteArray d = data();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(d[i], i < redone ? char('0' + i) : 'a') << i;

    // Switched off, the component is back to one redo step.
    editor.Undo();
    editor.Undo();
    editor.SetMultiLevelRedo(false);
    EXPECT_FALSE(editor.CanRedo());
    editor.Undo();
    editor.Undo();
    editor.Redo();
    EXPECT_FALSE(editor.CanRedo());
}
