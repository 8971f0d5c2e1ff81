// File helpers, the last-error record and system error texts.

#include "platform/core/exceptions.h"
#include "platform/core/fileutils.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <thread>

namespace {

QString makeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    return path;
}

} // namespace

TEST(FileUtils, ExistenceAndSize)
{
    QTemporaryDir dir;
    const QString file = makeFile(dir, "a.bin", "12345");
    EXPECT_TRUE(FileExists(file));
    EXPECT_EQ(FileSizeOf(file), 5);

    EXPECT_FALSE(FileExists(dir.filePath("missing")));
    EXPECT_EQ(LastFileError(), ENOENT);
    EXPECT_EQ(FileSizeOf(dir.filePath("missing")), -1);

    EXPECT_FALSE(FileExists(dir.path())) << "a directory is not a file";
    EXPECT_EQ(LastFileError(), EISDIR);
    EXPECT_EQ(FileSizeOf(dir.path()), -1);
    EXPECT_FALSE(FileExists(QString()));
}

TEST(FileUtils, DeleteAndRename)
{
    QTemporaryDir dir;
    const QString from = makeFile(dir, "new.bin", "new");
    const QString to = makeFile(dir, "old.bin", "old content");

    EXPECT_TRUE(RenameFileAt(from, to)) << "an existing target is replaced";
    EXPECT_FALSE(QFile::exists(from));
    QFile f(to);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "new");
    f.close();

    EXPECT_FALSE(RenameFileAt(dir.filePath("gone.bin"), to));
    EXPECT_EQ(LastFileError(), ENOENT);
    EXPECT_TRUE(QFile::exists(to)) << "a failed rename leaves the target";

    EXPECT_TRUE(DeleteFileAt(to));
    EXPECT_FALSE(QFile::exists(to));
    EXPECT_FALSE(DeleteFileAt(to));
    EXPECT_EQ(LastFileError(), ENOENT);

    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    EXPECT_FALSE(DeleteFileAt(dir.filePath("sub")));
    EXPECT_TRUE(QFileInfo(dir.filePath("sub")).isDir());
}

TEST(FileUtils, LastErrorBelongsToTheThread)
{
    QTemporaryDir dir;
    EXPECT_FALSE(DeleteFileAt(dir.path()));
    const int mine = LastFileError();
    EXPECT_NE(mine, 0);
    int theirs = 0;
    std::thread other([&] {
        FileExists(dir.filePath("missing"));
        theirs = LastFileError();
    });
    other.join();
    EXPECT_EQ(theirs, ENOENT);
    EXPECT_EQ(LastFileError(), mine);
}

TEST(Errors, SystemTextsAndMessages)
{
    EXPECT_EQ(SysErrorMessage(ENOENT), "No such file or directory");
    EXPECT_EQ(SysErrorMessage(EACCES), "Permission denied");
    const QString unknown = SysErrorMessage(123456);
    EXPECT_TRUE(unknown.contains("123456")) << unknown.toStdString();
    EXPECT_FALSE(unknown.endsWith('.'));

    const QString text = QString::fromUtf8("Datei \"gr\u00FC\u00DF.bin\" fehlt");
    const EFileOpenError e(text);
    EXPECT_EQ(e.Message(), text);
    EXPECT_STREQ(e.what(), text.toUtf8().constData());
    const Exception& base = e;
    EXPECT_EQ(base.Message(), text);
}
