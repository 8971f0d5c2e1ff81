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

// The header and footer a printout uses. When neither is set, every page
// names the file at the top and counts the pages at the bottom; once either
// is set, both are used as they are (an empty one prints nothing).
struct TPageTexts
{
    QString Header;
    QString Footer;
};
inline constexpr const char* DefaultPageHeader = "%f";
inline constexpr const char* DefaultPageFooter = "Page %p of %n";
TPageTexts PageTextsFor(const QString& header, const QString& footer);

// Lines of a page not available to data rows: a header takes two (text and
// a blank line), a footer two, the ruler one.
int ReservedLines(const TPageTexts& texts, bool ruler);

// The data rows a printout covers: first row and number of rows (row r
// holds bytes r * BytesPerRow onward).
struct TPrintRows
{
    int64_t First = 0;
    int64_t Count = 0;
};

// What PrintRowsFor looks at.
struct TPrintRowsRequest
{
    int64_t DataSize = 0;
    int BytesPerRow = 16;
    // The rows holding SelFirst..SelLast (when a selection exists).
    bool SelectionOnly = false;
    int64_t SelFirst = -1;
    int64_t SelLast = -1;
    // The rows of the current view: FirstVisible and VisibleCount.
    bool ViewOnly = false;
    int64_t FirstVisible = 0;
    int64_t VisibleCount = 0;
};

// All rows of the data; the selection's rows (SelectionOnly with a
// selection); or the view's rows (ViewOnly), clipped to the data.
TPrintRows PrintRowsFor(const TPrintRowsRequest& request);

// Number of pages for rowCount rows at rowsPerPage (at least one page).
int PageCountFor(int64_t rowCount, int rowsPerPage);

// The rows of rows that page (1-based) holds; none for a page outside.
TPrintRows RowsOnPage(const TPrintRows& rows, int rowsPerPage, int page);

// The page (1-based) that holds data row `row`: the first page for a row
// before rows, the last for one after them.
int PageOfRow(const TPrintRows& rows, int rowsPerPage, int64_t row);

// The pages a print run produces, inclusive; both numbers are pages of the
// whole printout, so the page texts keep counting as in the whole.
struct TPageSpan
{
    int First = 1;
    int Last = 1;
};

// The span of the pages asked for (fromPage..toPage; 0 for either means
// "from the first" / "to the last"), clipped to 1..pages. A request wholly
// outside the printout gives the empty span First > Last.
TPageSpan PageSpanFor(int pages, int fromPage, int toPage);

} // namespace hexview
