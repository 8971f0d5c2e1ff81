#pragma once
// A temporary folder for tests that write and read files.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class TTestFolder
{
public:
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return path;
    }

    // The file's bytes, or "<missing>" when it cannot be read.
    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray("<missing>");
        return file.readAll();
    }

    QStringList Entries(QDir::Filters filters = QDir::Files) const
    {
        return QDir(dir.path()).entryList(filters | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
};
