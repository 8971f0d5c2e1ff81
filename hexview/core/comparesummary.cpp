#include "hexview/core/comparesummary.h"

#include <QLocale>

namespace hexview {

QString CompareSummaryText(bool done, int percent, int64_t differingBytes, int64_t ranges)
{
    if (!done)
        return QStringLiteral("Comparing... %1%").arg(percent);
    if (ranges == 0)
        return QStringLiteral("The files are equal");
    const QLocale c(QLocale::English);
    const QString bytes = differingBytes == 1 ? QStringLiteral("1 byte differs")
                                              : QStringLiteral("%1 bytes differ").arg(c.toString(qlonglong(differingBytes)));
    const QString in = ranges == 1 ? QStringLiteral("1 range") : QStringLiteral("%1 ranges").arg(c.toString(qlonglong(ranges)));
    return bytes + QStringLiteral(" in ") + in;
}

} // namespace hexview
