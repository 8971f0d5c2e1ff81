// Replace: the plan of a replace-all without a window, and Replace / Replace
// all in the window with their undo steps and refusals.

#include "window_fixture.h"

#include "hexview/core/replaceplan.h"
#include "hexview/replaceactions.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

using namespace hexview;

namespace {

QByteArray Apply(const QByteArray& data, const TReplacePlan& plan)
{
    QByteArray out = data;
    if (plan.Count > 0)
        out.replace(qsizetype(plan.First), qsizetype(plan.OldCount), plan.NewBytes);
    return out;
}

TReplacePlan Plan(const QByteArray& data, const char* hexPattern, const QByteArray& replacement)
{
    return PlanReplaceAll(TMPHSearchPattern::FromHexText(QString::fromLatin1(hexPattern)),
                          reinterpret_cast<const uint8_t*>(data.constData()), data.size(), replacement);
}

} // namespace

TEST(ReplacePlan, MatchesAreTakenLeftToRightWithoutOverlaps)
{
    const QByteArray data("xAAAAAy", 7);
    const TReplacePlan plan = Plan(data, "41 41", "B");
    EXPECT_EQ(plan.Count, 2);
    EXPECT_EQ(plan.First, 1);
    EXPECT_EQ(plan.OldCount, 4) << "the fifth A is no whole match";
    EXPECT_EQ(Apply(data, plan), QByteArray("xBBAy"));
}

TEST(ReplacePlan, LongerShorterAndEmptyReplacementsKeepTheBytesBetween)
{
    const QByteArray data("1-ab-2-ab-3-ab", 14);
    EXPECT_EQ(Apply(data, Plan(data, "6162", "XYZ")), QByteArray("1-XYZ-2-XYZ-3-XYZ"));
    EXPECT_EQ(Apply(data, Plan(data, "6162", "")), QByteArray("1--2--3-"));
    EXPECT_EQ(Apply(data, Plan(data, "6162", "q")), QByteArray("1-q-2-q-3-q"));
    const TReplacePlan none = Plan(data, "7A", "q");
    EXPECT_EQ(none.Count, 0);
    EXPECT_EQ(none.First, -1);
    EXPECT_EQ(Plan(QByteArray("a"), "6161", "q").Count, 0) << "data shorter than the pattern";
    // A match at the very end, and one that fills the data.
    EXPECT_EQ(Apply(QByteArray("zab"), Plan(QByteArray("zab"), "6162", "!")), QByteArray("z!"));
    EXPECT_EQ(Apply(QByteArray("ab"), Plan(QByteArray("ab"), "6162", "!!!")), QByteArray("!!!"));
}

TEST(ReplacePlan, GrowthPastTheLimitGivesNoPlan)
{
    const QByteArray data("abab", 4);
    const auto pattern = TMPHSearchPattern::FromHexText(QStringLiteral("61"));
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
    EXPECT_EQ(PlanReplaceAll(pattern, bytes, data.size(), "xyz", 8).Count, 2) << "4 + 2 x 2 = 8 fits";
    const TReplacePlan over = PlanReplaceAll(pattern, bytes, data.size(), "xyz", 7);
    EXPECT_TRUE(over.TooLarge);
    EXPECT_EQ(over.Count, 0);
    EXPECT_TRUE(over.NewBytes.isEmpty());
    EXPECT_EQ(PlanReplaceAll(pattern, bytes, data.size(), "", 3).Count, 2) << "shrinking always fits";
}

namespace {

class ReplaceTest : public HexViewWindowTest
{
protected:
    void open(const QByteArray& bytes) { ASSERT_TRUE(window->OpenFile(files.Write("r.bin", bytes))); }
    QByteArray data()
    {
        QByteArray bytes(Editor().DataSize(), '\0');
        Editor().ReadBuffer(bytes.data(), 0, bytes.size());
        return bytes;
    }
    static TFindRequest Hex(const char* text) { return TFindRequest{QString::fromLatin1(text), true, false}; }
};

} // namespace

TEST_F(ReplaceTest, ReplaceAllIsOneUndoStep)
{
    open(QByteArray("..\xE3\x00\x00\x10..\xE3\x00\x00\x10..", 14));
    EXPECT_EQ(ReplaceAllInWindow(*window, Hex("E3000010"), "AA BB"), 2);
    EXPECT_EQ(data(), QByteArray("..\xAA\xBB..\xAA\xBB..", 10));
    EXPECT_EQ(window->statusBar()->currentMessage(), "Replaced 2 match(es)");
    EXPECT_TRUE(Editor().Modified());
    Editor().Undo();
    EXPECT_EQ(data(), QByteArray("..\xE3\x00\x00\x10..\xE3\x00\x00\x10..", 14)) << "one undo restores all";
    EXPECT_FALSE(Editor().CanUndo());

    EXPECT_EQ(ReplaceAllInWindow(*window, Hex("77"), "00"), 0);
    EXPECT_EQ(window->statusBar()->currentMessage(), "Nothing replaced");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(ReplaceTest, ReplaceTakesTheSelectedMatchAndMovesToTheNext)
{
    open(QByteArray("ab-ab-ab"));
    const TFindRequest text{QStringLiteral("ab"), false, false};
    // Nothing selected: the first press only finds.
    EXPECT_TRUE(ReplaceInWindow(*window, text, "abab"));
    EXPECT_EQ(data(), QByteArray("ab-ab-ab"));
    EXPECT_EQ(Editor().SelFirst(), 0);
    // Now it replaces, and the next match is the old second one, not the
    // pattern inside the replacement.
    EXPECT_TRUE(ReplaceInWindow(*window, text, "abab"));
    EXPECT_EQ(data(), QByteArray("abab-ab-ab"));
    EXPECT_EQ(Editor().SelFirst(), 5);
    EXPECT_EQ(Editor().SelCount(), 2);
    EXPECT_TRUE(ReplaceInWindow(*window, text, "abab"));
    EXPECT_EQ(data(), QByteArray("abab-abab-ab"));
    Editor().Undo();
    EXPECT_EQ(data(), QByteArray("abab-ab-ab")) << "one undo step per replacement";
}

TEST_F(ReplaceTest, ReadOnlyFixedSizeAndBadTextsAreRefused)
{
    open(QByteArray("abcabc"));
    window->SetReadOnlyView(true);
    EXPECT_EQ(ReplaceAllInWindow(*window, Hex("61"), "7A"), 0);
    EXPECT_EQ(data(), QByteArray("abcabc"));
    QAction* replace = window->findChild<QAction*>("actionReplace");
    ASSERT_NE(replace, nullptr);
    EXPECT_FALSE(replace->isEnabled());
    window->SetReadOnlyView(false);
    EXPECT_TRUE(replace->isEnabled());

    Editor().SetNoSizeChange(true);
    EXPECT_EQ(ReplaceAllInWindow(*window, Hex("6162"), "7A"), 0);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("must have 2 bytes")) << errors[0].toStdString();
    EXPECT_EQ(data(), QByteArray("abcabc"));
    EXPECT_EQ(ReplaceAllInWindow(*window, Hex("6162"), "7A 7A"), 2) << "same length: allowed";
    EXPECT_EQ(data(), QByteArray("zzczzc"));
    Editor().SetNoSizeChange(false);

    errors.clear();
    EXPECT_EQ(ReplaceAllInWindow(*window, Hex("7A"), "7"), 0) << "odd hex digits";
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(data(), QByteArray("zzczzc"));
}

TEST_F(ReplaceTest, TheDialogReplacesThroughItsButtons)
{
    open(QByteArray("one two one"));
    window->findChild<QAction*>("actionReplace")->trigger();
    auto* dialog = window->findChild<TReplaceDialog*>();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    dialog->findChild<QRadioButton*>("replaceTextMode")->setChecked(true);
    dialog->findChild<QLineEdit*>("replaceFind")->setText("one");
    dialog->findChild<QLineEdit*>("replaceWith")->setText("1");
    dialog->findChild<QPushButton*>("replaceAll")->click();
    EXPECT_EQ(data(), QByteArray("1 two 1"));
    EXPECT_EQ(dialog->Result()->text(), "Replaced 2 match(es)");
}
