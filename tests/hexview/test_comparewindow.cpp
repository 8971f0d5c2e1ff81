// The compare window on the offscreen platform: its marks, the sliced
// comparison, navigation, scrolling together and edits on either side.

#include "hexview/comparewindow.h"

#include "app/test_folder.h"
#include "hexview/compareactions.h"
#include "hexview/core/comparesummary.h"
#include "hexview/core/tint.h"
#include "hexview/core/viewoptions.h"
#include "hexview/hexviewwindow.h"
#include "hexeditor/ex/mphexeditorex.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace hexview;

namespace {

uint32_t Rgb(QRgb pixel) { return pixel & 0xFFFFFFu; }

QByteArray Pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 13) ^ (i >> 8));
    return bytes;
}

QByteArray Flipped(QByteArray bytes, int first, int count)
{
    for (int i = first; i < first + count; ++i)
        bytes[i] = char(~bytes[i]);
    return bytes;
}

// The ranges a plain byte loop finds.
std::vector<TMPHDiffRange> NaiveRanges(const TMPHexEditorEx& a, const TMPHexEditorEx& b)
{
    const auto& sa = const_cast<TMPHexEditorEx&>(a).DataStorage();
    const auto& sb = const_cast<TMPHexEditorEx&>(b).DataStorage();
    const int64_t na = sa.SizeConst(), nb = sb.SizeConst();
    std::vector<TMPHDiffRange> ranges;
    for (int64_t i = 0; i < std::max(na, nb); ++i) {
        if (i < na && i < nb && sa.Memory()[i] == sb.Memory()[i])
            continue;
        if (!ranges.empty() && ranges.back().End() == i)
            ++ranges.back().Length;
        else
            ranges.push_back({i, 1});
    }
    return ranges;
}

class CompareWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<TCompareWindow>();
        window->ErrorReporter = [this](const QString& text) { errors << text; };
        window->resize(1400, 600);
        window->show();
    }

    void Open(const QByteArray& left, const QByteArray& right)
    {
        ASSERT_TRUE(window->OpenFiles(files.Write("left.bin", left), files.Write("right.bin", right)));
        ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    }

    TMPHexEditorEx& Left() { return window->Editor(0); }
    TMPHexEditorEx& Right() { return window->Editor(1); }

    TTestFolder files;
    QStringList errors;
    std::unique_ptr<TCompareWindow> window;
};

} // namespace

TEST(CompareSummary, CountsAndProgressInWords)
{
    EXPECT_EQ(CompareSummaryText(false, 42, 0, 0), "Comparing... 42%");
    EXPECT_EQ(CompareSummaryText(true, 100, 0, 0), "The files are equal");
    EXPECT_EQ(CompareSummaryText(true, 100, 1, 1), "1 byte differs in 1 range");
    EXPECT_EQ(CompareSummaryText(true, 100, 1234, 5), "1,234 bytes differ in 5 ranges");
}

TEST(CompareCommandLine, DiffTakesExactlyTwoFiles)
{
    const TParsedCommandLine ok = ParseViewCommandLine({"hexview", "--diff", "a.bin", "b.bin"});
    ASSERT_EQ(ok.Outcome, TParsedCommandLine::Run) << ok.Text.toStdString();
    EXPECT_EQ(ok.Options.DiffFiles, QStringList({"a.bin", "b.bin"}));
    EXPECT_EQ(ParseViewCommandLine({"hexview", "--diff", "a.bin"}).Outcome, TParsedCommandLine::Error);
    EXPECT_EQ(ParseViewCommandLine({"hexview", "--diff", "a", "b", "c"}).Outcome, TParsedCommandLine::Error);
    EXPECT_TRUE(ParseViewCommandLine({"hexview", "a.bin"}).Options.DiffFiles.isEmpty());
}

TEST_F(CompareWindowTest, FindsEveryRangeAndCountsThemInTheStatusBar)
{
    const QByteArray left = Pattern(10000);
    QByteArray right = Flipped(Flipped(Flipped(left, 0, 1), 100, 3), 4095, 10) + QByteArray(6, 'x');
    Open(left, right);
    window->FinishComparing();
    EXPECT_FALSE(window->Comparing());
    EXPECT_EQ(window->Diff().Ranges(), NaiveRanges(Left(), Right()));
    EXPECT_EQ(window->Diff().Ranges(),
              (std::vector<TMPHDiffRange>{{0, 1}, {100, 3}, {4095, 10}, {10000, 6}}));
    EXPECT_EQ(window->SummaryText(), "20 bytes differ in 4 ranges");

    Open(left, left);
    window->FinishComparing();
    EXPECT_EQ(window->SummaryText(), "The files are equal");
}

TEST_F(CompareWindowTest, ALargePairIsComparedInStepsWithProgressWhileTheWindowRuns)
{
    window->StepBytes = 16384;
    window->TickBudgetMs = 0; // one step per tick
    const QByteArray left = Pattern(4 << 20);
    const QByteArray right = Flipped(Flipped(left, 17, 2), (4 << 20) - 5, 5);
    Open(left, right);
    // Nothing is compared inside OpenFiles: the steps run from the event loop.
    EXPECT_TRUE(window->Comparing());
    EXPECT_LT(window->Diff().ScannedTo(), int64_t(4 << 20));
    EXPECT_TRUE(window->SummaryText().startsWith("Comparing... "));
    QSignalSpy finished(window.get(), &TCompareWindow::ComparisonFinished);
    int ticks = 0;
    QStringList seen;
    while (finished.isEmpty() && ticks < 100000) {
        QCoreApplication::processEvents();
        seen << window->SummaryText();
        ++ticks;
    }
    ASSERT_FALSE(finished.isEmpty());
    EXPECT_GT(ticks, 1) << "the comparison ran in one go";
    EXPECT_EQ(window->SummaryText(), "7 bytes differ in 2 ranges");
    seen.removeDuplicates();
    EXPECT_GE(seen.size(), 2) << "no progress was shown";
}

TEST_F(CompareWindowTest, DifferingBytesAreDrawnInTheDifferenceColourOnBothSides)
{
    const QByteArray left = Pattern(512);
    Open(left, Flipped(left, 0x22, 2));
    window->FinishComparing();
    for (TMPHexEditorEx* editor : {&Left(), &Right()}) {
        editor->viewport()->update();
        const QImage image = editor->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const uint32_t plain = ResolveColor(editor->Colors()->Background(), editor->palette()).rgb() & 0xFFFFFFu;
        const uint32_t tinted = BlendRgb(plain, TCompareWindow::DiffTint, TCompareWindow::DiffTintPercent);
        auto fill = [&](int col, int row) {
            const QRect cell = editor->CellRect(col, row);
            return Rgb(image.pixel(cell.right() - 1, cell.bottom() - 2));
        };
        // Row 2 holds bytes 0x20..0x2F: hex columns 2 + 2 * i.
        EXPECT_EQ(fill(2 + 2 * 2, 4), tinted) << "byte 0x22";
        EXPECT_EQ(fill(2 + 2 * 3 + 1, 4), tinted) << "byte 0x23, low nibble";
        EXPECT_EQ(fill(2 + 2 * 4, 4), plain) << "byte 0x24";
        EXPECT_EQ(fill(2 + 2 * 1 + 1, 4), plain) << "byte 0x21";
        EXPECT_EQ(fill(editor->HexColumnCount() + 3 + 2, 4), tinted) << "character of byte 0x22";
        // The text on the tint stays readable.
        const QRect text = editor->CellRect(2 + 2 * 2, 4).adjusted(0, 0, 0, -1);
        double best = 1;
        for (int y = text.top(); y <= text.bottom(); ++y)
            for (int x = text.left(); x < text.left() + editor->CharWidth(); ++x)
                best = std::max(best, ContrastRatio(Rgb(image.pixel(x, y)), tinted));
        EXPECT_GE(best, 4.5);
    }
}

TEST_F(CompareWindowTest, NextAndPreviousSelectTheRangeOnBothSides)
{
    const QByteArray left = Pattern(0x4000);
    Open(left, Flipped(Flipped(left, 0, 1), 0x3000, 4).left(0x3800));
    window->FinishComparing();
    // Ranges: 0 (1 byte), 0x3000 (4), 0x3800 (the left file's rest).
    ASSERT_EQ(window->Diff().RangeCount(), 3);
    QAction* next = window->findChild<QAction*>("actionNextDifference");
    QAction* previous = window->findChild<QAction*>("actionPreviousDifference");
    ASSERT_TRUE(next && previous);
    EXPECT_EQ(next->shortcut(), QKeySequence(Qt::Key_F7));
    EXPECT_EQ(previous->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F7));

    // A difference at the caret counts.
    next->trigger();
    EXPECT_EQ(Left().SelFirst(), 0);
    EXPECT_EQ(Right().SelLast(), 0);
    next->trigger();
    for (TMPHexEditorEx* editor : {&Left(), &Right()}) {
        EXPECT_EQ(editor->SelFirst(), 0x3000);
        EXPECT_EQ(editor->SelLast(), 0x3003);
    }
    EXPECT_EQ(Left().TopRow(), Right().TopRow());
    EXPECT_LE(Left().TopRow(), Left().RowOfPosition(0x3000));
    // The rest of the longer side: selected there, the shorter side's end shown.
    EXPECT_TRUE(window->NextDifference());
    EXPECT_EQ(Left().SelFirst(), 0x3800);
    EXPECT_EQ(Left().SelLast(), 0x3FFF);
    EXPECT_EQ(Right().CaretPosition(), 0x37FF);
    EXPECT_FALSE(window->NextDifference());

    previous->trigger();
    EXPECT_EQ(Left().SelFirst(), 0x3000);
    EXPECT_EQ(Right().SelFirst(), 0x3000);
    EXPECT_TRUE(window->PreviousDifference());
    EXPECT_EQ(Right().SelFirst(), 0);
    EXPECT_FALSE(window->PreviousDifference());
}

TEST_F(CompareWindowTest, F7FromTheKeyboardReachesTheNavigation)
{
    const QByteArray left = Pattern(0x2000);
    Open(left, Flipped(left, 0x1500, 2));
    window->FinishComparing();
    window->activateWindow();
    Right().setFocus();
    if (!QTest::qWaitForWindowActive(window.get()))
        GTEST_SKIP() << "the offscreen window did not become active";
    QTest::keyClick(&Right(), Qt::Key_F7);
    EXPECT_EQ(Right().SelFirst(), 0x1500);
    EXPECT_EQ(Left().SelFirst(), 0x1500);
    QTest::keyClick(&Right(), Qt::Key_F7, Qt::ShiftModifier);
    EXPECT_EQ(Right().SelFirst(), 0x1500) << "no earlier difference: nothing moves";
}

TEST_F(CompareWindowTest, ScrollingOneSideScrollsTheOther)
{
    const QByteArray left = Pattern(0x10000);
    Open(left, Flipped(left, 0x100, 1).left(0x8000));
    Left().SetTopRow(500);
    EXPECT_EQ(Right().TopRow(), 500);
    Right().SetTopRow(120);
    EXPECT_EQ(Left().TopRow(), 120);
    // Past the shorter side's end it stops at its last row.
    Left().SetTopRow(3000);
    EXPECT_EQ(Left().TopRow(), 3000);
    EXPECT_LT(Right().TopRow(), 3000);
}

TEST_F(CompareWindowTest, TypingOverABytesUpdatesTheDifferencesAroundIt)
{
    window->VerifyDelayMs = 60000; // only the update around the caret
    const QByteArray left = Pattern(0x1000);
    QByteArray right = Flipped(left, 0x10, 1);
    Open(left, right);
    window->FinishComparing();
    ASSERT_EQ(window->Diff().RangeCount(), 1);
    // Overwrite the differing byte on the right with the left's value, and
    // make byte 0x20 differ, by typing hex digits.
    Right().SetInsertMode(false);
    Right().setFocus();
    Right().SetSelStart(0x10);
    const QString same = QString::number(uint8_t(left[0x10]), 16).rightJustified(2, '0');
    QTest::keyClicks(&Right(), same);
    EXPECT_EQ(window->Diff().RangeCount(), 0) << "made equal";
    Right().SetSelStart(0x20);
    const QString other = QString::number(uint8_t(~left[0x20]), 16).rightJustified(2, '0');
    QTest::keyClicks(&Right(), other);
    EXPECT_EQ(window->Diff().Ranges(), (std::vector<TMPHDiffRange>{{0x20, 1}}));
    EXPECT_EQ(window->SummaryText(), "1 byte differs in 1 range");
    EXPECT_EQ(window->Diff().Ranges(), NaiveRanges(Left(), Right()));
}

TEST_F(CompareWindowTest, InsertionsAndEditsAwayFromTheCaretAreComparedAgain)
{
    const QByteArray left = Pattern(0x40000);
    Open(left, left);
    window->FinishComparing();
    ASSERT_EQ(window->Diff().RangeCount(), 0);
    // An insertion on the left: everything after it moves.
    Left().SetSelStart(0x30000);
    Left().InsertBuffer("ab", 2, 0x30000);
    window->FinishComparing();
    EXPECT_EQ(window->Diff().Ranges(), NaiveRanges(Left(), Right()));
    EXPECT_EQ(window->Diff().SizeA(), 0x40002);

    // An edit far from the caret (as replace all or undo may make): the
    // full comparison after edits finds it.
    Open(left, left);
    window->FinishComparing();
    Right().SetSelStart(0);
    const char x = char(~left[0x38000]);
    Right().Replace(&x, 0x38000, 1, 1, QString(), false);
    window->FinishComparing();
    EXPECT_EQ(window->Diff().Ranges(), (std::vector<TMPHDiffRange>{{0x38000, 1}}));

    // Undo brings the equality back.
    Right().Undo();
    window->FinishComparing();
    EXPECT_EQ(window->Diff().RangeCount(), 0);
}

TEST_F(CompareWindowTest, AFileThatCannotBeOpenedIsReportedAndTheWindowStays)
{
    EXPECT_FALSE(window->OpenFiles(files.Write("a.bin", Pattern(10)), files.dir.filePath("missing.bin")));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("missing.bin")) << errors[0].toStdString();
    window->FinishComparing();
    EXPECT_EQ(window->Diff().Ranges(), (std::vector<TMPHDiffRange>{{0, 10}}));
}

TEST_F(CompareWindowTest, ClosingAsksAboutUnsavedChangesOnEachSide)
{
    const QByteArray left = Pattern(64);
    Open(left, left);
    const char x = 'Q';
    Right().Replace(&x, 3, 1, 1);
    QList<int> asked;
    window->AskToSave = [&asked](int side) {
        asked << side;
        return QMessageBox::Cancel;
    };
    EXPECT_FALSE(window->close());
    EXPECT_EQ(asked, QList<int>({1}));
    window->AskToSave = [](int) { return QMessageBox::Save; };
    EXPECT_TRUE(window->close());
    EXPECT_EQ(TTestFolder::Read(files.dir.filePath("right.bin")).at(3), 'Q');
    EXPECT_EQ(TTestFolder::Read(files.dir.filePath("right.bin.bak")), left) << "saved as Save saves";
}

TEST(CompareWithAction, TheFileMenuOpensTheDocumentBesideTheChosenFile)
{
    TTestFolder settings, folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.dir.path());
    HexViewWindow main;
    QStringList errors;
    main.ErrorReporter = [&errors](const QString& text) { errors << text; };
    const QString a = folder.Write("a.bin", Pattern(300));
    const QString b = folder.Write("b.bin", Flipped(Pattern(300), 7, 1));
    ASSERT_TRUE(main.OpenFile(a));
    QAction* action = main.findChild<QAction*>("actionCompareWith");
    ASSERT_TRUE(action);
    EXPECT_TRUE(main.FileMenu()->actions().contains(action));
    const auto ask = AskCompareFileName;
    AskCompareFileName = [&b](HexViewWindow&, const QString&) { return b; };
    action->trigger();
    AskCompareFileName = ask;
    TCompareWindow* compare = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* c = qobject_cast<TCompareWindow*>(w))
            compare = c;
    ASSERT_TRUE(compare);
    compare->FinishComparing();
    EXPECT_EQ(compare->Editor(0).FileName(), a);
    EXPECT_EQ(compare->Editor(1).FileName(), b);
    EXPECT_EQ(compare->Diff().Ranges(), (std::vector<TMPHDiffRange>{{7, 1}}));
    EXPECT_TRUE(errors.isEmpty());
    delete compare;
}
