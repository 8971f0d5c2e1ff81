#pragma once
// File > Print... and Export as PDF...

#include <QString>
#include <functional>

namespace hexview {

class HexViewWindow;

// Prints the document to a PDF file at path. The file is written under a
// temporary name and renamed into place, so a failure leaves no half-written
// PDF. A progress dialog counts the pages and can cancel the export (the
// target is then left as it was). Errors are shown; true on success.
bool ExportPdf(HexViewWindow& window, const QString& path);

// The PDF file name; empty when cancelled. Tests replace it.
extern std::function<QString(HexViewWindow&)> AskPdfFileName;

void InstallPrintActions(HexViewWindow& window);

} // namespace hexview
