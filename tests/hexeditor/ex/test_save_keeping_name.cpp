// Saving with AtomicBackup on: the name always holds a whole file, the
// backup is the old file itself (of a link's target), a backup that cannot
// be made stops the save before anything is replaced.

#include "ex_fixture.h"

#include "platform/core/exceptions.h"
#include "support/filesizelimit.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class SaveKeepingNameTest : public ExEditorTest
{
protected:
    void SetUp() override
    {
        ExEditorTest::SetUp();
        editor.SetAtomicBackup(true);
    }
    void loadChanged(const QString& path)
    {
        editor.LoadFromFile(path);
        const uint8_t b = 'Z';
        editor.WriteBuffer(&b, 0, 1);
    }
    QStringList entries(const QString& sub = QString()) const
    {
        return QDir(sub.isEmpty() ? dir.path() : dir.filePath(sub))
            .entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    static ino_t inodeOf(const QString& path)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
    }
    template <typename E>
    QString errorOf()
    {
        try {
            editor.SaveToFile();
        } catch (const E& e) {
            return e.Message();
        }
        return QStringLiteral("<no error>");
    }
};

} // namespace

TEST(SaveKeepingNameDefaults, TheComponentRenamesToTheBackupUnlessSwitchedOn)
{
    TMPHexEditorEx editor;
    EXPECT_FALSE(editor.AtomicBackup());
    // Not a published setting: the settings text does not change.
    EXPECT_FALSE(TMPHexEditorEx::PublishedPropertyNames().contains(QStringLiteral("AtomicBackup")));
}

TEST_F(SaveKeepingNameTest, TheBackupIsTheOldFileAndTheNameGetsTheNewOne)
{
    const QString path = writeFile(QStringLiteral("doc.bin"), "abc");
    writeFile(QStringLiteral("doc.bin.bak"), "older backup");
    const ino_t oldInode = inodeOf(path);
    loadChanged(path);
    editor.SaveToFile();
    EXPECT_EQ(readFile(path), QByteArray("Zbc"));
    EXPECT_EQ(readFile(path + ".bak"), QByteArray("abc"));
    EXPECT_EQ(inodeOf(path + ".bak"), oldInode); // a second name, not a renamed-away original
    EXPECT_FALSE(editor.Modified());
    EXPECT_EQ(editor.SavedFileStamp(), FileStampOf(path));
    EXPECT_EQ(entries(), QStringList({"doc.bin", "doc.bin.bak"}));

    // Unchanged data: no new backup.
    editor.SaveToFile();
    EXPECT_EQ(readFile(path + ".bak"), QByteArray("abc"));
}

TEST_F(SaveKeepingNameTest, SavingThroughALinkWritesItsTargetAndBacksUpTheTarget)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("real")));
    const QString real = writeFile(QStringLiteral("real/real.bin"), "abc");
    const QString link = dir.filePath(QStringLiteral("link.bin"));
    ASSERT_EQ(::symlink("real/real.bin", QFile::encodeName(link).constData()), 0);
    loadChanged(link);
    editor.SaveToFile();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(real), QByteArray("Zbc"));
    EXPECT_EQ(readFile(real + ".bak"), QByteArray("abc"));
    EXPECT_FALSE(QFileInfo::exists(link + ".bak"));
    EXPECT_FALSE(QFileInfo(link + ".bak").isSymLink());
    EXPECT_EQ(editor.FileName(), link);
}

TEST_F(SaveKeepingNameTest, AFailedWriteLeavesTheOldFileTheEarlierBackupAndNoTemporary)
{
    const QByteArray original(64 * 1024, 'o');
    const QString path = writeFile(QStringLiteral("doc.bin"), original);
    writeFile(QStringLiteral("doc.bin.bak"), "older backup");
    loadChanged(path);
    QString message;
    {
        TFileSizeLimit limit(16 * 1024);
        ASSERT_TRUE(limit.Active());
        message = errorOf<EFileOpenError>();
    }
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot save %1.\r\n(").arg(path))) << message.toStdString();
    EXPECT_EQ(readFile(path), original);
    EXPECT_EQ(readFile(path + ".bak"), QByteArray("older backup"));
    EXPECT_TRUE(editor.Modified());
    EXPECT_EQ(entries(), QStringList({"doc.bin", "doc.bin.bak"}));
}

TEST_F(SaveKeepingNameTest, AWriteProtectedEarlierBackupStopsTheSaveWithTheBackupMessage)
{
    const QString path = writeFile(QStringLiteral("doc.bin"), "abc");
    const QString bak = writeFile(QStringLiteral("doc.bin.bak"), "kept");
    ASSERT_TRUE(QFile::setPermissions(bak, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    loadChanged(path);
    EXPECT_EQ(errorOf<EMPHBackupError>(),
              QStringLiteral("Cannot delete previous backup %1. (The file is write-protected)").arg(bak));
    EXPECT_EQ(readFile(path), QByteArray("abc"));
    EXPECT_EQ(readFile(bak), QByteArray("kept"));
    EXPECT_TRUE(editor.Modified());
    EXPECT_EQ(entries(), QStringList({"doc.bin", "doc.bin.bak"}));

    // Without a backup the save goes ahead and leaves the old backup alone.
    editor.SetCreateBackup(false);
    editor.SaveToFile();
    EXPECT_EQ(readFile(path), QByteArray("Zbc"));
    EXPECT_EQ(readFile(bak), QByteArray("kept"));
}

TEST_F(SaveKeepingNameTest, AFolderUnderTheBackupNameIsNeverRemoved)
{
    const QString path = writeFile(QStringLiteral("doc.bin"), "abc");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("doc.bin.bak")));
    loadChanged(path);
    EXPECT_EQ(errorOf<EMPHBackupError>(),
              QStringLiteral("Cannot delete previous backup %1. (It is not a regular file)").arg(path + ".bak"));
    EXPECT_EQ(readFile(path), QByteArray("abc"));
}

TEST_F(SaveKeepingNameTest, ReadOnlyDocumentsAndTheEmptyExtensionAreStillRespected)
{
    const QString path = writeFile(QStringLiteral("doc.bin"), "abc");
    editor.SetDocument(path, /*readOnly*/ true, /*modified*/ true);
    EXPECT_EQ(errorOf<EFileOpenError>(), QStringLiteral("Cannot save readonly file %1.").arg(path));
    EXPECT_EQ(entries(), QStringList({"doc.bin"}));

    loadChanged(path);
    editor.SetBackupExtension(QString());
    editor.SaveToFile();
    EXPECT_EQ(readFile(path), QByteArray("Zbc"));
    EXPECT_EQ(entries(), QStringList({"doc.bin"}));
}
