#include "hexview/core/configfile.h"

#include "platform/core/atomicsave.h"
#include "platform/core/boundedread.h"
#include "platform/core/exceptions.h"
#include "platform/core/fileutils.h"

#include <QCoreApplication>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace hexview {

namespace {

using TValues = QMap<QString, QVariant>;

// A private folder for QSettings to parse and format in.
QString PrivateCopyName(const QTemporaryDir& dir)
{
    if (!dir.isValid())
        throw EFileOpenError(QStringLiteral("Cannot create a temporary folder (%1)").arg(dir.errorString()));
    return dir.filePath(QStringLiteral("copy.conf"));
}

TValues Parse(const QByteArray& text)
{
    QTemporaryDir dir;
    const QString copy = PrivateCopyName(dir);
    {
        QFile file(copy);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            throw EWriteError(QStringLiteral("Cannot write %1 (%2)").arg(copy, file.errorString()));
    }
    QSettings settings(copy, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        throw EReadError(QStringLiteral("The file is not a configuration file"));
    TValues values;
    for (const QString& key : settings.allKeys())
        values.insert(key, settings.value(key));
    return values;
}

QByteArray Format(const TValues& values)
{
    QTemporaryDir dir;
    const QString copy = PrivateCopyName(dir);
    {
        QSettings settings(copy, QSettings::IniFormat);
        for (auto it = values.begin(); it != values.end(); ++it)
            settings.setValue(it.key(), it.value());
        settings.sync();
        if (settings.status() != QSettings::NoError)
            throw EWriteError(QStringLiteral("Cannot format the configuration"));
    }
    QFile file(copy);
    if (!file.open(QIODevice::ReadOnly))
        throw EReadError(QStringLiteral("Cannot read %1 (%2)").arg(copy, file.errorString()));
    return file.readAll();
}

// The values in path; none when it does not exist. Raises when it exists
// but may not be read (see the header).
TValues ReadValues(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    if (info.isSymLink() && !info.exists())
        throw EFileOpenError(QStringLiteral("%1 is a symbolic link that points nowhere").arg(path));
    return Parse(ReadBoundedFile(path, MaxConfigFileSize));
}

} // namespace

QString TConfigFile::DefaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           QCoreApplication::organizationName() + u'/' + QCoreApplication::applicationName() +
           QStringLiteral(".conf");
}

TConfigFile::TConfigFile(QString path) : m_path(std::move(path))
{
    try {
        m_values = ReadValues(m_path);
    } catch (const Exception& e) {
        m_problem = e.Message();
    }
}

void TConfigFile::SetValue(const QString& key, const QVariant& value)
{
    m_values.insert(key, value);
    m_changed.insert(key, value);
}

void TConfigFile::Save()
{
    // Read again, so that the keys of other instances stay; a file that may
    // not be read is not replaced either.
    TValues values = ReadValues(m_path);
    for (auto it = m_changed.begin(); it != m_changed.end(); ++it)
        values.insert(it.key(), it.value());
    const QByteArray text = Format(values);
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QFileInfo::exists(folder) && !QDir().mkpath(folder))
        throw EFileOpenError(QStringLiteral("Cannot create the folder %1").arg(folder));
    SaveFileAtomically(m_path, reinterpret_cast<const uint8_t*>(text.constData()), text.size());
}

} // namespace hexview
