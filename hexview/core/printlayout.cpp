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

TPrintRows PrintRowsFor(int64_t dataSize, int bytesPerRow, bool selectionOnly, int64_t selFirst,
                        int64_t selLast, bool viewOnly, int64_t firstVisible, int64_t visibleCount)
{
    const int64_t per = std::max(1, bytesPerRow);
    const int64_t allRows = dataSize <= 0 ? 0 : (dataSize + per - 1) / per;
    TPrintRows rows{0, allRows};
    if (selectionOnly && selFirst >= 0 && selLast >= selFirst && selFirst < dataSize) {
        const int64_t last = std::min(selLast, dataSize - 1);
        rows.First = selFirst / per;
        rows.Count = last / per - rows.First + 1;
    } else if (viewOnly) {
        const int64_t first = std::clamp<int64_t>(firstVisible, 0, allRows);
        rows.First = first;
        rows.Count = std::clamp<int64_t>(visibleCount, 0, allRows - first);
    }
    return rows;
}

int PageCountFor(int64_t rowCount, int rowsPerPage)
{
    const int64_t per = std::max(1, rowsPerPage);
    return int(std::max<int64_t>(1, (rowCount + per - 1) / per));
}

} // namespace hexview
