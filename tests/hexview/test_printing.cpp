// Printing to PDF: the text of the pages, checked with pdftotext.

#include "window_fixture.h"

#include "hexview/printactions.h"

#include <QDir>
#include <QProcess>
#include <QProgressDialog>
#include <QStatusBar>
#include <QStandardPaths>

#include <algorithm>
#include <vector>

using namespace hexview;

namespace {

class PrintTest : public HexViewWindowTest
{
protected:
    // The text of a PDF; skips the test (visibly) when pdftotext is missing.
    QString PdfText(const QString& pdf)
    {
        const QString tool = QStandardPaths::findExecutable("pdftotext");
        if (tool.isEmpty())
            return QString();
        QProcess process;
        process.start(tool, {"-layout", pdf, "-"});
        EXPECT_TRUE(process.waitForFinished(60000));
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    void openSample(int size)
    {
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i)
            bytes[i] = char('A' + i % 26);
        ASSERT_TRUE(window->OpenFile(files.Write("sample.bin", bytes)));
    }
};

} // namespace

TEST_F(PrintTest, PdfShowsHeaderFooterOffsetsAndHexRows)
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils, scripts/deps.sh --gui) is not installed";
    openSample(64);
    TMPHPrintOptions* options = Editor().PrintOptions();
    options->SetPageHeader("Header %f page %p of %n");
    options->SetPageFooter("Footer 100%% done");
    const QString pdf = files.dir.filePath("out.pdf");
    ASSERT_TRUE(ExportPdf(*window, pdf));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains("Header sample.bin page 1 of 1")) << text.toStdString();
    EXPECT_TRUE(text.contains("Footer 100% done"));
    EXPECT_TRUE(text.contains(Editor().OffsetToText(0)));
    EXPECT_TRUE(text.contains(Editor().OffsetToText(48)));
    // Bytes 41 42 43 ... in hexview's groups of one byte, then the characters.
    EXPECT_TRUE(text.contains("41 42 43 44 45 46")) << text.toStdString();
    EXPECT_TRUE(text.contains("ABCDEFGHIJKLMNOP"));
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(files.dir.path()).entryList(QDir::Files), (QStringList{"out.pdf", "sample.bin"}));
}

TEST_F(PrintTest, SelectionOnlyPrintsTheRowsOfTheSelection)
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils, scripts/deps.sh --gui) is not installed";
    openSample(64);
    Editor().SetSelection(16, 31);
    Editor().PrintOptions()->SetFlags(pfSelectionOnly);
    const QString pdf = files.dir.filePath("sel.pdf");
    ASSERT_TRUE(ExportPdf(*window, pdf));
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(Editor().OffsetToText(16))) << text.toStdString();
    EXPECT_FALSE(text.contains(Editor().OffsetToText(0)));
    EXPECT_FALSE(text.contains(Editor().OffsetToText(32)));
    EXPECT_TRUE(text.contains("51 52 53 54")); // bytes 16.. are 'Q' 'R' 'S' 'T'
}

TEST_F(PrintTest, LongDocumentsGoOnSeveralNumberedPages)
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils, scripts/deps.sh --gui) is not installed";
    openSample(16 * 300);
    Editor().PrintOptions()->SetPageFooter("page %p/%n");
    Editor().PrintOptions()->SetFlags(pfIncludeRuler);
    const QString pdf = files.dir.filePath("long.pdf");
    ASSERT_TRUE(ExportPdf(*window, pdf));
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains("page 1/")) << text.left(400).toStdString();
    EXPECT_FALSE(text.contains("page 1/1"));
    EXPECT_TRUE(text.contains(Editor().OffsetToText(16 * 299)));
    EXPECT_TRUE(text.contains(Editor().HexRulerText().trimmed().left(8)));
}

TEST_F(PrintTest, AnUnwritableTargetIsReportedAndLeavesNothing)
{
    openSample(16);
    EXPECT_FALSE(ExportPdf(*window, files.dir.filePath("no/such/dir/out.pdf")));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Cannot write")) << errors[0].toStdString();
}

TEST_F(PrintTest, ExportReportsPageProgressAndCanBeCancelled)
{
    openSample(16 * 600);
    Editor().PrintOptions()->SetPageFooter("page %p/%n");
    std::vector<int> reports;
    window->ProgressHook = [&](QProgressDialog&, int percent) { reports.push_back(percent); };
    const QString pdf = files.dir.filePath("pages.pdf");
    ASSERT_TRUE(ExportPdf(*window, pdf));
    ASSERT_GT(reports.size(), 2u) << "one report per page";
    EXPECT_EQ(reports.front(), 0);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_LT(reports.back(), 100);
    const QByteArray written = TTestFolder::Read(pdf);
    ASSERT_TRUE(written.startsWith("%PDF"));

    // Cancelled on the second page: the old file stays, nothing else is left.
    reports.clear();
    window->ProgressHook = [&](QProgressDialog& dialog, int percent) {
        reports.push_back(percent);
        if (reports.size() == 2)
            dialog.cancel();
    };
    Editor().PrintOptions()->SetPageFooter("other %p/%n");
    EXPECT_FALSE(ExportPdf(*window, pdf));
    EXPECT_EQ(reports.size(), 2u) << "no page after the cancel";
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(TTestFolder::Read(pdf), written);
    EXPECT_EQ(QDir(files.dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"pages.pdf", "sample.bin"}));
    EXPECT_EQ(window->statusBar()->currentMessage(), QStringLiteral("PDF export cancelled"));
}

TEST_F(PrintTest, TheDeleteCharacterPrintsAsTheOtherControlCodes)
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils, scripts/deps.sh --gui) is not installed";
    ASSERT_TRUE(window->OpenFile(files.Write("del.bin", QByteArray("AB\x7F\x01" "CD", 6))));
    const QString pdf = files.dir.filePath("del.pdf");
    ASSERT_TRUE(ExportPdf(*window, pdf));
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains("AB..CD")) << text.toStdString();
}
