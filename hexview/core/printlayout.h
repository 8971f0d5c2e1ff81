#pragma once
// Page arithmetic and texts of hexview's printouts, without a printer.
//
// Header and footer placeholders (PrintOptions.PageHeader / PageFooter):
//   %p  the page number        %n  the number of pages
//   %f  the file's name        %F  the file's full path
//   %d  today's date           %%  a percent sign
// Any other "%x" is printed as it stands.

#include <QDate>
#include <QString>
#include <cstdint>

namespace hexview {

QString ExpandPageText(const QString& pattern, int page, int pages, const QString& filePath,
                       const QDate& date = QDate::currentDate());

// The data rows a printout covers: first row and number of rows (row r
// holds bytes r * bytesPerRow onward).
struct TPrintRows
{
    int64_t First = 0;
    int64_t Count = 0;
};

// All rows of dataSize bytes; rows holding the selection first..last (when
// selectionOnly and a selection exists); or the rows of the current view
// (when viewOnly: firstVisible and visibleCount, clipped to the data).
TPrintRows PrintRowsFor(int64_t dataSize, int bytesPerRow, bool selectionOnly, int64_t selFirst,
                        int64_t selLast, bool viewOnly, int64_t firstVisible, int64_t visibleCount);

// Number of pages for rowCount rows at rowsPerPage (at least one page).
int PageCountFor(int64_t rowCount, int rowsPerPage);

} // namespace hexview
