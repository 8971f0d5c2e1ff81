// Finding through the editor: selection of the match, wrapping, progress
// reports with pkFind, and the degenerate documents.

#include "editor_fixture.h"
#include "error_of.h"

#include <vector>

namespace {

class EditorFindTest : public EditorTest
{
protected:
    void load(const QByteArray& bytes) { editor.LoadFromFile(writeFile(QStringLiteral("find.bin"), bytes)); }

    static TMPHSearchPattern hex(const char* text) { return TMPHSearchPattern::FromHexText(QString::fromLatin1(text)); }

    struct Report
    {
        TMPHProgressKind kind;
        QString name;
        int percent;
    };
    void recordProgress(int cancelAt = -1)
    {
        editor.OnProgress = [this, cancelAt](QObject*, TMPHProgressKind kind, const QString& name, uint8_t percent,
                                             bool& cancel) {
            reports.push_back({kind, name, percent});
            cancel = int(reports.size()) == cancelAt;
        };
    }
    std::vector<Report> reports;
};

QByteArray Filler(int size) { return QByteArray(size, '\x55'); }

} // namespace

TEST_F(EditorFindTest, FindNextSelectsEachMatchInTurnAndWraps)
{
    QByteArray data = Filler(4096);
    data.replace(40, 4, QByteArray("\xE3\x00\x00\x10", 4));
    data.replace(3000, 4, QByteArray("\xE3\x00\x00\x10", 4));
    load(data);
    const auto p = hex("E3 00 00 10");

    ASSERT_TRUE(editor.FindNext(p, true));
    EXPECT_EQ(editor.SelFirst(), 40);
    EXPECT_EQ(editor.SelLast(), 43);
    EXPECT_EQ(editor.CaretPosition(), 40);
    EXPECT_EQ(editor.SelectionAsText(), QByteArray("\xE3\x00\x00\x10", 4));

    ASSERT_TRUE(editor.FindNext(p, true));
    EXPECT_EQ(editor.SelFirst(), 3000);
    EXPECT_EQ(editor.CaretPosition(), 3000);
    // The caret row is scrolled into view.
    EXPECT_LE(editor.TopRow(), editor.Row());
    EXPECT_LT(editor.Row(), editor.TopRow() + std::max(1, editor.VisibleRowCount()));

    ASSERT_TRUE(editor.FindNext(p, true)); // wraps to the first
    EXPECT_EQ(editor.SelFirst(), 40);
    ASSERT_TRUE(editor.FindNext(p, false)); // backward wraps to the last
    EXPECT_EQ(editor.SelFirst(), 3000);
    ASSERT_TRUE(editor.FindNext(p, false));
    EXPECT_EQ(editor.SelFirst(), 40);
}

TEST_F(EditorFindTest, NotFoundChangesNothing)
{
    load(Filler(100));
    editor.SetSelStart(10);
    editor.SetSelEnd(12);
    EXPECT_FALSE(editor.FindNext(hex("01 02"), true));
    EXPECT_FALSE(editor.FindNext(hex("01 02"), false));
    EXPECT_EQ(editor.SelFirst(), 10);
    EXPECT_EQ(editor.SelLast(), 12);
    EXPECT_EQ(editor.Find(hex("55 55"), 99, true, false), -1);
    EXPECT_EQ(editor.Find(hex("55 55"), 99, true, true), 0);
}

TEST_F(EditorFindTest, TextInTheCurrentTranslationIgnoringCase)
{
    QByteArray data = Filler(64);
    data.replace(20, 4, "\xC1\x82\x83\x84"); // EBCDIC "Abcd"
    data.replace(50, 4, "Abcd");
    load(data);
    editor.SetTranslation(tkBCD);
    const auto p = TMPHSearchPattern::FromText(QStringLiteral("aBCD"), editor.SearchTextEncoding(), true);
    ASSERT_TRUE(editor.FindNext(p, true));
    EXPECT_EQ(editor.SelFirst(), 20);
    ASSERT_TRUE(editor.FindNext(p, true)); // the ASCII bytes are no EBCDIC text
    EXPECT_EQ(editor.SelFirst(), 20);
    const auto exact = TMPHSearchPattern::FromText(QStringLiteral("aBCD"), editor.SearchTextEncoding(), false);
    EXPECT_FALSE(editor.FindNext(exact, true));

    editor.SetTranslation(tkAsIs);
    const auto ascii = TMPHSearchPattern::FromText(QStringLiteral("ABCD"), editor.SearchTextEncoding(), true);
    ASSERT_TRUE(editor.FindNext(ascii, true));
    EXPECT_EQ(editor.SelFirst(), 50);
}

TEST_F(EditorFindTest, ProgressWithPkFindOnlyWhileFindProgressIsSet)
{
    // Three chunks; the match straddles the first chunk boundary.
    QByteArray data = Filler(int(3 * FindChunkSize));
    const int at = int(FindChunkSize) - 2;
    data.replace(at, 4, QByteArray("\xE3\x00\x00\x10", 4));
    load(data);
    recordProgress();

    EXPECT_EQ(editor.Find(hex("E3 00 00 10"), 0, true), at);
    EXPECT_TRUE(reports.empty()); // FindProgress is False by default

    editor.SetFindProgress(true);
    EXPECT_EQ(editor.Find(hex("E3 00 00 10"), 0, true), at);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].kind, pkFind);
    EXPECT_EQ(reports[0].percent, 0);
    EXPECT_EQ(reports[0].name, editor.FileName());

    reports.clear();
    EXPECT_EQ(editor.Find(hex("01 02 03"), 0, true), -1);
    std::vector<int> percents;
    for (const Report& r : reports)
        percents.push_back(r.percent);
    EXPECT_EQ(percents, (std::vector<int>{0, 33, 100}));
}

TEST_F(EditorFindTest, CancelStopsTheSearchAndKeepsTheSelection)
{
    load(Filler(int(3 * FindChunkSize)));
    editor.SetFindProgress(true);
    editor.SetSelStart(5);
    recordProgress(2);
    EXPECT_EQ(ErrorOf([&] { editor.FindNext(hex("01"), true); }), QStringLiteral("Operation cancelled"));
    EXPECT_EQ(reports.size(), 2u);
    EXPECT_EQ(editor.CaretPosition(), 5);
    EXPECT_EQ(editor.SelCount(), 0);
}

TEST_F(EditorFindTest, OneByteAndEmptyDocuments)
{
    editor.SetFindProgress(true);
    recordProgress();
    EXPECT_FALSE(editor.FindNext(hex("00"), true));
    EXPECT_EQ(editor.Find(hex("00"), 0, true), -1);
    EXPECT_TRUE(reports.empty());

    load(QByteArray("\x7F", 1));
    ASSERT_TRUE(editor.FindNext(hex("7F"), true));
    EXPECT_EQ(editor.SelFirst(), 0);
    EXPECT_EQ(editor.SelLast(), 0);
    ASSERT_TRUE(editor.FindNext(hex("7F"), true)); // wraps onto itself
    EXPECT_EQ(editor.SelFirst(), 0);
    ASSERT_TRUE(editor.FindNext(hex("7F"), false));
    EXPECT_EQ(editor.SelFirst(), 0);
    EXPECT_FALSE(editor.FindNext(hex("7F 7F"), true));
}
