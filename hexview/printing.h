#pragma once
// Printing the editor's data with its print settings (PrintOptions,
// PrintFont / UseEditorFontForPrinting):
// - margins in millimetres; PageHeader at the top and PageFooter at the
//   bottom of each page (placeholders in core/printlayout.h);
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

// Prints to printer (a paper printer or PDF output); returns the number of
// pages, 0 when the printer cannot be painted on, and -1 when progress
// stopped the run (the printer's output is then abandoned).
int PrintEditor(TMPHexEditorEx& editor, QPrinter& printer, const TPrintProgress& progress = {});

} // namespace hexview
