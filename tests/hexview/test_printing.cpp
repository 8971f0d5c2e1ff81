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

// ---- the print dialog and the preview --------------------------------------------

#include <QFile>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

namespace {

class PrintDialogTest : public PrintTest
{
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils, scripts/deps.sh --gui) is not installed";
        savedDialog = ShowPrintDialog;
        savedPreview = ShowPrintPreview;
    }
    void TearDown() override
    {
        ShowPrintDialog = savedDialog;
        ShowPrintPreview = savedPreview;
    }

    // The print dialog answered as a person would: "Print to file" at pdf
    // with the given range.
    void AnswerDialog(const QString& pdf, QPrinter::PrintRange range, int from = 0, int to = 0)
    {
        ShowPrintDialog = [=, this](QPrintDialog& dialog) {
            ++dialogs;
            offeredSelection = dialog.testOption(QAbstractPrintDialog::PrintSelection);
            offeredRange = dialog.testOption(QAbstractPrintDialog::PrintPageRange);
            preselected = dialog.printer()->printRange();
            maxPage = dialog.maxPage();
            offeredTo = dialog.printer()->toPage();
            dialog.printer()->setOutputFileName(pdf);
            dialog.printer()->setPrintRange(range);
            dialog.printer()->setFromTo(from, to);
            return true;
        };
    }
    QAction* Action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    static int Pages(const QString& text) { return int(text.count(u'\f')); }

    std::function<bool(QPrintDialog&)> savedDialog;
    std::function<void(QPrintPreviewDialog&)> savedPreview;
    int dialogs = 0;
    bool offeredSelection = false;
    bool offeredRange = false;
    QPrinter::PrintRange preselected = QPrinter::AllPages;
    int maxPage = 0;
    int offeredTo = 0;
};

} // namespace

TEST_F(PrintDialogTest, WithoutStoredTextsEveryPageNamesTheFileAndItsNumber)
{
    openSample(16 * 300);
    const QString pdf = files.dir.filePath("plain.pdf");
    ASSERT_TRUE(ExportPdf(*window, pdf));
    const QString text = PdfText(pdf);
    const int pages = Pages(text);
    ASSERT_GT(pages, 2);
    EXPECT_EQ(int(text.count("sample.bin")), pages) << text.left(300).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Page 1 of %1").arg(pages)));
    EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %1").arg(pages)));
}

TEST_F(PrintDialogTest, APageRangePrintsThosePagesNumberedAsInTheWhole)
{
    openSample(16 * 300);
    const QString pdf = files.dir.filePath("range.pdf");
    AnswerDialog(pdf, QPrinter::PageRange, 2, 3);
    Action("actionPrint")->trigger();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    ASSERT_EQ(dialogs, 1);
    EXPECT_TRUE(offeredRange);
    EXPECT_FALSE(offeredSelection) << "no selection, no choice of it";
    const QString text = PdfText(pdf);
    EXPECT_EQ(Pages(text), 2);
    ASSERT_GT(maxPage, 3) << "the dialog knows the page count";
    EXPECT_EQ(offeredTo, maxPage) << "the range starts out as all pages";
    EXPECT_TRUE(text.contains(QStringLiteral("Page 2 of %1").arg(maxPage))) << text.left(300).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Page 3 of %1").arg(maxPage)));
    EXPECT_FALSE(text.contains(QStringLiteral("Page 1 of")));
    EXPECT_FALSE(text.contains(Editor().OffsetToText(0)));

    // A range beyond the printout is refused and leaves the file alone.
    const QByteArray written = TTestFolder::Read(pdf);
    AnswerDialog(pdf, QPrinter::PageRange, maxPage + 1, maxPage + 5);
    Action("actionPrint")->trigger();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], QStringLiteral("The printout has only %1 page(s)").arg(maxPage));
    EXPECT_EQ(TTestFolder::Read(pdf), written);
}

TEST_F(PrintDialogTest, TheSelectionIsOfferedAndPrintsItsRowsOnly)
{
    openSample(64);
    Editor().SetSelection(16, 31);
    Editor().PrintOptions()->SetFlags(pfSelectionOnly);
    const QString pdf = files.dir.filePath("sel.pdf");
    AnswerDialog(pdf, QPrinter::Selection);
    Action("actionPrint")->trigger();
    EXPECT_TRUE(offeredSelection);
    EXPECT_EQ(preselected, QPrinter::Selection) << "the stored flag chooses the selection in the dialog";
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(Editor().OffsetToText(16))) << text.toStdString();
    EXPECT_FALSE(text.contains(Editor().OffsetToText(0)));
    EXPECT_FALSE(text.contains(Editor().OffsetToText(32)));

    // The dialog's "all pages" wins over the stored flag.
    AnswerDialog(pdf, QPrinter::AllPages);
    Action("actionPrint")->trigger();
    const QString all = PdfText(pdf);
    EXPECT_TRUE(all.contains(Editor().OffsetToText(0))) << all.toStdString();
    EXPECT_TRUE(all.contains(Editor().OffsetToText(48)));
}

TEST_F(PrintDialogTest, TheCurrentPageIsThePageOfTheCaret)
{
    openSample(16 * 300);
    Editor().Seek(16 * 290 + 3, 0);
    ASSERT_EQ(Editor().CaretPosition(), 16 * 290 + 3);
    const QString pdf = files.dir.filePath("current.pdf");
    AnswerDialog(pdf, QPrinter::CurrentPage);
    Action("actionPrint")->trigger();
    const QString text = PdfText(pdf);
    EXPECT_EQ(Pages(text), 1);
    EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %1").arg(maxPage))) << text.left(300).toStdString();
    EXPECT_TRUE(text.contains(Editor().OffsetToText(16 * 290)));
}

TEST_F(PrintDialogTest, PrintToFileGoesThroughTheOneSavePath)
{
    openSample(64);
    const QString pdf = files.Write("locked.pdf", "old");
    QFile::setPermissions(pdf, QFile::ReadOwner);
    AnswerDialog(pdf, QPrinter::AllPages);
    Action("actionPrint")->trigger();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Cannot write")) << errors[0].toStdString();
    QFile::setPermissions(pdf, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(TTestFolder::Read(pdf), QByteArray("old")) << "a write-protected target is refused, not replaced";
}

TEST_F(PrintDialogTest, ThePreviewShowsThePagesAndItsPrintButtonAsksThePrintDialog)
{
    openSample(16 * 300);
    const QString pdf = files.dir.filePath("from-preview.pdf");
    AnswerDialog(pdf, QPrinter::AllPages);
    int previewPages = 0;
    ShowPrintPreview = [&](QPrintPreviewDialog& preview) {
        auto* widget = preview.findChild<QPrintPreviewWidget*>();
        ASSERT_NE(widget, nullptr);
        widget->updatePreview();
        previewPages = widget->pageCount();
        for (QAction* action : preview.findChildren<QAction*>())
            if (action->text() == QPrintPreviewDialog::tr("Print"))
                action->trigger();
    };
    Action("actionPrintPreview")->trigger();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_GT(previewPages, 2);
    ASSERT_EQ(dialogs, 1) << "Print in the preview goes on with the print dialog";
    EXPECT_EQ(Pages(PdfText(pdf)), previewPages);
}
