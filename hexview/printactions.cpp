// File > Print... (the system's print dialog) and Export as PDF...

#include "hexview/printactions.h"

#include "hexview/hexviewwindow.h"
#include "hexview/printing.h"
#include "platform/core/exceptions.h"
#include "platform/core/fileutils.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTemporaryFile>

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
bool WritePdf(TMPHexEditorEx& editor, const QString& path, const TPrintProgress& progress)
{
    const QString cannot = HexViewWindow::tr("Cannot write %1").arg(path);
    // A temporary file beside the target, renamed over it when complete.
    QTemporaryFile temp(QFileInfo(path).absolutePath() + QStringLiteral("/.hexview-XXXXXX.pdf"));
    if (!temp.open())
        throw Exception(cannot + QStringLiteral(" (") + temp.errorString() + u')');
    temp.close();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(temp.fileName());
    printer.setDocName(QFileInfo(editor.FileName()).fileName());
    const int pages = PrintEditor(editor, printer, progress);
    if (pages < 0)
        return false;
    if (pages == 0)
        throw Exception(cannot);
    if (QFileInfo(temp.fileName()).size() == 0)
        throw Exception(cannot);
    if (!RenameFileAt(temp.fileName(), path))
        throw Exception(cannot + QStringLiteral(" (") + SysErrorMessage(LastFileError()) + u')');
    temp.setAutoRemove(false);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
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
