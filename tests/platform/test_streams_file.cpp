// File streams: open modes, share modes as locks, write protection, errors.

#include "platform/core/streams.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class FileStreamTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }
    static QByteArray read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    static int openError(const QString& path, TFileMode mode, TShareMode share)
    {
        int error = -1;
        std::unique_ptr<TFileStream> s(TFileStream::TryOpen(path, mode, share, &error));
        return s ? 0 : error;
    }
};

} // namespace

TEST_F(FileStreamTest, ModesGiveTheirAccess)
{
    const QString path = dir.filePath("f.bin");
    {
        TFileStream s(path, TFileMode::fmCreate);
        s.WriteBuffer("hello world", 11);
        EXPECT_EQ(s.Size(), 11);
        EXPECT_EQ(s.Seek(-5, TSeekOrigin::soEnd), 6);
        char buf[5];
        s.ReadBuffer(buf, 5);
        EXPECT_EQ(QByteArray(buf, 5), "world");
        s.SetSize(5);
        EXPECT_EQ(s.Position(), 5) << "position follows the end inwards";
        EXPECT_EQ(s.Read(buf, 5), 0);
    }
    EXPECT_EQ(read(path), "hello");

    {
        TFileStream s(path, TFileMode::fmOpenRead);
        char buf[16];
        EXPECT_EQ(s.Read(buf, 16), 5) << "a large request returns what there is";
        EXPECT_THROW(s.WriteBuffer("x", 1), EWriteError);
        EXPECT_THROW(s.Seek(-1, TSeekOrigin::soBeginning), EStreamError);
    }
    {
        TFileStream s(path, TFileMode::fmOpenWrite);
        char buf[1];
        EXPECT_THROW(s.Read(buf, 1), EReadError);
        s.Seek(0, TSeekOrigin::soEnd);
        s.WriteBuffer("!", 1);
    }
    {
        TFileStream s(path, TFileMode::fmOpenReadWrite);
        s.WriteBuffer("J", 1);
        char buf[5];
        s.ReadBuffer(buf, 5);
        EXPECT_EQ(QByteArray(buf, 5), "ello!");
    }
    EXPECT_EQ(read(path), "Jello!");

    { TFileStream truncating(path, TFileMode::fmCreate); }
    EXPECT_EQ(read(path), "");
}

TEST_F(FileStreamTest, OpenErrorsNameThePathAndTheReason)
{
    const QString missing = dir.filePath("none.bin");
    try {
        TFileStream s(missing, TFileMode::fmOpenRead);
        FAIL() << "no error";
    } catch (const EFileOpenError& e) {
        EXPECT_EQ(e.Message(), QString("Cannot open file \"%1\". No such file or directory").arg(missing));
    }
    const QString nowhere = dir.filePath("no/such/dir.bin");
    try {
        TFileStream s(nowhere, TFileMode::fmCreate);
        FAIL() << "no error";
    } catch (const EFileOpenError& e) {
        EXPECT_EQ(e.Message(), QString("Cannot create file \"%1\". No such file or directory").arg(nowhere));
    }
    // Placeholders in the path are not expanded twice.
    const QString odd = dir.filePath("%1 %2.bin");
    try {
        TFileStream s(odd, TFileMode::fmOpenRead);
        FAIL() << "no error";
    } catch (const EFileOpenError& e) {
        EXPECT_TRUE(e.Message().contains(odd)) << e.Message().toStdString();
    }

    int error = 0;
    EXPECT_EQ(TFileStream::TryOpen(missing, TFileMode::fmOpenRead, TShareMode::fmShareDenyNone, &error), nullptr);
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(openError(dir.path(), TFileMode::fmOpenRead, TShareMode::fmShareDenyNone), EISDIR);
    EXPECT_EQ(openError(QString(), TFileMode::fmOpenRead, TShareMode::fmShareDenyNone), ENOENT);
}

TEST_F(FileStreamTest, WriteProtectedFileOpensForReadingOnly)
{
    const QString path = write("ro.bin", "protected");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);

    EXPECT_EQ(openError(path, TFileMode::fmOpenRead, TShareMode::fmShareDenyNone), 0);
    EXPECT_EQ(openError(path, TFileMode::fmOpenRead, TShareMode::fmShareExclusive), 0);
    // Also when running with the privilege to ignore permission bits.
    EXPECT_EQ(openError(path, TFileMode::fmOpenReadWrite, TShareMode::fmShareExclusive), EACCES);
    EXPECT_EQ(openError(path, TFileMode::fmOpenWrite, TShareMode::fmShareDenyNone), EACCES);
    EXPECT_EQ(openError(path, TFileMode::fmCreate, TShareMode::fmShareDenyNone), EACCES);
    EXPECT_EQ(read(path), "protected");
}

TEST_F(FileStreamTest, ExclusiveHolderKeepsOthersOutButReadersIn)
{
    const QString path = write("held.bin", "content");
    {
        TFileStream holder(path, TFileMode::fmOpenReadWrite, TShareMode::fmShareExclusive);
        EXPECT_EQ(openError(path, TFileMode::fmOpenReadWrite, TShareMode::fmShareExclusive), EBUSY);
        EXPECT_EQ(openError(path, TFileMode::fmOpenRead, TShareMode::fmShareExclusive), EBUSY);
        EXPECT_EQ(openError(path, TFileMode::fmOpenRead, TShareMode::fmShareDenyWrite), EBUSY);
        EXPECT_EQ(openError(path, TFileMode::fmOpenWrite, TShareMode::fmShareDenyNone), EBUSY);
        EXPECT_EQ(openError(path, TFileMode::fmCreate, TShareMode::fmShareDenyNone), EBUSY);
        EXPECT_EQ(read(path), "content") << "a refused create must not truncate";

        TFileStream reader(path, TFileMode::fmOpenRead, TShareMode::fmShareDenyNone);
        char buf[7];
        reader.ReadBuffer(buf, 7);
        EXPECT_EQ(QByteArray(buf, 7), "content");
    }
    EXPECT_EQ(openError(path, TFileMode::fmOpenReadWrite, TShareMode::fmShareExclusive), 0) << "released on close";
}

TEST_F(FileStreamTest, AnyOtherOpenKeepsExclusiveAccessAway)
{
    const QString path = write("shared.bin", "x");
    {
        // Another user of the file, writing while allowing everything.
        TFileStream writer(path, TFileMode::fmOpenWrite, TShareMode::fmShareDenyNone);
        EXPECT_EQ(openError(path, TFileMode::fmOpenReadWrite, TShareMode::fmShareExclusive), EBUSY);
        EXPECT_EQ(openError(path, TFileMode::fmOpenRead, TShareMode::fmShareDenyWrite), 0);
        EXPECT_EQ(openError(path, TFileMode::fmOpenRead, TShareMode::fmShareDenyNone), 0);
    }
    EXPECT_EQ(openError(path, TFileMode::fmOpenReadWrite, TShareMode::fmShareExclusive), 0);
}

TEST_F(FileStreamTest, LocksOfOtherProcessesCount)
{
    const QString path = write("proc.bin", "x");
    const QByteArray name = QFile::encodeName(path);
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Only system calls here: the child of a threaded process.
        const int fd = ::open(name.constData(), O_RDONLY);
        const char ok = (fd >= 0 && ::flock(fd, LOCK_EX) == 0) ? '1' : '0';
        (void)!::write(ready[1], &ok, 1);
        char c;
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');
    EXPECT_EQ(openError(path, TFileMode::fmOpenReadWrite, TShareMode::fmShareExclusive), EBUSY);
    EXPECT_EQ(openError(path, TFileMode::fmOpenRead, TShareMode::fmShareDenyNone), 0);
    (void)!::write(release[1], "x", 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        ::close(fd);
    EXPECT_EQ(openError(path, TFileMode::fmOpenReadWrite, TShareMode::fmShareExclusive), 0);
}

TEST_F(FileStreamTest, SystemWriteErrorsAreRaisedWithTheReason)
{
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    TFileStream full("/dev/full", TFileMode::fmOpenWrite);
    try {
        full.Write("abc", 3);
        FAIL() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "Stream write error. No space left on device");
    }
}
