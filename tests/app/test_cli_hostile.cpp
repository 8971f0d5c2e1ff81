// The command line under hostile conditions: a full disk, a file-size limit,
// special files, names that are not UTF-8, huge images, an output that is the
// input, and names that could forge output lines. Each runs the built program
// as a separate process.

#include "cli_run.h"
#include "test_folder.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef EDITBOOT_EXE
#error "EDITBOOT_EXE must name the built editboot program"
#endif

namespace {

using TResult = clitest::TRun;

TResult Editboot(const QStringList& args, const std::function<void()>& childSetup = {}, int timeoutMs = 60000)
{
    return clitest::RunProgram(QStringLiteral(EDITBOOT_EXE), args, childSetup, timeoutMs);
}

QByteArray Image(int size, int markerAt)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + (i >> 9)) & 0x7F);
    const char marker[4] = {'\xE3', '\x00', '\x00', '\x10'};
    for (int i = 0; i < 4; ++i)
        bytes[markerAt + i] = marker[i];
    return bytes;
}

QByteArray BootFile(char fill)
{
    return QByteArray(0x10000, fill);
}

class HostileCommandLine : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path(const QString& name) const { return dir.filePath(name); }
    QStringList Entries() const { return folder.Entries(QDir::Files | QDir::Hidden | QDir::System); }

    TTestFolder folder;
    QTemporaryDir& dir = folder.dir;
};

// ---- saves that do not fit -----------------------------------------------------

// Runs script with sh inside a mount namespace of its own, in which a 512 KiB
// tmpfs is mounted on mountPoint and made the working folder; the mount
// vanishes with the process. The script gets the program as $1 and the test
// folder as $2. Returns false with the reason when mounting is not permitted.
bool RunOnTmpfs(const QString& mountPoint, const QString& folder, const QString& script, TResult* result,
                std::string* whyNot)
{
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty()) {
        *whyNot = "the unshare program is not installed";
        return false;
    }
    const QString mount = QStringLiteral("mount -t tmpfs -o size=512k tmpfs \"$0\"");
    const TResult probe = clitest::RunProgram(unshare, {"--mount", "sh", "-c", mount, mountPoint});
    if (probe.exitCode != 0) {
        *whyNot = "mounting a tmpfs is not permitted here (" + probe.err.trimmed().toStdString() + ")";
        return false;
    }
    *result = clitest::RunProgram(unshare, {"--mount", "sh", "-c", mount + " && cd \"$0\" && " + script, mountPoint,
                            QStringLiteral(EDITBOOT_EXE), folder});
    return true;
}

TEST_F(HostileCommandLine, FullDiskFailsTheSaveAndKeepsTheTarget)
{
    // On a small tmpfs: old targets, then a filler that takes all the room but
    // 16 KiB (Extract writes 64 KiB) or 48 pages (Insert writes 200,000
    // bytes). The program reports the failure, each target keeps every old
    // byte and no temporary file stays.
    const QString mountPoint = Path("mnt");
    ASSERT_TRUE(QDir().mkdir(mountPoint));
    folder.Write("image.bin", Image(200000, 0x3000));
    folder.Write("boot.bin", BootFile('b'));
    const QString script = QStringLiteral(
        "head -c 65536 /dev/urandom > old.bin && cp old.bin \"$2/old.ref\" && "
        "head -c 200000 /dev/urandom > old2.bin && cp old2.bin \"$2/old2.ref\" && "
        "{ dd if=/dev/zero of=fill bs=4096 2>/dev/null; truncate -s -16384 fill; } && "
        "{ \"$1\" extract \"$2/image.bin\" old.bin > \"$2/extract.out\" 2>&1; echo $? > \"$2/extract.rc\"; } && "
        "cp old.bin \"$2/old.after\" && LC_ALL=C ls -A > \"$2/extract.ls\" && "
        "rm fill && { dd if=/dev/zero of=fill bs=4096 2>/dev/null; truncate -s -196608 fill; } && "
        "{ \"$1\" insert \"$2/image.bin\" \"$2/boot.bin\" old2.bin > \"$2/insert.out\" 2>&1; echo $? > \"$2/insert.rc\"; } && "
        "cp old2.bin \"$2/old2.after\" && LC_ALL=C ls -A > \"$2/insert.ls\"");
    TResult result;
    std::string whyNot;
    if (!RunOnTmpfs(mountPoint, dir.path(), script, &result, &whyNot))
        GTEST_SKIP() << whyNot;
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();

    const QByteArray extractOut = TTestFolder::Read(Path("extract.out"));
    EXPECT_EQ(TTestFolder::Read(Path("extract.rc")).trimmed(), "1") << extractOut.toStdString();
    EXPECT_TRUE(extractOut.contains("No space left on device")) << extractOut.toStdString();
    EXPECT_EQ(TTestFolder::Read(Path("old.after")), TTestFolder::Read(Path("old.ref")));
    EXPECT_EQ(TTestFolder::Read(Path("extract.ls")), "fill\nold.bin\nold2.bin\n");

    const QByteArray insertOut = TTestFolder::Read(Path("insert.out"));
    EXPECT_EQ(TTestFolder::Read(Path("insert.rc")).trimmed(), "1") << insertOut.toStdString();
    EXPECT_EQ(TTestFolder::Read(Path("old2.after")), TTestFolder::Read(Path("old2.ref")));
    EXPECT_EQ(TTestFolder::Read(Path("insert.ls")), "fill\nold.bin\nold2.bin\n");
}

TEST_F(HostileCommandLine, FileSizeLimitFailsTheSaveEvenWhenOnlyTheLastBytesDoNotFit)
{
    // Limits just below the file's size: only the last few KiB do not fit.
    const QString image = folder.Write("image.bin", Image(200000, 0x100));
    const QString boot = folder.Write("boot.bin", BootFile('q'));
    const QByteArray oldBlock(65536, 'o');
    const QByteArray oldImage(200000, 'i');
    const QString blockTarget = folder.Write("block.out", oldBlock);
    const QString imageTarget = folder.Write("image.out", oldImage);
    const QStringList before = Entries();

    auto limitTo = [](rlim_t bytes) {
        return [bytes] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{bytes, bytes};
            setrlimit(RLIMIT_FSIZE, &limit);
        };
    };
    const TResult extract = Editboot({"extract", image, blockTarget}, limitTo(60000));
    EXPECT_EQ(extract.exitCode, 1) << extract.out.toStdString();
    EXPECT_TRUE(extract.err.contains(blockTarget) && extract.err.contains("File too large")) << extract.err.toStdString();
    EXPECT_TRUE(extract.out.isEmpty()) << "no \"File Saved\" for a failed save";
    EXPECT_EQ(TTestFolder::Read(blockTarget), oldBlock);

    const TResult insert = Editboot({"insert", image, boot, imageTarget}, limitTo(196608));
    EXPECT_EQ(insert.exitCode, 1) << insert.out.toStdString();
    EXPECT_EQ(TTestFolder::Read(imageTarget), oldImage);
    EXPECT_EQ(Entries(), before) << "no temporary file may be left behind";
}

// ---- special files ---------------------------------------------------------------

TEST_F(HostileCommandLine, TargetsThatAreNotRegularFilesAreRefused)
{
    const QString image = folder.Write("image.bin", Image(70000, 0x10));
    const QString boot = folder.Write("boot.bin", BootFile('x'));
    const QString fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    // A link to a named pipe is no better.
    const QString link = Path("link-to-pipe");
    ASSERT_TRUE(QFile::link(fifo, link));

    for (const QStringList& args : {QStringList{"extract", image, fifo}, QStringList{"insert", image, boot, fifo},
                                    QStringList{"extract", image, link}}) {
        const TResult run = Editboot(args);
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("not a regular file")) << run.err.toStdString();
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the named pipe was replaced";
    }
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    // A link to a regular file is fine and stays a link.
    const QString real = folder.Write("real.bin", "old");
    const QString good = Path("link-to-real");
    ASSERT_TRUE(QFile::link(real, good));
    EXPECT_EQ(Editboot({"extract", image, good}).exitCode, 0);
    EXPECT_TRUE(QFileInfo(good).isSymLink());
    EXPECT_EQ(TTestFolder::Read(real), Image(70000, 0x10).mid(0x10, 0x10000));
}

TEST_F(HostileCommandLine, InputsThatAreNotRegularFilesAreRefusedBeforeAnyRead)
{
    const QString fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QString boot = folder.Write("boot.bin", BootFile('x'));
    const QString image = folder.Write("image.bin", Image(70000, 0x10));

    // A pipe without a writer would block a plain open for ever; /dev/zero
    // never ends. Each is refused at once.
    const QList<QStringList> commands = {
        {"crc32", fifo},
        {"info", fifo},
        {"extract", fifo, Path("out1")},
        {"insert", "/dev/zero", boot, Path("out2")},
        {"insert", image, "/dev/zero", Path("out3")},
        {"crc32", "/dev/zero"},
    };
    for (const QStringList& args : commands) {
        const TResult run = Editboot(args, {}, 20000);
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString() << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("not a regular file", Qt::CaseInsensitive)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }
    EXPECT_EQ(Entries(), QStringList({"boot.bin", "image.bin", "pipe"}));
}

// ---- permissions and ownership -------------------------------------------------------

TEST_F(HostileCommandLine, WriteProtectedTargetsAreRefusedAlsoForRoot)
{
    const QString image = folder.Write("image.bin", Image(70000, 0x10));
    const QString target = folder.Write("protected.bin", "keep");
    ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const TResult run = Editboot({"extract", image, target});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(target) && run.err.contains("write-protected")) << run.err.toStdString();
    EXPECT_EQ(TTestFolder::Read(target), "keep");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
}

TEST_F(HostileCommandLine, ReplacedTargetsKeepTheirModeAndOwner)
{
    const QString image = folder.Write("image.bin", Image(70000, 0x10));
    const QString target = folder.Write("kept.bin", "old");
    const QByteArray name = QFile::encodeName(target);
    ASSERT_EQ(::chmod(name.constData(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(name.constData(), 4321, 4322), 0);
    }

    const TResult run = Editboot({"extract", image, target});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    struct stat st {};
    ASSERT_EQ(::stat(name.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_size, 0x10000);
    if (!root)
        GTEST_SKIP() << "the owner can only be kept by root; mode checked";
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
}

// ---- names ------------------------------------------------------------------------

TEST_F(HostileCommandLine, NamesThatAreNotUtf8AreRefusedAndNoOtherFileIsTouched)
{
    const QString image = folder.Write("image.bin", Image(70000, 0x10));
    // The name a lossy conversion of "out\xFF" would give.
    const QString lookalike = folder.Write(QStringLiteral("out\uFFFD"), "someone else's file");
    const QString script = QStringLiteral(
        "exec \"$0\" extract \"$1\" \"$(printf 'out\\377')\"");
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral("sh"), {"-c", script, QStringLiteral(EDITBOOT_EXE), image});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(err.contains("not valid UTF-8")) << err.toStdString();
    EXPECT_EQ(TTestFolder::Read(lookalike), "someone else's file");
    EXPECT_EQ(Entries(), QStringList({"image.bin", QStringLiteral("out\uFFFD")}));

    // As an input, too: the name is refused rather than taken as another one.
    process.start(QStringLiteral("sh"), {"-c", "exec \"$0\" crc32 \"$(printf 'out\\377')\"",
                                         QStringLiteral(EDITBOOT_EXE)});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardOutput()).isEmpty());
}

TEST_F(HostileCommandLine, Crc32EscapesNamesThatWouldForgeLines)
{
    const QString odd = folder.Write("a\nFFFFFFFF  forged", "123456789");
    const QString slash = folder.Write("back\\slash", "123456789");
    const TResult run = Editboot({"crc32", odd, slash});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString dirText = QString(dir.path()).replace("\\", "\\\\");
    EXPECT_EQ(run.out, QStringLiteral("\\CBF43926  %1/a\\nFFFFFFFF  forged\n\\CBF43926  %1/back\\\\slash\n").arg(dirText));
}

// ---- huge images, self-overwrite ------------------------------------------------------

TEST_F(HostileCommandLine, ImagesBeyondTwoGibibytesAreRefusedByEveryImageCommand)
{
    // A sparse image of 2 GiB + 4 KiB whose only marker lies past 2 GiB - 1.
    const QString image = Path("huge.bin");
    {
        const int fd = ::open(QFile::encodeName(image).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const off_t at = (off_t(1) << 31) + 100;
        const unsigned char marker[4] = {0xE3, 0x00, 0x00, 0x10};
        const bool written = ::pwrite(fd, marker, 4, at) == 4 && ::ftruncate(fd, at + 4096) == 0;
        ::close(fd);
        if (!written)
            GTEST_SKIP() << "the test folder cannot hold a sparse 2 GiB file";
    }
    const QString boot = folder.Write("boot.bin", BootFile('z'));
    const TResult info = Editboot({"info", image});
    ASSERT_EQ(info.exitCode, 1);
    const QString expected = info.err.trimmed();
    ASSERT_TRUE(expected.contains("at most 2147483647 bytes")) << expected.toStdString();

    const TResult extract = Editboot({"extract", image, Path("block.out")});
    EXPECT_EQ(extract.exitCode, 1);
    EXPECT_EQ(extract.err.trimmed(), expected);
    const TResult insert = Editboot({"insert", image, boot, Path("image.out")});
    EXPECT_EQ(insert.exitCode, 1);
    EXPECT_EQ(insert.err.trimmed(), expected);
    EXPECT_FALSE(QFileInfo::exists(Path("block.out")));
    EXPECT_FALSE(QFileInfo::exists(Path("image.out")));
}

TEST_F(HostileCommandLine, ExtractOntoItsOwnImageIsRefusedInsertIsAllowed)
{
    const QByteArray bytes = Image(70000, 0x20);
    const QString image = folder.Write("image.bin", bytes);
    const QString hardLink = Path("same.bin");
    ASSERT_EQ(::link(QFile::encodeName(image).constData(), QFile::encodeName(hardLink).constData()), 0);
    for (const QString& output : {image, hardLink, QString(dir.path() + "/./image.bin")}) {
        const TResult run = Editboot({"extract", image, output});
        EXPECT_EQ(run.exitCode, 1) << output.toStdString();
        EXPECT_TRUE(run.err.contains("image itself")) << run.err.toStdString();
        EXPECT_EQ(TTestFolder::Read(image), bytes);
    }

    const QString boot = folder.Write("boot.bin", BootFile('n'));
    const TResult insert = Editboot({"insert", image, boot, image});
    EXPECT_EQ(insert.exitCode, 0) << insert.err.toStdString();
    QByteArray expected = bytes;
    expected.replace(0x20, 0x10000, BootFile('n'));
    EXPECT_EQ(TTestFolder::Read(image), expected);
}

} // namespace
