#include "hexview/core/recentfiles.h"

#include "hexview/core/configfile.h"

#include <QFileInfo>

namespace hexview {

namespace {
const QString Key = QStringLiteral("recentFiles");

QString Canonical(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() ? info.absoluteFilePath() : path;
}
} // namespace

QStringList WithRecentFile(QStringList list, const QString& path, int max)
{
    const QString entry = Canonical(path);
    list.removeAll(entry);
    list.prepend(entry);
    while (list.size() > max)
        list.removeLast();
    return list;
}

namespace {
QStringList FromStored(const QVariant& stored)
{
    QStringList list = stored.toStringList();
    list.removeAll(QString());
    while (list.size() > MaxRecentFiles)
        list.removeLast();
    return list;
}
} // namespace

QStringList LoadRecentFiles(const TConfigFile& config)
{
    return FromStored(config.Value(Key));
}

void StoreRecentFiles(TConfigFile& config, const QStringList& list)
{
    config.SetValue(Key, list);
}

QStringList LoadRecentFiles(QSettings& settings)
{
    QStringList list = settings.value(Key).toStringList();
    list.removeAll(QString());
    while (list.size() > MaxRecentFiles)
        list.removeLast();
    return list;
}

void StoreRecentFiles(QSettings& settings, const QStringList& list)
{
    settings.setValue(Key, list);
}

} // namespace hexview
