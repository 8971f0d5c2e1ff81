// Saving the data: backup, atomic write, and a write that fails part way.

#include "ex_fixture.h"

#include "platform/core/exceptions.h"
#include "support/filesizelimit.h"

#include <QDir>

namespace {

class SaveTest : public ExEditorTest
{
protected:
    QString loadChanged(const QByteArray& bytes)
    {
        const QString path = writeFile(QStringLiteral("doc.bin"), bytes);
        editor.LoadFromFile(path);
        const uint8_t b = 'Z';
        editor.WriteBuffer(&b, 0, 1);
        return path;
    }
};

} // namespace

TEST_F(SaveTest, SaveKeepsTheOldBytesInTheBackupAndClearsTheModifiedState)
{
    const QString path = loadChanged("abc");
    editor.ChangedBytes().resize(3);
    editor.ChangedBytes().setBit(0);
    int changes = 0;
    editor.OnChange = [&](QObject*) { ++changes; };
    editor.SaveToFile();
    EXPECT_EQ(readFile(path), QByteArray("Zbc"));
    EXPECT_EQ(readFile(path + QStringLiteral(".bak")), QByteArray("abc"));
    EXPECT_FALSE(editor.Modified());
    EXPECT_EQ(editor.ChangedBytes().count(true), 0);
    EXPECT_EQ(changes, 1);

    // Saving unchanged data again makes no new backup.
    editor.SaveToFile();
    EXPECT_EQ(readFile(path + QStringLiteral(".bak")), QByteArray("abc"));
}

TEST_F(SaveTest, SaveAsWritesANewDocumentAndLeavesTheOldFileAlone)
{
    const QString path = loadChanged("abc");
    const QString other = dir.filePath(QStringLiteral("copy.bin"));
    editor.SaveToFile(other);
    EXPECT_EQ(readFile(path), QByteArray("abc"));
    EXPECT_EQ(readFile(other), QByteArray("Zbc"));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".bak")));
    EXPECT_EQ(editor.FileName(), other);
    EXPECT_TRUE(editor.HasFile());
    EXPECT_FALSE(editor.ReadOnlyFile());
}

TEST_F(SaveTest, ReadOnlyDocumentIsNotSavedOverButCanBeSavedElsewhere)
{
    const QString path = writeFile(QStringLiteral("doc.bin"), "abc");
    editor.SetDocument(path, /*readOnly*/ true, /*modified*/ true);
    QString message;
    try {
        editor.SaveToFile();
    } catch (const EFileOpenError& e) {
        message = e.Message();
    }
    EXPECT_EQ(message, QStringLiteral("Cannot save readonly file %1.").arg(path));
    EXPECT_EQ(readFile(path), QByteArray("abc"));
    editor.SaveToFile(dir.filePath(QStringLiteral("elsewhere.bin")));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("elsewhere.bin"))));
}

TEST_F(SaveTest, WriteFailingPartWayLeavesTheOriginalUnderItsName)
{
    const QByteArray original(64 * 1024, 'o');
    const QString path = loadChanged(original);
    writeFile(QStringLiteral("doc.bin.bak"), "older backup");
    QString message;
    {
        TFileSizeLimit limit(16 * 1024);
        ASSERT_TRUE(limit.Active());
        try {
            editor.SaveToFile();
        } catch (const EFileOpenError& e) {
            message = e.Message();
        }
    }
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot save %1.\r\n(").arg(path))) << message.toStdString();
    EXPECT_EQ(readFile(path), original);
    EXPECT_TRUE(editor.Modified());
    // No temporary file is left behind.
    QStringList files = QDir(dir.path()).entryList(QDir::Files);
    EXPECT_EQ(files, QStringList{QStringLiteral("doc.bin")});

    // Without backups the original is never moved and stays as well.
    editor.SetCreateBackup(false);
    {
        TFileSizeLimit limit(16 * 1024);
        EXPECT_THROW(editor.SaveToFile(), EFileOpenError);
    }
    EXPECT_EQ(readFile(path), original);
}

TEST_F(SaveTest, FailedSaveAsChangesNoDocumentState)
{
    const QString path = loadChanged("abc");
    EXPECT_THROW(editor.SaveToFile(dir.filePath(QStringLiteral("missing/dir/x.bin"))), EFileOpenError);
    EXPECT_EQ(editor.FileName(), path);
    EXPECT_TRUE(editor.Modified());
}

TEST_F(SaveTest, DataInPiecesIsSavedInOrderWithoutGathering)
{
    const QString path = writeFile(QStringLiteral("doc.bin"), QByteArray(200000, 'a'));
    editor.LoadFromFile(path);
    editor.InsertBuffer("xyz", 3, 5, {}, false);
    editor.InsertBuffer("12", 2, 150000, {}, false);
    editor.SetSelStart(0);
    editor.DeleteSelection();
    ASSERT_FALSE(editor.DataStorage().IsContiguous());
    QByteArray expected(200000, 'a');
    expected.insert(5, "xyz");
    expected.insert(150000, "12");
    expected.remove(0, 1);
    editor.SaveToFile();
    EXPECT_EQ(readFile(path), expected);
    EXPECT_FALSE(editor.DataStorage().IsContiguous()) << "saving gathered the data";
}
