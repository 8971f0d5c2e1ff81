#pragma once
// File > Print..., Print Preview... and Export as PDF...

#include <QString>
#include <functional>

class QPrintDialog;
class QPrintPreviewDialog;

namespace hexview {

class HexViewWindow;

// Prints the document to a PDF file at path. The file is written under a
// temporary name and renamed into place, so a failure leaves no half-written
// PDF. A progress dialog counts the pages and can cancel the export (the
// target is then left as it was). Errors are shown; true on success.
bool ExportPdf(HexViewWindow& window, const QString& path);

// File > Print...: the print dialog (all pages, a page range, the page with
// the caret, or the selection when there is one), then the run with its
// progress. "Print to file (PDF)" in the dialog writes through the one save
// path as Export as PDF does.
void PrintWithDialog(HexViewWindow& window);
// File > Print Preview...: the pages as Export as PDF would write them; its
// Print button closes the preview and continues as File > Print...
void PreviewWithDialog(HexViewWindow& window);

// The PDF file name; empty when cancelled. Tests replace it.
extern std::function<QString(HexViewWindow&)> AskPdfFileName;
// Shows the print dialog; true when accepted. Tests replace it.
extern std::function<bool(QPrintDialog&)> ShowPrintDialog;
// Shows the preview until it is closed. Tests replace it.
extern std::function<void(QPrintPreviewDialog&)> ShowPrintPreview;

void InstallPrintActions(HexViewWindow& window);

} // namespace hexview
