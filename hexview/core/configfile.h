#pragma once
// hexview's configuration file: the INI text that QSettings reads and
// writes (recent files, the editor's settings), kept at
// $XDG_CONFIG_HOME/<organization>/<application>.conf. QSettings itself is
// not let near the file: it would open a named pipe for reading (and wait
// for ever), read a file of any size, and replace whatever is there when it
// writes. Here the file is read only when it is a regular file of at most
// MaxConfigFileSize bytes, opened without blocking, and written only through
// SaveFileAtomically (a link to a regular file stays a link; anything that
// is not a regular file, a link that points nowhere and a write-protected
// file are refused). QSettings still does the text format, on a private copy.

#include <QMap>
#include <QString>
#include <QVariant>

namespace hexview {

// The settings import's bound, for the same kind of text.
inline constexpr qint64 MaxConfigFileSize = 1 << 20;

class TConfigFile
{
public:
    // The file for the application's organization and name.
    static QString DefaultPath();

    // Reads path. A missing file gives no values; a file that cannot be
    // read (not a regular file, too large, malformed) gives no values and
    // a Problem() text.
    explicit TConfigFile(QString path = DefaultPath());

    const QString& Path() const { return m_path; }
    // Why the file was not read; empty when it was (or did not exist).
    const QString& Problem() const { return m_problem; }

    QVariant Value(const QString& key) const { return m_values.value(key); }
    // Changes the value here; Save writes it.
    void SetValue(const QString& key, const QVariant& value);

    // Writes the values set since construction into the file as it is now
    // (what other instances stored meanwhile stays). Raises an error with a
    // clear text when the file cannot be read or written; nothing is then
    // changed on disk.
    void Save();

private:
    QString m_path;
    QString m_problem;
    QMap<QString, QVariant> m_values;
    QMap<QString, QVariant> m_changed;
};

} // namespace hexview
