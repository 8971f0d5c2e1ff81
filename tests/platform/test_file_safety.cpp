// The file layer under hostile conditions: names that do not survive the
// system's encoding, special files, files that change while they are read,
// the write-access check without opening for writing, and the atomic save.

#include "platform/core/atomicsave.h"
#include "platform/core/exceptions.h"
#include "platform/core/fileutils.h"
#include "platform/core/streams.h"
#include "support/filesizelimit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class FileSafety : public ::testing::Test
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
    QStringList Entries() const
    {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    static QByteArray Name(const QString& path) { return QFile::encodeName(path); }

    QTemporaryDir m_dir;
};

template <typename F>
QString StreamErrorOf(F&& call)
{
    try {
        call();
    } catch (const EStreamError& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

// ---- names -----------------------------------------------------------------------

TEST(FileNames, OnlyNamesThatSurviveTheRoundTripReachTheSystem)
{
    QByteArray out;
    int error = 0;
    EXPECT_TRUE(EncodeFileName(QStringLiteral("/tmp/caf\u00E9 \uFFFD.bin"), &out, &error));
    EXPECT_EQ(out, QByteArray("/tmp/caf\xC3\xA9 \xEF\xBF\xBD.bin"));
    EXPECT_FALSE(EncodeFileName(QString(), &out, &error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(EncodeFileName(QStringLiteral("a") + QChar(0) + QStringLiteral("b"), &out, &error));
    EXPECT_EQ(error, EINVAL);
    // A lone surrogate has no encoding: it must not become some other name.
    EXPECT_FALSE(EncodeFileName(QStringLiteral("x") + QChar(0xD800), &out, &error));
    EXPECT_EQ(error, EILSEQ);
    EXPECT_TRUE(out.isEmpty());

    QString name;
    EXPECT_TRUE(DecodeFileNameExactly(QByteArray("plain\xC3\xA9"), &name));
    EXPECT_EQ(name, QStringLiteral("plain\u00E9"));
    EXPECT_FALSE(DecodeFileNameExactly(QByteArray("out\xFF"), &name));
    EXPECT_FALSE(DecodeFileNameExactly(QByteArray("\xC3"), &name));
    EXPECT_TRUE(name.isEmpty());
}

// ---- kinds and identity -----------------------------------------------------------

TEST_F(FileSafety, SpecialFilesAndSameFiles)
{
    const QString file = Write("a.bin", "abc");
    const QString fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(Name(fifo).constData(), 0600), 0);
    EXPECT_TRUE(IsSpecialFile(fifo));
    EXPECT_TRUE(IsSpecialFile(QStringLiteral("/dev/null")));
    EXPECT_FALSE(IsSpecialFile(file));
    EXPECT_FALSE(IsSpecialFile(m_dir.path()));
    EXPECT_FALSE(IsSpecialFile(Path("missing")));

    const QString hard = Path("hard.bin");
    ASSERT_EQ(::link(Name(file).constData(), Name(hard).constData()), 0);
    const QString soft = Path("soft.bin");
    ASSERT_TRUE(QFile::link(file, soft));
    EXPECT_TRUE(SameFile(file, hard));
    EXPECT_TRUE(SameFile(soft, file));
    EXPECT_TRUE(SameFile(file, m_dir.path() + "/../" + QDir(m_dir.path()).dirName() + "/a.bin"));
    EXPECT_FALSE(SameFile(file, Write("b.bin", "abc")));
    EXPECT_FALSE(SameFile(file, Path("missing")));
}

TEST_F(FileSafety, InputsMustBeRegularFilesAndAreRefusedWithoutBlocking)
{
    const QString fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(Name(fifo).constData(), 0600), 0);
    // No writer: a blocking open would never return.
    EXPECT_EQ(StreamErrorOf([&] { TFileStream::OpenInput(fifo); }),
              QStringLiteral("Cannot open file \"%1\". It is not a regular file").arg(fifo));
    EXPECT_TRUE(StreamErrorOf([] { TFileStream::OpenInput(QStringLiteral("/dev/zero")); }).contains("not a regular file"));
    EXPECT_TRUE(StreamErrorOf([&] { TFileStream::OpenInput(m_dir.path()); }).contains(m_dir.path()));
    EXPECT_TRUE(StreamErrorOf([&] { TFileStream::OpenInput(Path("missing")); }).contains("No such file"));

    const QString file = Write("a.bin", "abc");
    auto stream = TFileStream::OpenInput(file);
    ASSERT_TRUE(stream);
    EXPECT_TRUE(stream->IsRegularFile());
    char bytes[3];
    stream->ReadBuffer(bytes, 3);
    EXPECT_NO_THROW(stream->CheckUnchanged());
}

TEST_F(FileSafety, AFileThatChangesWhileItIsReadFailsTheLoad)
{
    const QString path = Write("a.bin", QByteArray(100000, 'a'));
    {
        // Grows after it was opened.
        auto stream = TFileStream::OpenInput(path);
        QFile other(path);
        ASSERT_TRUE(other.open(QIODevice::Append));
        other.write("more");
        other.close();
        TMemoryStream memory;
        EXPECT_TRUE(StreamErrorOf([&] { memory.LoadFromStream(*stream); }).contains("changed while it was read"));
        EXPECT_EQ(memory.Size(), 0) << "a failed load leaves the stream as it was";
    }
    {
        // Cut short after it was opened.
        auto stream = TFileStream::OpenInput(path);
        ASSERT_EQ(::truncate(Name(path).constData(), 10), 0);
        TMemoryStream memory;
        EXPECT_THROW(memory.LoadFromStream(*stream), EReadError);
    }
    {
        // Same size, new content: the modification time tells.
        auto stream = TFileStream::OpenInput(path);
        struct timespec times[2] = {{0, UTIME_OMIT}, {12345, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, Name(path).constData(), times, 0), 0);
        EXPECT_THROW(stream->CheckUnchanged(), EReadError);
    }
    // Unchanged: loads.
    auto stream = TFileStream::OpenInput(path);
    TMemoryStream memory;
    memory.LoadFromStream(*stream);
    EXPECT_EQ(memory.Size(), 10);
}

// ---- write access without writing ------------------------------------------------

TEST_F(FileSafety, WriteAccessIsFoundWithoutOpeningForWriting)
{
    const QString path = Write("a.bin", "abc");
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, Name(path).constData(), IN_CLOSE_WRITE | IN_MODIFY), 0);

    EXPECT_TRUE(CanWriteExclusively(path));
    alignas(inotify_event) char events[4096];
    const ssize_t n = ::read(watch, events, sizeof events);
    EXPECT_EQ(n, -1) << "a file watcher saw a write access";
    ::close(watch);

    ASSERT_EQ(::chmod(Name(path).constData(), 0444), 0);
    EXPECT_FALSE(CanWriteExclusively(path)) << "no write bit: write-protected, also for root";
    ASSERT_EQ(::chmod(Name(path).constData(), 0644), 0);
    EXPECT_FALSE(CanWriteExclusively(Path("missing")));
    EXPECT_FALSE(CanWriteExclusively(QStringLiteral("/dev/null")));
}

TEST_F(FileSafety, LocksOfOthersMakeAFileNotExclusivelyWritable)
{
    const QString path = Write("a.bin", "abcdef");
    {
        // flock held through another open file.
        TFileStream holder(path, TFileMode::fmOpenRead, TShareMode::fmShareDenyWrite);
        EXPECT_FALSE(CanWriteExclusively(path));
    }
    EXPECT_TRUE(CanWriteExclusively(path));
    {
        // An open-file-description record lock of a byte range.
        const int fd = ::open(Name(path).constData(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 2;
        lock.l_len = 1;
        ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
        EXPECT_FALSE(CanWriteExclusively(path));
        ::close(fd);
    }
    EXPECT_TRUE(CanWriteExclusively(path));

    // A classic POSIX lock of another process, even a read lock.
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const QByteArray name = Name(path);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open(name.constData(), O_RDONLY);
        struct flock lock {};
        lock.l_type = F_RDLCK;
        lock.l_whence = SEEK_SET;
        const char ok = (fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0) ? 'y' : 'n';
        (void)!::write(ready[1], &ok, 1);
        char c;
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, 'y');
    EXPECT_FALSE(CanWriteExclusively(path));
    (void)!::write(release[1], "x", 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        ::close(fd);
    EXPECT_TRUE(CanWriteExclusively(path));
}

// ---- atomic save --------------------------------------------------------------------

TEST_F(FileSafety, SaveFailsWhenTheLastBytesDoNotFitAndKeepsTheTarget)
{
    const QByteArray old(65536, 'o');
    const QString target = Write("out.bin", old);
    const QStringList before = Entries();
    const QByteArray data(65536, 'n');
    QString error;
    {
        TFileSizeLimit limit(60000);
        ASSERT_TRUE(limit.Active());
        error = StreamErrorOf(
            [&] { SaveFileAtomically(target, reinterpret_cast<const uint8_t*>(data.constData()), data.size()); });
    }
    EXPECT_EQ(error, QStringLiteral("Cannot write file \"%1\". File too large").arg(target));
    EXPECT_EQ(Read(target), old);
    EXPECT_EQ(Entries(), before);
}

TEST_F(FileSafety, SaveRefusesSpecialAndWriteProtectedTargets)
{
    const QByteArray data("new");
    auto save = [&](const QString& target) {
        return StreamErrorOf(
            [&] { SaveFileAtomically(target, reinterpret_cast<const uint8_t*>(data.constData()), data.size()); });
    };
    const QString fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(Name(fifo).constData(), 0600), 0);
    EXPECT_EQ(save(fifo), QStringLiteral("Cannot create file \"%1\". It is not a regular file").arg(fifo));
    struct stat st {};
    ASSERT_EQ(::lstat(Name(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    const QString locked = Write("locked.bin", "old");
    ASSERT_EQ(::chmod(Name(locked).constData(), 0444), 0);
    EXPECT_EQ(save(locked), QStringLiteral("Cannot create file \"%1\". The file is write-protected").arg(locked));
    EXPECT_EQ(Read(locked), "old");
    EXPECT_EQ(Entries(), QStringList({"locked.bin", "pipe"}));
}

TEST_F(FileSafety, SaveKeepsModeOwnerAndLinks)
{
    const QByteArray data("new content");
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
    const QString target = Write("mode.bin", "old");
    ASSERT_EQ(::chmod(Name(target).constData(), 0604), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(Name(target).constData(), 2001, 2002), 0);
    }
    SaveFileAtomically(target, bytes, data.size());
    struct stat st {};
    ASSERT_EQ(::stat(Name(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    if (root) {
        EXPECT_EQ(st.st_uid, 2001u);
        EXPECT_EQ(st.st_gid, 2002u);
    }
    EXPECT_EQ(Read(target), data);

    // A new file gets 0666 less the umask.
    const mode_t mask = ::umask(022);
    SaveFileAtomically(Path("new.bin"), bytes, data.size());
    ::umask(mask);
    ASSERT_EQ(::stat(Name(Path("new.bin")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);

    // Through a link (also one in another folder, and one that points
    // nowhere yet) the file it points to is written and the link stays.
    ASSERT_TRUE(QDir().mkdir(Path("sub")));
    const QString real = Write("sub/real.bin", "old");
    ASSERT_EQ(::symlink("sub/real.bin", Name(Path("rel-link")).constData()), 0);
    SaveFileAtomically(Path("rel-link"), bytes, data.size());
    EXPECT_TRUE(QFileInfo(Path("rel-link")).isSymLink());
    EXPECT_EQ(Read(real), data);
    ASSERT_EQ(::symlink("sub/later.bin", Name(Path("dangling")).constData()), 0);
    SaveFileAtomically(Path("dangling"), bytes, data.size());
    EXPECT_TRUE(QFileInfo(Path("dangling")).isSymLink());
    EXPECT_EQ(Read(Path("sub/later.bin")), data);
    EXPECT_EQ(QDir(Path("sub")).entryList(QDir::Files | QDir::Hidden), QStringList({"later.bin", "real.bin"}));
}
