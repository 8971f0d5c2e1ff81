// File > Print... (the system's print dialog), Print Preview... and Export as PDF...

#include "hexview/printactions.h"

#include "hexview/hexviewwindow.h"
#include "hexview/menuactions.h"
#include "hexview/printing.h"
#include "platform/core/atomicsave.h"
#include "platform/core/exceptions.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTemporaryDir>

namespace hexview {

namespace {

QString AskWithFileDialog(HexViewWindow& window)
{
    TMPHexEditorEx& editor = window.Editor();
    const QString start = editor.HasFile() ? editor.FileName() + QStringLiteral(".pdf") : QString();
    return QFileDialog::getSaveFileName(&window, HexViewWindow::tr("Export as PDF"), start,
                                        HexViewWindow::tr("PDF files (*.pdf)"));
}

// The page progress of a print run in the window's progress dialog.
TPrintProgress PagesIn(HexViewWindow& window)
{
    return [&window](int percent) { return window.ContinueAfterProgress(percent); };
}

// Writes the PDF that printer renders to path; false when the user
// cancelled (nothing is left behind). The printer writes into a private
// folder; the finished document then goes to path through the one save path
// (special and write-protected targets refused, links kept, mode and owner
// of a replaced file kept).
bool WritePdf(TMPHexEditorEx& editor, QPrinter& printer, const QString& path, const TPrintProgress& progress,
              TPrintScope scope)
{
    const QString cannot = HexViewWindow::tr("Cannot write %1").arg(path);
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw Exception(cannot + QStringLiteral(" (") + scratch.errorString() + u')');
    const QString rendered = scratch.filePath(QStringLiteral("export.pdf"));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(rendered);
    const int pages = PrintEditor(editor, printer, progress, scope);
    if (pages < 0)
        return false;
    QFile file(rendered);
    if (pages == 0 || !file.open(QIODevice::ReadOnly))
        throw Exception(cannot);
    const QByteArray pdf = file.readAll();
    if (pdf.isEmpty())
        throw Exception(cannot);
    try {
        SaveFileAtomically(path, reinterpret_cast<const uint8_t*>(pdf.constData()), pdf.size());
    } catch (const EStreamError& e) {
        throw Exception(cannot + QStringLiteral(" (") + e.Message() + u')');
    }
    return true;
}

// Runs a PDF rendering of printer to path under the progress dialog.
bool RunPdf(HexViewWindow& window, QPrinter& printer, const QString& path, TPrintScope scope)
{
    bool written = false;
    const bool ok = window.RunGuarded([&] {
        window.WithProgressDialog(HexViewWindow::tr("Writing %1...").arg(QFileInfo(path).fileName()), [&] {
            written = WritePdf(window.Editor(), printer, path, PagesIn(window), scope);
        });
    });
    if (ok && !written)
        window.statusBar()->showMessage(HexViewWindow::tr("PDF export cancelled"), 5000);
    return ok && written;
}

// Prints to the printer the dialog set up.
void RunPrint(HexViewWindow& window, QPrinter& printer)
{
    int pages = 0;
    const bool ok = window.RunGuarded([&] {
        window.WithProgressDialog(HexViewWindow::tr("Printing..."), [&] {
            pages = PrintEditor(window.Editor(), printer, PagesIn(window), TPrintScope::PrintDialog);
        });
        if (pages == 0)
            throw Exception(HexViewWindow::tr("Cannot print to %1").arg(printer.printerName()));
    });
    if (ok && pages < 0)
        window.statusBar()->showMessage(HexViewWindow::tr("Printing cancelled"), 5000);
}

// The dialog's choices: page range and the caret's page always, the
// selection when there is one (chosen already when the print flags ask for
// the selection only).
void OfferPrintRanges(QPrintDialog& dialog, QPrinter& printer, TMPHexEditorEx& editor)
{
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    const bool selection = editor.SelCount() > 0;
    dialog.setOption(QAbstractPrintDialog::PrintSelection, selection);
    const int pages = PrintedPageCount(editor, printer);
    dialog.setMinMax(1, pages);
    printer.setFromTo(1, pages);
    if (selection && editor.PrintOptions()->Flags().testFlag(pfSelectionOnly))
        printer.setPrintRange(QPrinter::Selection);
}

// Qt's own Print button of the preview; null when it cannot be found.
QAction* PreviewPrintButton(QPrintPreviewDialog& preview)
{
    const QString text = QPrintPreviewDialog::tr("Print");
    for (QAction* action : preview.findChildren<QAction*>())
        if (action->text() == text)
            return action;
    return nullptr;
}

bool ShowWithExec(QPrintDialog& dialog) { return dialog.exec() == QDialog::Accepted; }
void PreviewWithExec(QPrintPreviewDialog& preview) { preview.exec(); }

} // namespace

std::function<bool(QPrintDialog&)> ShowPrintDialog = ShowWithExec;
std::function<void(QPrintPreviewDialog&)> ShowPrintPreview = PreviewWithExec;

void PrintWithDialog(HexViewWindow& window)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QFileInfo(window.Editor().FileName()).fileName());
    QPrintDialog dialog(&printer, &window);
    dialog.setWindowTitle(HexViewWindow::tr("Print"));
    if (!window.RunGuarded([&] { OfferPrintRanges(dialog, printer, window.Editor()); }) || !ShowPrintDialog(dialog))
        return;
    // "Print to file": the PDF goes through the one save path.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        RunPdf(window, printer, printer.outputFileName(), TPrintScope::PrintDialog);
        return;
    }
    RunPrint(window, printer);
}

void PreviewWithDialog(HexViewWindow& window)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QFileInfo(window.Editor().FileName()).fileName());
    QPrintPreviewDialog preview(&printer, &window);
    preview.setWindowTitle(HexViewWindow::tr("Print Preview"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&window](QPrinter* target) {
        window.RunGuarded([&] {
            window.WithProgressDialog(HexViewWindow::tr("Preparing the preview..."),
                                      [&] { PrintEditor(window.Editor(), *target, PagesIn(window)); });
        });
    });
    // The preview's Print goes through the print dialog of File > Print...
    // (page ranges, the selection, PDF through the one save path).
    bool printNext = false;
    if (QAction* print = PreviewPrintButton(preview)) {
        QObject::disconnect(print, &QAction::triggered, nullptr, nullptr);
        QObject::connect(print, &QAction::triggered, &preview, [&] {
            printNext = true;
            preview.accept();
        });
    }
    ShowPrintPreview(preview);
    if (printNext)
        PrintWithDialog(window);
}

std::function<QString(HexViewWindow&)> AskPdfFileName = AskWithFileDialog;

bool ExportPdf(HexViewWindow& window, const QString& path)
{
    if (path.isEmpty())
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QFileInfo(window.Editor().FileName()).fileName());
    return RunPdf(window, printer, path, TPrintScope::Flags);
}

void InstallPrintActions(HexViewWindow& window)
{
    QMenu* file = window.FileMenu();
    QAction* before = BeforeQuit(file);
    QAction* print = new QAction(HexViewWindow::tr("&Print..."), file);
    print->setObjectName(QStringLiteral("actionPrint"));
    print->setShortcut(QKeySequence::Print);
    QAction* preview = new QAction(HexViewWindow::tr("Print Pre&view..."), file);
    preview->setObjectName(QStringLiteral("actionPrintPreview"));
    QAction* pdf = new QAction(HexViewWindow::tr("&Export as PDF..."), file);
    pdf->setObjectName(QStringLiteral("actionExportPdf"));
    file->insertSeparator(before);
    file->insertAction(before, print);
    file->insertAction(before, preview);
    file->insertAction(before, pdf);
    QObject::connect(print, &QAction::triggered, &window, [&window] { PrintWithDialog(window); });
    QObject::connect(preview, &QAction::triggered, &window, [&window] { PreviewWithDialog(window); });
    QObject::connect(pdf, &QAction::triggered, &window, [&window] { ExportPdf(window, AskPdfFileName(window)); });
}

} // namespace hexview
