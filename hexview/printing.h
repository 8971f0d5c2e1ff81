#pragma once
// Printing the editor's data with its print settings (PrintOptions,
// PrintFont / UseEditorFontForPrinting):
// - margins in millimetres; PageHeader at the top and PageFooter at the
//   bottom of each page (placeholders in core/printlayout.h); when neither
//   is set, the file name at the top and "Page p of n" at the bottom;
// - each row as the editor shows it: offset text, hex digits in column
//   groups (SwapNibbles and HexLowerCase honoured), characters;
// - pfSelectionOnly: only the rows of the selection, bytes outside it blank;
//   pfSelectionBold: selected bytes in bold; pfMonochrome: all in black,
//   otherwise offsets and the hex column groups in the editor's text colours;
//   pfUseBackgroundColor: pages filled with the editor's background colour
//   (unless pfMonochrome);
//   pfCurrentViewOnly: only the rows the editor shows now; pfIncludeRuler:
//   the ruler above the rows of every page.
// Rows too wide for the page are scaled down to fit.

#include <functional>

class QPrinter;
class TMPHexEditorEx;

namespace hexview {

// Asked before each page with the share of pages done (0-100); false stops
// the print run.
using TPrintProgress = std::function<bool(int percent)>;

// What decides the part of the document a run prints.
enum class TPrintScope {
    // The print flags (pfSelectionOnly, pfCurrentViewOnly): PDF export and
    // the preview.
    Flags,
    // The printer's print range as the print dialog left it: all pages, the
    // selection (its rows, bytes outside it blank), a page range or the page
    // holding the caret, the pages numbered as in the whole printout.
    PrintDialog,
};

// Prints to printer (a paper printer or PDF output); returns the number of
// pages printed, 0 when the printer cannot be painted on, and -1 when
// progress stopped the run (the printer's output is then abandoned). A page
// range outside the printout raises an error naming its page count.
int PrintEditor(TMPHexEditorEx& editor, QPrinter& printer, const TPrintProgress& progress = {},
                TPrintScope scope = TPrintScope::Flags);

// The number of pages the whole document takes on printer (its paper and
// the editor's margins and font), for the bounds of the print dialog.
int PrintedPageCount(TMPHexEditorEx& editor, QPrinter& printer);

} // namespace hexview
