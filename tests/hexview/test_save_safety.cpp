// Saving from the window at the desktop's edges: links, files changed by
// other programs meanwhile, backups that cannot be made, special and
// write-protected targets for Save As, and errors raised inside the
// editor's event handlers.

#include "window_fixture.h"

#include "hexview/documentwatch.h"
#include "hexview/saveactions.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace hexview;

namespace {

class SaveSafetyTest : public HexViewWindowTest
{
protected:
    void SetUp() override
    {
        HexViewWindowTest::SetUp();
        AskBeforeOverwritingChangedFile = [this](HexViewWindow&, const QString& text, bool canReload) {
            overwriteQuestions << text;
            reloadOffered = canReload;
            return overwriteAnswer;
        };
        AskReloadChangedFile = [this](HexViewWindow&, const QString& text, bool canReload) {
            reloadQuestions << text;
            reloadOffered = canReload;
            return reloadAnswer;
        };
        AskSaveWithoutBackup = [this](HexViewWindow&, const QString& reason) {
            backupQuestions << reason;
            return saveWithoutBackup;
        };
    }
    void TearDown() override
    {
        AskBeforeOverwritingChangedFile = m_askOverwrite;
        AskReloadChangedFile = m_askReload;
        AskSaveWithoutBackup = m_askWithoutBackup;
        AskSaveFileName = m_askName;
    }

    void openChanged(const QString& path)
    {
        ASSERT_TRUE(window->OpenFile(path));
        const uint8_t b = 'Z';
        Editor().WriteBuffer(&b, 0, 1);
    }
    // Another program replaces the file's contents (a new modification time).
    static void changeBehindOurBack(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        struct timespec times[2] = {{0, UTIME_OMIT}, {1000000, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    }
    QStringList hiddenEntries() const
    {
        return QDir(files.dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QStringList overwriteQuestions;
    QStringList reloadQuestions;
    QStringList backupQuestions;
    bool reloadOffered = false;
    TChangedFileAnswer overwriteAnswer = TChangedFileAnswer::cfCancel;
    TChangedFileAnswer reloadAnswer = TChangedFileAnswer::cfCancel;
    bool saveWithoutBackup = false;

private:
    const decltype(AskBeforeOverwritingChangedFile) m_askOverwrite = AskBeforeOverwritingChangedFile;
    const decltype(AskReloadChangedFile) m_askReload = AskReloadChangedFile;
    const decltype(AskSaveWithoutBackup) m_askWithoutBackup = AskSaveWithoutBackup;
    const decltype(AskSaveFileName) m_askName = AskSaveFileName;
};

} // namespace

TEST_F(SaveSafetyTest, SaveThroughALinkKeepsTheLinkAndBacksUpItsTarget)
{
    ASSERT_TRUE(QDir(files.dir.path()).mkdir("real"));
    const QString real = files.Write("real/real.bin", "abcdef");
    const QString link = files.dir.filePath("link.bin");
    ASSERT_EQ(::symlink("real/real.bin", QFile::encodeName(link).constData()), 0);
    openChanged(link);
    ASSERT_TRUE(SaveDocument(*window));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(TTestFolder::Read(real), "Zbcdef");
    EXPECT_EQ(TTestFolder::Read(real + ".bak"), "abcdef");
    EXPECT_FALSE(QFileInfo(link + ".bak").exists() || QFileInfo(link + ".bak").isSymLink());
    EXPECT_TRUE(Editor().AtomicBackup());
}

TEST_F(SaveSafetyTest, TheBackupIsASecondNameOfTheOldFileSoTheNameIsNeverEmpty)
{
    const QString path = files.Write("data.bin", "abcdef");
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    openChanged(path);
    // Every change of the folder's names during the save: the document's
    // name may be replaced (moved to) but never moved away or deleted.
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(files.dir.path()).constData(),
                                  IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE | IN_CREATE),
              0);
    ASSERT_TRUE(SaveDocument(*window));
    QStringList nameLost;
    alignas(struct inotify_event) char buffer[8192];
    for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;) {
        for (char* p = buffer; p < buffer + n;) {
            const auto* event = reinterpret_cast<const struct inotify_event*>(p);
            if (event->len && QByteArray(event->name) == "data.bin" && (event->mask & (IN_MOVED_FROM | IN_DELETE)))
                nameLost << QString::number(event->mask, 16);
            p += sizeof(struct inotify_event) + event->len;
        }
    }
    ::close(watch);
    EXPECT_TRUE(nameLost.isEmpty()) << "data.bin left its name: " << nameLost.join(' ').toStdString();
    struct stat backup {};
    ASSERT_EQ(::stat(QFile::encodeName(path + ".bak").constData(), &backup), 0);
    EXPECT_EQ(backup.st_ino, before.st_ino);
    EXPECT_EQ(TTestFolder::Read(path), "Zbcdef");
    EXPECT_EQ(hiddenEntries(), QStringList({"data.bin", "data.bin.bak"}));
}

TEST_F(SaveSafetyTest, AWriteProtectedBackupIsNeverDeletedSilently)
{
    const QString path = files.Write("data.bin", "abcdef");
    const QString bak = files.Write("data.bin.bak", "kept");
    ASSERT_EQ(::chmod(QFile::encodeName(bak).constData(), 0444), 0);
    openChanged(path);
    saveWithoutBackup = false;
    EXPECT_FALSE(SaveDocument(*window));
    ASSERT_EQ(backupQuestions.size(), 1);
    EXPECT_EQ(backupQuestions[0],
              QStringLiteral("Cannot delete previous backup %1. (The file is write-protected)").arg(bak));
    EXPECT_EQ(TTestFolder::Read(bak), "kept");
    EXPECT_EQ(TTestFolder::Read(path), "abcdef");
    EXPECT_TRUE(Editor().Modified());
}

TEST_F(SaveSafetyTest, AFileChangedOnDiskIsNotOverwrittenWithoutAsking)
{
    const QString path = files.Write("data.bin", "abcdef");
    openChanged(path);
    changeBehindOurBack(path, "theirs");

    overwriteAnswer = TChangedFileAnswer::cfCancel;
    EXPECT_FALSE(SaveDocument(*window));
    ASSERT_EQ(overwriteQuestions.size(), 1);
    EXPECT_TRUE(overwriteQuestions[0].contains("data.bin was changed on disk")) << overwriteQuestions[0].toStdString();
    EXPECT_TRUE(reloadOffered);
    EXPECT_EQ(TTestFolder::Read(path), "theirs");
    EXPECT_FALSE(QFile::exists(path + ".bak"));
    EXPECT_TRUE(Editor().Modified());

    overwriteAnswer = TChangedFileAnswer::cfOverwrite;
    EXPECT_TRUE(SaveDocument(*window));
    EXPECT_EQ(TTestFolder::Read(path), "Zbcdef");
    EXPECT_EQ(TTestFolder::Read(path + ".bak"), "theirs");

    // Our own save is what is known now: no question the next time.
    const uint8_t b = 'Y';
    Editor().WriteBuffer(&b, 1, 1);
    EXPECT_TRUE(SaveDocument(*window));
    EXPECT_EQ(overwriteQuestions.size(), 2); // only the two questions before
    EXPECT_EQ(TTestFolder::Read(path), "ZYcdef");
}

TEST_F(SaveSafetyTest, ReloadInsteadOfOverwritingShowsTheOtherProgramsBytes)
{
    const QString path = files.Write("data.bin", "abcdef");
    openChanged(path);
    changeBehindOurBack(path, "theirs");
    overwriteAnswer = TChangedFileAnswer::cfReload;
    EXPECT_FALSE(SaveDocument(*window));
    EXPECT_EQ(TTestFolder::Read(path), "theirs");
    EXPECT_FALSE(Editor().Modified());
    EXPECT_EQ(Editor().DataSize(), 6);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(Editor().DataStorage().Memory()), 6), "theirs");

    // A removed file can be saved again, but not reloaded.
    openChanged(path);
    ASSERT_TRUE(QFile::remove(path));
    overwriteAnswer = TChangedFileAnswer::cfOverwrite;
    EXPECT_TRUE(SaveDocument(*window));
    EXPECT_FALSE(reloadOffered);
    EXPECT_EQ(TTestFolder::Read(path), "Zheirs");
}

TEST_F(SaveSafetyTest, TheWatchTellsAboutChangesAndRemovalButNotAboutOurOwnSaves)
{
    const QString path = files.Write("data.bin", "abcdef");
    openChanged(path);
    ASSERT_TRUE(SaveDocument(*window));
    QTest::qWait(300);
    EXPECT_TRUE(reloadQuestions.isEmpty()) << reloadQuestions.join('\n').toStdString();

    reloadAnswer = TChangedFileAnswer::cfReload;
    changeBehindOurBack(path, "theirs");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !reloadQuestions.isEmpty(); }, 5000));
    ASSERT_EQ(reloadQuestions.size(), 1);
    EXPECT_TRUE(reloadQuestions[0].contains("data.bin was changed on disk")) << reloadQuestions[0].toStdString();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(Editor().DataStorage().Memory()), Editor().DataSize()),
              "theirs");

    // Removed: told once, nothing reloaded, the data stay.
    reloadAnswer = TChangedFileAnswer::cfCancel;
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(QTest::qWaitFor([&] { return reloadQuestions.size() == 2; }, 5000));
    EXPECT_TRUE(reloadQuestions.value(1).contains("removed or renamed")) << reloadQuestions.value(1).toStdString();
    EXPECT_FALSE(reloadOffered);
    EXPECT_EQ(Editor().DataSize(), 6);
    QTest::qWait(200);
    EXPECT_EQ(reloadQuestions.size(), 2);
}

TEST_F(SaveSafetyTest, ABackupThatCannotBeMadeOffersSaveWithoutBackupWithTheReason)
{
    const QString path = files.Write("data.bin", "abcdef");
    ASSERT_TRUE(QDir(files.dir.path()).mkdir("data.bin.bak")); // the backup's name is taken
    openChanged(path);

    saveWithoutBackup = false;
    EXPECT_FALSE(SaveDocument(*window));
    ASSERT_EQ(backupQuestions.size(), 1);
    EXPECT_EQ(backupQuestions[0],
              QStringLiteral("Cannot delete previous backup %1. (It is not a regular file)").arg(path + ".bak"));
    EXPECT_EQ(TTestFolder::Read(path), "abcdef");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    saveWithoutBackup = true;
    EXPECT_TRUE(SaveDocument(*window));
    EXPECT_EQ(TTestFolder::Read(path), "Zbcdef");
    EXPECT_TRUE(QFileInfo(path + ".bak").isDir());
    EXPECT_TRUE(Editor().CreateBackup()) << "only this save goes without a backup";
    EXPECT_FALSE(Editor().Modified());
}

TEST_F(SaveSafetyTest, SaveAsRefusesSpecialAndWriteProtectedTargetsAndKeepsLinks)
{
    const QString path = files.Write("data.bin", "abcdef");
    openChanged(path);
    const QString fifo = files.dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(SaveDocumentAs(*window, fifo));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("It is not a regular file")) << errors[0].toStdString();
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    const QString locked = files.Write("locked.bin", "old");
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0444), 0);
    EXPECT_FALSE(SaveDocumentAs(*window, locked));
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[1].contains("write-protected")) << errors[1].toStdString();
    EXPECT_EQ(TTestFolder::Read(locked), "old");
    EXPECT_EQ(Editor().FileName(), path);

    const QString other = files.Write("other.bin", "old");
    ASSERT_EQ(::chmod(QFile::encodeName(other).constData(), 0604), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(other).constData(), 2001, 2002), 0); // another user's file
    }
    const QString link = files.dir.filePath("other-link.bin");
    ASSERT_EQ(::symlink("other.bin", QFile::encodeName(link).constData()), 0);
    EXPECT_TRUE(SaveDocumentAs(*window, link));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(TTestFolder::Read(other), "Zbcdef");
    ASSERT_EQ(::stat(QFile::encodeName(other).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    if (root) {
        EXPECT_EQ(st.st_uid, 2001u);
        EXPECT_EQ(st.st_gid, 2002u);
    }
}

TEST_F(SaveSafetyTest, AnErrorInsideTheEditorsKeyHandlerReachesTheErrorBox)
{
    const QString path = files.Write("data.bin", QByteArray::fromHex("0011223344"));
    ASSERT_TRUE(window->OpenFile(path));
    Editor().SetReadOnlyView(false);
    Editor().SetNoSizeChange(true);
    Editor().setFocus();
    QTest::keyClick(&Editor(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, 2000));
    EXPECT_EQ(errors, QStringList({"Cannot update undo storage."}));
    EXPECT_EQ(Editor().DataSize(), 5);
}
