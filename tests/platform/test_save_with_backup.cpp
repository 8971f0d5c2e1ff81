// The save with a backup that never leaves the target's name empty: the
// backup as a second name of the old file, made only once the new contents
// are on disk; failures and crashes at every step; links; write-protected
// and special earlier backups; the in-place write for read-only folders;
// file stamps; bounded reading of small files.

#include "platform/core/atomicsave.h"
#include "platform/core/backupfile.h"
#include "platform/core/boundedread.h"
#include "platform/core/exceptions.h"
#include "platform/core/filestamp.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr TAtomicSaveStep kSteps[] = {TAtomicSaveStep::asTemporaryCreated, TAtomicSaveStep::asDataWritten,
                                      TAtomicSaveStep::asSynced, TAtomicSaveStep::asBeforeReplace,
                                      TAtomicSaveStep::asReplaced};

class SaveWithBackup : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QString Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        EXPECT_EQ(f.write(bytes), bytes.size());
        return Path(name);
    }
    static QByteArray Read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList Entries(const QString& sub = QString()) const
    {
        return QDir(sub.isEmpty() ? m_dir.path() : Path(sub))
            .entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    static QByteArray Name(const QString& path) { return QFile::encodeName(path); }

    // The save with a backup under target + ".bak" of the file the name
    // leads to, as the editor makes it.
    static void SaveBackingUp(const QString& path, const QByteArray& data,
                              std::function<void(TAtomicSaveStep)> step = {})
    {
        TAtomicSaveOptions options;
        options.BeforeReplace = [](const QString& target) { ReplaceBackupOf(target, target + ".bak"); };
        options.StepReached = std::move(step);
        SaveFileAtomically(path, reinterpret_cast<const uint8_t*>(data.constData()), data.size(), options);
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SaveWithBackup, TheBackupIsTheOldFileAndIsMadeOnlyOnceTheNewContentsAreOnDisk)
{
    const QString doc = Write("doc.bin", "old contents");
    Write("doc.bin.bak", "older backup");
    struct stat before {};
    ASSERT_EQ(::stat(Name(doc).constData(), &before), 0);
    QStringList seenAtBackup;
    QByteArray underNameAtBackup;
    SaveBackingUp(doc, "new", [&](TAtomicSaveStep step) {
        if (step == TAtomicSaveStep::asBeforeReplace) {
            seenAtBackup = Entries();
            underNameAtBackup = Read(doc);
        }
    });
    // At the backup step both names hold the old file, the new one waits.
    EXPECT_EQ(underNameAtBackup, "old contents");
    ASSERT_EQ(seenAtBackup.size(), 3) << seenAtBackup.join(' ').toStdString();
    EXPECT_EQ(Read(doc), "new");
    EXPECT_EQ(Read(doc + ".bak"), "old contents");
    struct stat backup {};
    ASSERT_EQ(::stat(Name(doc + ".bak").constData(), &backup), 0);
    EXPECT_EQ(backup.st_ino, before.st_ino); // the old file itself, not a copy
    EXPECT_EQ(Entries(), QStringList({"doc.bin", "doc.bin.bak"}));
}

TEST_F(SaveWithBackup, AFailureAtAnyStepLeavesTheOldFileUnderTheNameAndNoTemporary)
{
    for (TAtomicSaveStep failing : kSteps) {
        if (failing == TAtomicSaveStep::asReplaced)
            continue; // the save is done by then
        SCOPED_TRACE(static_cast<int>(failing));
        const QString doc = Write("doc.bin", "old");
        Write("doc.bin.bak", "older");
        EXPECT_THROW(SaveBackingUp(doc, "new",
                                   [&](TAtomicSaveStep step) {
                                       if (step == failing)
                                           throw EWriteError(QStringLiteral("injected"));
                                   }),
                     EWriteError);
        EXPECT_EQ(Read(doc), "old");
        // Before the backup step the earlier backup is untouched; after it
        // the backup holds the same old contents as the name.
        EXPECT_EQ(Read(doc + ".bak"), failing == TAtomicSaveStep::asBeforeReplace ? "old" : "older");
        EXPECT_EQ(Entries(), QStringList({"doc.bin", "doc.bin.bak"}));
        ASSERT_TRUE(QFile::remove(doc + ".bak"));
    }
}

TEST_F(SaveWithBackup, AProcessKilledAtAnyStepLeavesTheOldOrTheNewFileUnderTheName)
{
    const QByteArray oldBytes(256 * 1024, 'o');
    const QByteArray newBytes(300 * 1024, 'n');
    for (TAtomicSaveStep killedAt : kSteps) {
        SCOPED_TRACE(static_cast<int>(killedAt));
        const QString doc = Write("doc.bin", oldBytes);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                SaveBackingUp(doc, newBytes, [&](TAtomicSaveStep step) {
                    if (step == killedAt)
                        ::raise(SIGKILL);
                });
            } catch (...) {
            }
            ::_exit(3); // not reached: killed at every step
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        const QByteArray under = Read(doc);
        EXPECT_TRUE(under == oldBytes || under == newBytes) << under.size();
        EXPECT_EQ(under, killedAt == TAtomicSaveStep::asReplaced ? newBytes : oldBytes);
        if (QFile::exists(doc + ".bak")) {
            EXPECT_EQ(Read(doc + ".bak"), oldBytes);
        }
        // Clean up what a crash leaves (a temporary file) for the next round.
        for (const QString& name : Entries())
            QFile::remove(Path(name));
    }
}

TEST_F(SaveWithBackup, ThroughALinkTheTargetIsSavedAndBackedUpAndTheLinkStays)
{
    ASSERT_TRUE(QDir().mkdir(Path("real")));
    const QString real = Write("real/real.bin", "old");
    ASSERT_EQ(::symlink("real/real.bin", Name(Path("link.bin")).constData()), 0);
    SaveBackingUp(Path("link.bin"), "new");
    EXPECT_TRUE(QFileInfo(Path("link.bin")).isSymLink());
    EXPECT_EQ(Read(real), "new");
    EXPECT_EQ(Read(real + ".bak"), "old");
    EXPECT_FALSE(QFileInfo::exists(Path("link.bin.bak")));
    EXPECT_EQ(Entries("real"), QStringList({"real.bin", "real.bin.bak"}));
}

TEST_F(SaveWithBackup, AnEarlierBackupThatIsWriteProtectedOrSpecialIsNotReplaced)
{
    const QString doc = Write("doc.bin", "old");
    const QString bak = Write("doc.bin.bak", "kept");
    ASSERT_EQ(::chmod(Name(bak).constData(), 0444), 0);
    try {
        SaveBackingUp(doc, "new");
        ADD_FAILURE() << "saved over a write-protected backup";
    } catch (const EBackupError& e) {
        EXPECT_EQ(e.Step(), EBackupError::bsRemovePrevious);
        EXPECT_EQ(e.BackupName(), bak);
        EXPECT_EQ(e.Reason(), "The file is write-protected");
    }
    EXPECT_EQ(Read(doc), "old");
    EXPECT_EQ(Read(bak), "kept");
    EXPECT_EQ(Entries(), QStringList({"doc.bin", "doc.bin.bak"}));

    ASSERT_TRUE(QFile::remove(bak));
    ASSERT_EQ(::mkfifo(Name(bak).constData(), 0600), 0);
    try {
        SaveBackingUp(doc, "new");
        ADD_FAILURE() << "saved over a named pipe as backup";
    } catch (const EBackupError& e) {
        EXPECT_EQ(e.Reason(), "It is not a regular file");
    }
    struct stat st {};
    ASSERT_EQ(::lstat(Name(bak).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(Read(doc), "old");
}

TEST_F(SaveWithBackup, ABackupAlreadyHoldingTheCurrentFileIsKeptWithoutStrayNames)
{
    const QString doc = Write("doc.bin", "current");
    ReplaceBackupOf(doc, doc + ".bak");
    ReplaceBackupOf(doc, doc + ".bak"); // the same file already: nothing to do
    EXPECT_EQ(Read(doc + ".bak"), "current");
    EXPECT_EQ(Entries(), QStringList({"doc.bin", "doc.bin.bak"}));
    ReplaceBackupOf(Path("missing.bin"), Path("missing.bin.bak")); // nothing to back up
    EXPECT_EQ(Entries(), QStringList({"doc.bin", "doc.bin.bak"}));
}

TEST_F(SaveWithBackup, AWritableFileInAReadOnlyFolderIsRewrittenInPlaceOnlyWhenAllowed)
{
    // Run as an ordinary user: root may write into any folder.
    ASSERT_EQ(::chmod(Name(m_dir.path()).constData(), 0755), 0);
    ASSERT_TRUE(QDir().mkdir(Path("ro")));
    const QString doc = Write("ro/doc.bin", "old contents");
    const uid_t user = ::geteuid() == 0 ? 65534 : ::geteuid();
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(Name(Path("ro")).constData(), user, user), 0);
        ASSERT_EQ(::chown(Name(doc).constData(), user, user), 0);
    }
    ASSERT_EQ(::chmod(Name(doc).constData(), 0640), 0);
    ASSERT_EQ(::chmod(Name(Path("ro")).constData(), 0555), 0);
    struct stat before {};
    ASSERT_EQ(::stat(Name(doc).constData(), &before), 0);

    auto saveAsUser = [&](bool inPlace) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (::geteuid() == 0 && (::setgid(user) != 0 || ::setuid(user) != 0))
                ::_exit(4);
            TAtomicSaveOptions options;
            options.InPlaceWhenFolderReadOnly = inPlace;
            try {
                SaveFileAtomically(doc, reinterpret_cast<const uint8_t*>("new"), 3, options);
            } catch (const EFileOpenError&) {
                ::_exit(1);
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(saveAsUser(false), 1); // no temporary file possible: refused
    EXPECT_EQ(Read(doc), "old contents");
    EXPECT_EQ(saveAsUser(true), 0);
    EXPECT_EQ(Read(doc), "new"); // written and cut to the new length
    struct stat after {};
    ASSERT_EQ(::stat(Name(doc).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries("ro"), QStringList({"doc.bin"}));
    ::chmod(Name(Path("ro")).constData(), 0755);
}

TEST_F(SaveWithBackup, TheWrittenStampIsTheNewFileAndStampsTellReplacedFiles)
{
    const QString doc = Write("doc.bin", "old");
    const TFileStamp loaded = FileStampOf(doc);
    EXPECT_TRUE(loaded.Exists);
    EXPECT_EQ(loaded.Size, 3);
    TFileStamp written;
    TAtomicSaveOptions options;
    options.Written = &written;
    SaveFileAtomically(doc, reinterpret_cast<const uint8_t*>("new!"), 4, options);
    EXPECT_EQ(written, FileStampOf(doc));
    EXPECT_NE(written, loaded); // another inode
    EXPECT_EQ(written.Size, 4);

    // The same size written in place at another time differs too.
    struct timespec times[2] = {{0, UTIME_OMIT}, {12345, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Name(doc).constData(), times, 0), 0);
    EXPECT_NE(FileStampOf(doc), written);
    EXPECT_FALSE(FileStampOf(Path("missing")).Exists);
}

TEST_F(SaveWithBackup, SmallFilesAreReadOnlyWhenRegularAndBounded)
{
    EXPECT_EQ(ReadBoundedFile(Write("s.txt", "A=1\n"), 16), QByteArray("A=1\n"));
    EXPECT_EQ(ReadBoundedFile(Write("exact.txt", QByteArray(16, 'x')), 16).size(), 16);
    EXPECT_THROW(ReadBoundedFile(Write("big.txt", QByteArray(17, 'x')), 16), EReadError);
    // Neither a pipe without writer nor an endless device is read.
    const QString fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(Name(fifo).constData(), 0600), 0);
    EXPECT_THROW(ReadBoundedFile(fifo, 16), EFileOpenError);
    EXPECT_THROW(ReadBoundedFile(QStringLiteral("/dev/zero"), 16), EFileOpenError);
    EXPECT_THROW(ReadBoundedFile(Path("missing"), 16), EFileOpenError);
}
