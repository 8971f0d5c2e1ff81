#pragma once
// Shared helpers for the extended editor's tests: an editor whose document
// state can be arranged directly, and temporary files.

#include "hexeditor/ex/mphexeditorex.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

// Gives tests the document fields a save would find, without a load.
class TTestEditorEx : public TMPHexEditorEx
{
public:
    void SetDocument(const QString& fileName, bool readOnly, bool modified)
    {
        SetFileState(fileName, readOnly);
        SetModified(modified);
    }
};

class ExEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        editor.Loaded();
    }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        return path;
    }

    static QByteArray readFile(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QByteArray("<missing>");
        return f.readAll();
    }

    QTemporaryDir dir;
    TTestEditorEx editor;
};
