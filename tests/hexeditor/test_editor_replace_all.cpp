// Replace all through the editor: the rewrite in place against a plain model,
// inside a range, on scattered data, as one undo step (undo and redo), and a
// cancel or a refusal that changes nothing; the memory a longer replacement
// at the end adds.

#include "editor_fixture.h"
#include "error_of.h"

#include "hexeditor/core/mphsearch.h"

#include <QFile>
#include <random>
#include <unistd.h>

namespace {

// What Replace all must give: matches from left to right without overlaps.
QByteArray Model(const QByteArray& data, const QByteArray& pattern, const QByteArray& replacement,
                 qsizetype first = 0, qsizetype end = -1)
{
    if (end < 0)
        end = data.size();
    QByteArray out = data.left(first);
    qsizetype at = first;
    while (at + pattern.size() <= end) {
        if (data.mid(at, pattern.size()) == pattern) {
            out += replacement;
            at += pattern.size();
        } else {
            out += data[at++];
        }
    }
    return out + data.mid(at);
}

class EditorReplaceAllTest : public EditorTest
{
protected:
    void load(const QByteArray& bytes) { editor.LoadFromFile(writeFile(QStringLiteral("r.bin"), bytes)); }
    QByteArray data()
    {
        QByteArray bytes(editor.DataSize(), '\0');
        editor.ReadBuffer(bytes.data(), 0, bytes.size());
        return bytes;
    }
    int64_t replaceAll(const QByteArray& pattern, const QByteArray& replacement, int64_t first = 0,
                       int64_t end = -1, const TMPHFindProgressFunc& progress = {})
    {
        TMPHFindParams params;
        params.RangeFirst = first;
        params.RangeEnd = end;
        params.ChunkSize = 7; // matches straddle chunks
        params.Progress = progress;
        return editor.ReplaceAll(TMPHSearchPattern::FromBytes(pattern), replacement, params, "Replace all");
    }
};

} // namespace

TEST_F(EditorReplaceAllTest, ShorterLongerEqualAndEmptyReplacementsMatchTheModel)
{
    std::mt19937 random(19);
    for (int round = 0; round < 40; ++round) {
        QByteArray bytes(300 + int(random() % 200), '\0');
        for (char& b : bytes)
            b = "ab-"[random() % 3];
        const QByteArray pattern = QByteArray("ab-").left(1 + int(random() % 3));
        const QByteArray replacement = QByteArray("XYZW").left(int(random() % 5));
        load(bytes);
        const QByteArray expected = Model(bytes, pattern, replacement);
        replaceAll(pattern, replacement);
        ASSERT_EQ(data(), expected) << "round " << round;
        editor.Undo();
        ASSERT_EQ(data(), bytes) << "one undo step, round " << round;
        editor.Redo();
        ASSERT_EQ(data(), expected) << "redo, round " << round;
    }
}

TEST_F(EditorReplaceAllTest, OnlyTheRangeChangesAndTheCountIsReturned)
{
    const QByteArray bytes("ab.ab.ab.ab.ab");
    load(bytes);
    // [4, 11): the match at 3 starts before it, 6 and 9 are inside, 12 is after it.
    EXPECT_EQ(replaceAll("ab", "Q", 4, 11), 2);
    EXPECT_EQ(data(), Model(bytes, "ab", "Q", 4, 11));
    EXPECT_EQ(data(), QByteArray("ab.ab.Q.Q.ab"));
    EXPECT_EQ(replaceAll("zz", "Q"), 0);
    EXPECT_TRUE(editor.CanUndo());
    editor.Undo();
    EXPECT_EQ(data(), bytes);
}

TEST_F(EditorReplaceAllTest, ScatteredDataAreRewrittenAsWell)
{
    load(QByteArray("0123ab4567ab89"));
    editor.InsertBuffer("abab", 4, 2, "ins"); // the buffer is now in pieces
    const QByteArray before = data();
    ASSERT_EQ(before, QByteArray("01abab23ab4567ab89"));
    EXPECT_EQ(replaceAll("ab", "xyz"), 4);
    EXPECT_EQ(data(), Model(before, "ab", "xyz"));
    editor.Undo();
    EXPECT_EQ(data(), before);
    editor.Undo();
    EXPECT_EQ(data(), QByteArray("0123ab4567ab89"));
}

TEST_F(EditorReplaceAllTest, ACancelWhileCountingChangesNothing)
{
    const QByteArray bytes(200, 'a');
    load(bytes);
    std::vector<int> reports;
    const QString error = ErrorOf([&] {
        replaceAll("a", "bb", 0, -1, [&](int percent) {
            reports.push_back(percent);
            return percent >= 20;
        });
    });
    EXPECT_EQ(error, QStringLiteral("Operation cancelled"));
    EXPECT_EQ(data(), bytes);
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_FALSE(editor.Modified());
    ASSERT_FALSE(reports.empty());
    EXPECT_LE(reports.back(), 50) << "counting reports the first half";

    // Uncancelled, the second half is reported up to the end and cannot cancel.
    reports.clear();
    replaceAll("a", "bb", 0, -1, [&](int percent) {
        reports.push_back(percent);
        return percent >= 60;
    });
    EXPECT_EQ(data(), QByteArray(400, 'b'));
    EXPECT_GE(reports.back(), 99);
}

TEST_F(EditorReplaceAllTest, RefusalsAndUnrecordedChanges)
{
    load(QByteArray("abcabc"));
    editor.SetNoSizeChange(true);
    EXPECT_EQ(ErrorOf([&] { replaceAll("ab", "x"); }), QStringLiteral("Cannot update undo storage"));
    EXPECT_EQ(data(), QByteArray("abcabc"));
    EXPECT_EQ(replaceAll("ab", "xy"), 2) << "same length is allowed";
    EXPECT_EQ(data(), QByteArray("xycxyc"));
    editor.SetNoSizeChange(false);

    // With recording suspended the old bytes come from a copy of their own.
    editor.UndoBeginUpdate();
    EXPECT_EQ(replaceAll("xy", "1234"), 2);
    editor.UndoEndUpdate();
    EXPECT_EQ(data(), QByteArray("1234c1234c"));
}

namespace {

// A pattern that claims to need the bytes around its matches, as a regular
// expression may: Replace all then rewrites from the list of the first pass.
class TContextPattern : public TMPHMatcher
{
public:
    explicit TContextPattern(const QByteArray& bytes) : m_pattern(TMPHSearchPattern::FromBytes(bytes)) {}
    int64_t MinLength() const override { return m_pattern.MinLength(); }
    int64_t FindForward(const uint8_t* d, int64_t s, int64_t f, int64_t t, int64_t* n) const override
    {
        return m_pattern.FindForward(d, s, f, t, n);
    }
    int64_t FindBackward(const uint8_t* d, int64_t s, int64_t f, int64_t t, int64_t* n) const override
    {
        return m_pattern.FindBackward(d, s, f, t, n);
    }
    bool NeedsContext() const override { return true; }

private:
    TMPHSearchPattern m_pattern;
};

} // namespace

TEST_F(EditorReplaceAllTest, MatchersNeedingContextAreRewrittenFromTheFirstPassAndBounded)
{
    const QByteArray bytes("xab-ab-abab-");
    load(bytes);
    EXPECT_EQ(editor.ReplaceAll(TContextPattern("ab"), "Z", TMPHFindParams{}), 4);
    EXPECT_EQ(data(), Model(bytes, "ab", "Z"));

    // More matches than the list may hold: refused before anything changes.
    const QByteArray many((8 << 20) + 1, 'a');
    load(many);
    EXPECT_EQ(ErrorOf([&] { editor.ReplaceAll(TContextPattern("a"), "b", TMPHFindParams{}); }),
              QStringLiteral("Too many matches to replace at once (more than 8388608); replace within a selection"));
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_EQ(editor.ByteAt(0), 'a');
    EXPECT_EQ(editor.DataSize(), many.size());
}

// A longer replacement of the data's last bytes: the data grow by the bytes
// they gain, not by a 2 MiB page beyond them, and undo gives the old bytes
// back.
TEST_F(EditorReplaceAllTest, ALongerReplacementAtTheEndAddsLittleMemory)
{
    auto residentBytes = []() -> int64_t {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly))
            return -1;
        return statm.readAll().split(' ').value(1).toLongLong() * int64_t(::sysconf(_SC_PAGESIZE));
    };
    QByteArray bytes = pattern(8 << 20);
    bytes.replace(bytes.size() - 4, 4, "\xE3\x00\x00\x10", 4);
    bytes.replace(3, 4, "\xE3\x00\x00\x10", 4);
    load(bytes);
    const int64_t before = residentBytes();
    ASSERT_GT(before, 0);
    ASSERT_EQ(replaceAll(QByteArray("\xE3\x00\x00\x10", 4), "ABCDEF"), 2);
    const int64_t grown = residentBytes() - before;
    // The undo entry holds the whole span between the two matches.
    EXPECT_LE(grown, bytes.size() + (int64_t(512) << 10)) << grown << " bytes more";
    const QByteArray expected = Model(bytes, QByteArray("\xE3\x00\x00\x10", 4), "ABCDEF");
    EXPECT_TRUE(data() == expected);
    editor.Undo();
    EXPECT_TRUE(data() == bytes);
    editor.Redo();
    EXPECT_TRUE(data() == expected);
}
