#pragma once
// The histories of Find and Replace: the texts searched for and the
// replacements used, newest first, no duplicates, bounded, kept in the
// configuration file under "Find/History" and "Replace/History".

#include <QString>
#include <QStringList>

namespace hexview {

class TConfigFile;

inline constexpr int MaxFindHistory = 20;
// A longer text is not kept (a pasted block of hex is no history entry).
inline constexpr int MaxFindHistoryText = 1024;

enum class THistoryKind { Find, Replace };

// list with text put in front (an earlier equal entry removed), cut to max
// entries; an empty or overlong text leaves the list as it is.
QStringList WithHistoryEntry(QStringList list, const QString& text, int max = MaxFindHistory);

QStringList LoadFindHistory(const TConfigFile& config, THistoryKind kind);
void StoreFindHistory(TConfigFile& config, THistoryKind kind, const QStringList& list);

} // namespace hexview
