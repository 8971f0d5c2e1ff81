// File > Print... (the system's print dialog) and Export as PDF...

#include "hexview/printactions.h"

#include "hexview/hexviewwindow.h"
#include "hexview/printing.h"
#include "platform/core/atomicsave.h"
#include "platform/core/exceptions.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
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

void PrintWithDialog(HexViewWindow& window)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QFileInfo(window.Editor().FileName()).fileName());
    QPrintDialog dialog(&printer, &window);
    dialog.setWindowTitle(HexViewWindow::tr("Print"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    int pages = 0;
    const bool ok = window.RunGuarded([&] {
        window.WithProgressDialog(HexViewWindow::tr("Printing..."),
                                  [&] { pages = PrintEditor(window.Editor(), printer, PagesIn(window)); });
        if (pages == 0)
            throw Exception(HexViewWindow::tr("Cannot print to %1").arg(printer.printerName()));
    });
    if (ok && pages < 0)
        window.statusBar()->showMessage(HexViewWindow::tr("Printing cancelled"), 5000);
}

// Writes the PDF; false when the user cancelled (nothing is left behind).
// The printer writes into a private folder; the finished document then goes
// to path through the one save path (special and write-protected targets
// refused, links kept, mode and owner of a replaced file kept).
bool WritePdf(TMPHexEditorEx& editor, const QString& path, const TPrintProgress& progress)
{
    const QString cannot = HexViewWindow::tr("Cannot write %1").arg(path);
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw Exception(cannot + QStringLiteral(" (") + scratch.errorString() + u')');
    const QString rendered = scratch.filePath(QStringLiteral("export.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(rendered);
    printer.setDocName(QFileInfo(editor.FileName()).fileName());
    const int pages = PrintEditor(editor, printer, progress);
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

} // namespace

std::function<QString(HexViewWindow&)> AskPdfFileName = AskWithFileDialog;

bool ExportPdf(HexViewWindow& window, const QString& path)
{
    if (path.isEmpty())
        return false;
    bool written = false;
    const bool ok = window.RunGuarded([&] {
        window.WithProgressDialog(HexViewWindow::tr("Writing %1...").arg(QFileInfo(path).fileName()),
                                  [&] { written = WritePdf(window.Editor(), path, PagesIn(window)); });
    });
    if (ok && !written)
        window.statusBar()->showMessage(HexViewWindow::tr("PDF export cancelled"), 5000);
    return ok && written;
}

void InstallPrintActions(HexViewWindow& window)
{
    QMenu* file = window.FileMenu();
    QAction* before = nullptr;
    for (QAction* action : file->actions()) {
        if (action->objectName() == QStringLiteral("actionQuit"))
            before = action;
    }
    // Above Quit's separator, after whatever was inserted there before.
    const QList<QAction*> actions = file->actions();
    const qsizetype quitAt = actions.indexOf(before);
    if (quitAt > 0 && actions[quitAt - 1]->isSeparator())
        before = actions[quitAt - 1];
    QAction* print = new QAction(HexViewWindow::tr("&Print..."), file);
    print->setObjectName(QStringLiteral("actionPrint"));
    print->setShortcut(QKeySequence::Print);
    QAction* pdf = new QAction(HexViewWindow::tr("&Export as PDF..."), file);
    pdf->setObjectName(QStringLiteral("actionExportPdf"));
    file->insertSeparator(before);
    file->insertAction(before, print);
    file->insertAction(before, pdf);
    QObject::connect(print, &QAction::triggered, &window, [&window] { PrintWithDialog(window); });
    QObject::connect(pdf, &QAction::triggered, &window, [&window] { ExportPdf(window, AskPdfFileName(window)); });
}

} // namespace hexview
