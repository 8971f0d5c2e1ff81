#pragma once
// The bytes an analysis dock looks at: the selection when there is one,
// otherwise the whole document.

#include "hexeditor/ex/mphexeditorex.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QHeaderView>
#include <QString>
#include <cstdint>

namespace hexview {

struct TAnalysisSpan
{
    int32_t First = 0;
    int32_t Count = 0;
    bool Selection = false;

    static TAnalysisSpan Of(TCustomMPHexEditor& editor)
    {
        TAnalysisSpan span;
        const int32_t size = editor.DataSize();
        const int32_t count = editor.SelCount();
        if (count > 0 && editor.SelFirst() >= 0 && int64_t(editor.SelFirst()) + count <= size) {
            span.First = editor.SelFirst();
            span.Count = count;
            span.Selection = true;
        } else {
            span.Count = size;
        }
        return span;
    }

    // "Selection 0x20-0x2C (13 bytes)" or "Whole document (262144 bytes)".
    QString Text() const
    {
        if (Selection)
            return QCoreApplication::translate("hexview", "Selection 0x%1-0x%2 (%3 bytes)")
                .arg(QString::number(First, 16).toUpper(), QString::number(First + Count - 1, 16).toUpper())
                .arg(Count);
        return QCoreApplication::translate("hexview", "Whole document (%1 bytes)").arg(Count);
    }

    bool operator==(const TAnalysisSpan&) const = default;
};

// The docks' tables: one text line per row and at least columns characters
// wide.
inline void MakeCompact(QAbstractItemView& view, QHeaderView& rows, int columns)
{
    rows.setDefaultSectionSize(view.fontMetrics().height() + 6);
    rows.setSectionResizeMode(QHeaderView::Fixed);
    view.setMinimumWidth(view.fontMetrics().horizontalAdvance(QLatin1Char('0')) * columns);
}

} // namespace hexview
