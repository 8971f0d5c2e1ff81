#pragma once
// The recent-files list: newest first, no duplicates, at most MaxRecentFiles,
// kept in QSettings under "recentFiles".

#include <QSettings>
#include <QStringList>

namespace hexview {

class TConfigFile;

inline constexpr int MaxRecentFiles = 8;

// list with path put in front (an earlier entry of the same file removed),
// cut to max entries.
QStringList WithRecentFile(QStringList list, const QString& path, int max = MaxRecentFiles);

QStringList LoadRecentFiles(QSettings& settings);
void StoreRecentFiles(QSettings& settings, const QStringList& list);
// The same in hexview's configuration file (core/configfile.h).
QStringList LoadRecentFiles(const TConfigFile& config);
void StoreRecentFiles(TConfigFile& config, const QStringList& list);

} // namespace hexview
