#include "hexview/core/printlayout.h"

#include <QFileInfo>
#include <algorithm>

namespace hexview {

QString ExpandPageText(const QString& pattern, int page, int pages, const QString& filePath, const QDate& date)
{
    QString out;
    out.reserve(pattern.size() + 16);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c != u'%' || i + 1 >= pattern.size()) {
            out += c;
            continue;
        }
        const QChar key = pattern.at(i + 1);
        switch (key.unicode()) {
        case 'p': out += QString::number(page); break;
        case 'n': out += QString::number(pages); break;
        case 'f': out += QFileInfo(filePath).fileName(); break;
        case 'F': out += filePath; break;
        case 'd': out += date.toString(Qt::ISODate); break;
        case '%': out += u'%'; break;
        default:
            out += c;
            out += key;
            break;
        }
        ++i;
    }
    return out;
}

TPageTexts PageTextsFor(const QString& header, const QString& footer)
{
    if (header.isEmpty() && footer.isEmpty())
        return {QString::fromLatin1(DefaultPageHeader), QString::fromLatin1(DefaultPageFooter)};
    return {header, footer};
}

int ReservedLines(const TPageTexts& texts, bool ruler)
{
    return (texts.Header.isEmpty() ? 0 : 2) + (texts.Footer.isEmpty() ? 0 : 2) + (ruler ? 1 : 0);
}

TPrintRows PrintRowsFor(const TPrintRowsRequest& r)
{
    const int64_t per = std::max(1, r.BytesPerRow);
    const int64_t allRows = r.DataSize <= 0 ? 0 : (r.DataSize + per - 1) / per;
    TPrintRows rows{0, allRows};
    if (r.SelectionOnly && r.SelFirst >= 0 && r.SelLast >= r.SelFirst && r.SelFirst < r.DataSize) {
        const int64_t last = std::min(r.SelLast, r.DataSize - 1);
        rows.First = r.SelFirst / per;
        rows.Count = last / per - rows.First + 1;
    } else if (r.ViewOnly) {
        const int64_t first = std::clamp<int64_t>(r.FirstVisible, 0, allRows);
        rows.First = first;
        rows.Count = std::clamp<int64_t>(r.VisibleCount, 0, allRows - first);
    }
    return rows;
}

int PageCountFor(int64_t rowCount, int rowsPerPage)
{
    const int64_t per = std::max(1, rowsPerPage);
    return int(std::max<int64_t>(1, (rowCount + per - 1) / per));
}

TPrintRows RowsOnPage(const TPrintRows& rows, int rowsPerPage, int page)
{
    const int64_t per = std::max(1, rowsPerPage);
    if (page < 1 || rows.Count <= 0)
        return {rows.First, 0};
    const int64_t skipped = (page - 1) * per;
    if (skipped >= rows.Count)
        return {rows.First + rows.Count, 0};
    return {rows.First + skipped, std::min(per, rows.Count - skipped)};
}

int PageOfRow(const TPrintRows& rows, int rowsPerPage, int64_t row)
{
    const int64_t per = std::max(1, rowsPerPage);
    const int64_t inside = std::clamp<int64_t>(row - rows.First, 0, std::max<int64_t>(0, rows.Count - 1));
    return int(inside / per) + 1;
}

TPageSpan PageSpanFor(int pages, int fromPage, int toPage)
{
    TPageSpan span{fromPage <= 0 ? 1 : fromPage, toPage <= 0 ? pages : toPage};
    if (span.First > span.Last)
        std::swap(span.First, span.Last);
    span.First = std::max(span.First, 1);
    span.Last = std::min(span.Last, pages);
    return span;
}

} // namespace hexview
