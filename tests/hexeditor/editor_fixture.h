#pragma once
// Shared helpers for the editor tests: temporary files and a driven input state.

#include "hexeditor/mphexeditor.h"
#include "platform/inputstate.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

class EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        previousInput = SetInputState(&input);
        editor.Loaded();
    }
    void TearDown() override { SetInputState(previousInput); }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        return path;
    }

    static QByteArray pattern(int size)
    {
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i)
            bytes[i] = static_cast<char>((i * 7 + 3) & 0xFF);
        return bytes;
    }

    // Delivers posted messages, as a return to the event loop would.
    static void returnToEventLoop() { QCoreApplication::sendPostedEvents(); }

    QTemporaryDir dir;
    TScriptedInputState input;
    IInputState* previousInput = nullptr;
    TMPHexEditor editor;
};
