#pragma once
// The bytes an analysis dock looks at: the selection when there is one,
// otherwise the whole document.

#include "hexeditor/ex/mphexeditorex.h"

#include <QCoreApplication>
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

} // namespace hexview
