// The backup step before the document's file is overwritten.

#include "ex_fixture.h"

#include "platform/core/exceptions.h"

#include <QDir>

namespace {

template <typename F>
QString MessageOf(F&& call)
{
    try {
        call();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

class BackupTest : public ExEditorTest
{
protected:
    // A loaded, writable document whose data were then changed.
    QString loadModified(const QByteArray& bytes)
    {
        const QString path = writeFile(QStringLiteral("image.bin"), bytes);
        editor.LoadFromFile(path);
        EXPECT_FALSE(editor.ReadOnlyFile());
        if (editor.DataSize() > 0) {
            const uint8_t b = 0xEE;
            editor.WriteBuffer(&b, 0, 1);
        } else {
            editor.SetModified(true);
        }
        return path;
    }
};

} // namespace

TEST_F(BackupTest, ModifiedDocumentIsRenamedToItsBackupName)
{
    const QString path = loadModified("original");
    editor.PrepareFileOverwrite();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(editor.BackupFileName(), path + QStringLiteral(".bak"));
    EXPECT_EQ(readFile(path + QStringLiteral(".bak")), QByteArray("original"));
}

TEST_F(BackupTest, AnEarlierBackupIsReplaced)
{
    writeFile(QStringLiteral("image.bin.bak"), "old backup");
    const QString path = loadModified("current");
    editor.PrepareFileOverwrite();
    EXPECT_EQ(readFile(path + QStringLiteral(".bak")), QByteArray("current"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("image.bin.bak")});
}

TEST_F(BackupTest, NothingIsMovedWhenNotModifiedOrBackupsAreOff)
{
    const QString path = writeFile(QStringLiteral("image.bin"), "data");
    editor.LoadFromFile(path);
    editor.PrepareFileOverwrite(); // not modified
    EXPECT_TRUE(QFile::exists(path));

    editor.SetModified(true);
    editor.SetCreateBackup(false);
    writeFile(QStringLiteral("image.bin.bak"), "old backup");
    editor.PrepareFileOverwrite();
    EXPECT_EQ(readFile(path), QByteArray("data"));
    EXPECT_EQ(readFile(path + QStringLiteral(".bak")), QByteArray("old backup"));
}

TEST_F(BackupTest, AFileGoneFromDiskNeedsNoBackup)
{
    const QString path = loadModified("data");
    writeFile(QStringLiteral("image.bin.bak"), "old backup");
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(MessageOf([&] { editor.PrepareFileOverwrite(); }), QStringLiteral("<no error>"));
    EXPECT_EQ(readFile(path + QStringLiteral(".bak")), QByteArray("old backup"));
}

TEST_F(BackupTest, ModifiedEmptyDataStillBacksUpTheExistingFile)
{
    const QString path = loadModified(QByteArray());
    ASSERT_EQ(editor.DataSize(), 0);
    editor.PrepareFileOverwrite();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(QFile::exists(path + QStringLiteral(".bak")));
}

TEST_F(BackupTest, ReadOnlyDocumentIsRefusedBeforeAnyBackup)
{
    const QString path = writeFile(QStringLiteral("image.bin"), "data");
    editor.SetDocument(path, /*readOnly*/ true, /*modified*/ true);
    bool fileOpenError = false;
    try {
        editor.PrepareFileOverwrite();
    } catch (const EFileOpenError& e) {
        fileOpenError = true;
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot save readonly file %1.").arg(path));
    }
    EXPECT_TRUE(fileOpenError);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".bak")));
}

TEST_F(BackupTest, EmptyExtensionMakesNoBackupAndKeepsTheDocument)
{
    const QString path = loadModified("precious");
    editor.SetBackupExtension(QString());
    editor.PrepareFileOverwrite();
    EXPECT_EQ(readFile(path), QByteArray("precious"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(BackupTest, FailingRenameNamesTheBackupAndTheSystemReason)
{
    const QString path = loadModified("data");
    // "image.bin/x" lies below a file, so the rename cannot succeed.
    editor.SetBackupExtension(QStringLiteral("/x"));
    EXPECT_EQ(MessageOf([&] { editor.PrepareFileOverwrite(); }),
              QStringLiteral("Cannot create backup %1/x. (%2)").arg(path, SysErrorMessage(ENOTDIR)));
    EXPECT_EQ(readFile(path), QByteArray("data"));
}

TEST_F(BackupTest, UndeletableOldBackupStopsWithItsText)
{
    // The process's own status file exists and cannot be removed, not even
    // by the superuser; the "document" beside it is its stat file.
    editor.SetDocument(QStringLiteral("/proc/self/stat"), false, true);
    editor.SetBackupExtension(QStringLiteral("us"));
    const QString message = MessageOf([&] { editor.PrepareFileOverwrite(); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot delete previous backup /proc/self/status. (")))
        << message.toStdString();
    EXPECT_TRUE(message.endsWith(u')'));
    EXPECT_NE(message, QStringLiteral("Cannot delete previous backup /proc/self/status. ()"));
    EXPECT_TRUE(QFile::exists(QStringLiteral("/proc/self/stat")));
}

TEST_F(ExEditorTest, DirectWritesMarkTheDocumentModifiedAndNotifyOnce)
{
    const QString path = writeFile(QStringLiteral("a.bin"), "abcd");
    editor.LoadFromFile(path);
    int changes = 0;
    bool modifiedWhenNotified = false;
    editor.OnChange = [&](QObject*) {
        ++changes;
        modifiedWhenNotified = editor.Modified();
    };
    ASSERT_FALSE(editor.Modified());
    const char bytes[2] = {'X', 'Y'};
    editor.WriteBuffer(bytes, 1, 2);
    EXPECT_TRUE(editor.Modified());
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(modifiedWhenNotified);
    QByteArray data(4, '\0');
    editor.ReadBuffer(data.data(), 0, 4);
    EXPECT_EQ(data, QByteArray("aXYd"));
    EXPECT_TRUE(editor.ChangedBytes().count(true) == 0);
}

TEST_F(ExEditorTest, DirectWriteOutsideTheDataChangesNothing)
{
    editor.LoadFromFile(writeFile(QStringLiteral("a.bin"), "abcd"));
    const char bytes[2] = {'X', 'Y'};
    EXPECT_THROW(editor.WriteBuffer(bytes, 3, 2), EMPHexEditor);
    EXPECT_FALSE(editor.Modified());
}
