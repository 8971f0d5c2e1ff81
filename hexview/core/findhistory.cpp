#include "hexview/core/findhistory.h"

#include "hexview/core/configfile.h"

namespace hexview {

namespace {

QString Key(THistoryKind kind)
{
    return kind == THistoryKind::Find ? QStringLiteral("Find/History") : QStringLiteral("Replace/History");
}

} // namespace

QStringList WithHistoryEntry(QStringList list, const QString& text, int max)
{
    if (text.isEmpty() || text.size() > MaxFindHistoryText)
        return list;
    list.removeAll(text);
    list.prepend(text);
    while (list.size() > max)
        list.removeLast();
    return list;
}

QStringList LoadFindHistory(const TConfigFile& config, THistoryKind kind)
{
    // What the file holds is bounded like what is stored: another program
    // (or a hand) may have written anything there.
    QStringList list;
    const QStringList stored = config.Value(Key(kind)).toStringList();
    for (auto it = stored.rbegin(); it != stored.rend(); ++it)
        list = WithHistoryEntry(list, *it);
    return list;
}

void StoreFindHistory(TConfigFile& config, THistoryKind kind, const QStringList& list)
{
    config.SetValue(Key(kind), list);
}

} // namespace hexview
