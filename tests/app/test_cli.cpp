// The command line, run as a separate process on the built program, with no
// display; plus the desktop files installed with it.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include "cli_run.h"
#include "test_folder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

#ifndef EDITBOOT_EXE
#error "EDITBOOT_EXE must name the built editboot program"
#endif

namespace {

using clitest::RunProgram;
using clitest::TRun;

// The source tree (set by the build).
QString SourceDir()
{
    return QStringLiteral(EDITBOOT_SOURCE_DIR);
}

TRun Editboot(const QStringList& args, const std::function<void()>& childSetup = {})
{
    return RunProgram(QStringLiteral(EDITBOOT_EXE), args, childSetup);
}

// Bitwise CRC-32 (IEEE 802.3), independent of the product's.
uint32_t ReferenceCrc32(const QByteArray& data)
{
    uint32_t reg = 0xFFFFFFFFu;
    for (char c : data) {
        reg ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 1) ? (reg >> 1) ^ 0xEDB88320u : reg >> 1;
    }
    return ~reg;
}

QByteArray ImageWithMarker(int size, int markerAt)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(((i >> 8) ^ i) & 0x7F);
    const char marker[4] = {'\xE3', '\x00', '\x00', '\x10'};
    for (int i = 0; i < 4; ++i)
        bytes[markerAt + i] = marker[i];
    return bytes;
}

QByteArray WithIds(QByteArray image, const QByteArray& id1, const QByteArray& id2)
{
    image.replace(32, id1.size(), id1);
    image.replace(48, id2.size(), id2);
    return image;
}

class CommandLineTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QStringList Entries() const { return folder.Entries(QDir::Files); }

    TTestFolder folder;
    QTemporaryDir& dir = folder.dir;
};

TEST_F(CommandLineTest, HelpAndVersion)
{
    const TRun help = Editboot({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith("Usage: editboot")) << help.out.toStdString();

    const TRun version = Editboot({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "editboot 1.0\n");
}

TEST_F(CommandLineTest, NoArgumentsWithoutADisplayExplainsInsteadOfAborting)
{
    const TRun run = Editboot({});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("editboot: no display found")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("--help"));
}

TEST_F(CommandLineTest, UsageMistakesExitWithTwoAndWriteNothing)
{
    const QString image = folder.Write("image.bin", ImageWithMarker(0x10000, 0));
    const QStringList before = Entries();
    const QList<QStringList> mistakes = {
        {"frobnicate"},
        {"info"},
        {"info", image, "extra"},
        {"extract", image},
        {"insert", image, image},
        {"crc32"},
        {"--helpme"},
    };
    for (const QStringList& args : mistakes) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const TRun run = Editboot(args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_TRUE(run.err.startsWith("editboot: ")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("--help"));
    }
    EXPECT_EQ(Entries(), before);
}

TEST_F(CommandLineTest, InfoReadsTheIdStringsAsTheWindowDoes)
{
    const QByteArray image = WithIds(ImageWithMarker(100, 60), QByteArray("ABCDEFGH\0JKLM", 13), "01234567890");
    const QString path = folder.Write("image.bin", image);
    const TRun run = Editboot({"info", path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    const QString crc = QStringLiteral("%1").arg(ReferenceCrc32(image), 6, 16, QLatin1Char('0')).toUpper();
    EXPECT_EQ(run.out, QStringLiteral("Path: %1\nFile name: image.bin\nID 1: ABCDEFGH\nID 2: 01234567890\nCRC-32: %2\n")
                           .arg(path, crc));
}

TEST_F(CommandLineTest, InfoOnShortOrMissingImagesGivesTheWindowsErrors)
{
    struct TCase
    {
        int size;
        const char* text;
    };
    for (const TCase& c : {TCase{0, "Invalid selection start."}, TCase{40, "Invalid selection end."},
                           TCase{47, "Invalid selection start."}, TCase{50, "Invalid selection end."}}) {
        SCOPED_TRACE(c.size);
        const TRun run = Editboot({"info", folder.Write(QStringLiteral("short%1.bin").arg(c.size), QByteArray(c.size, 'A'))});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_EQ(run.err, QStringLiteral("editboot: %1\n").arg(QLatin1String(c.text)));
    }
    const QString missing = dir.filePath("missing.bin");
    const TRun run = Editboot({"info", missing});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("editboot: Cannot open %1.\n(").arg(missing))) << run.err.toStdString();
}

TEST_F(CommandLineTest, ExtractWritesTheBlockToExactlyTheNamedFile)
{
    const QByteArray image = ImageWithMarker(0x2000 + 0x10000 + 16, 0x2000);
    const QString path = folder.Write("image.bin", image);
    const QString boot = dir.filePath("boot.img");
    const TRun run = Editboot({"extract", path, boot});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(TTestFolder::Read(boot), image.mid(0x2000, 0x10000));
    EXPECT_FALSE(QFileInfo::exists(boot + ".bin"));
    EXPECT_TRUE(run.out.contains(boot));
}

TEST_F(CommandLineTest, InsertWritesTheModifiedImageAndRefusesWrongBootFiles)
{
    const QByteArray image = ImageWithMarker(0x10000 + 0x300, 0x200);
    const QString path = folder.Write("image.bin", image);
    QByteArray boot(0x10000, '\0');
    for (int i = 0; i < boot.size(); ++i)
        boot[i] = static_cast<char>(0x80 | (i % 127));
    const QString bootPath = folder.Write("boot.bin", boot);
    const QString output = dir.filePath("patched");

    const TRun run = Editboot({"insert", path, bootPath, output});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QByteArray expected = image;
    expected.replace(0x200, 0x10000, boot); // runs past the end: the image grows
    EXPECT_EQ(TTestFolder::Read(output), expected);
    EXPECT_EQ(TTestFolder::Read(path), image);

    const QString existing = folder.Write("existing.bin", "keep me");
    for (int size : {1024, 0x10000 + 1}) {
        SCOPED_TRACE(size);
        const TRun wrong = Editboot({"insert", path, folder.Write("wrong.bin", QByteArray(size, 'x')), existing});
        EXPECT_EQ(wrong.exitCode, 1);
        EXPECT_EQ(wrong.err, "editboot: Error boot file!\n");
        EXPECT_EQ(TTestFolder::Read(existing), "keep me");
    }
}

TEST_F(CommandLineTest, Crc32PrintsEightDigitsPerFileAndReportsUnreadableOnes)
{
    const QByteArray a("123456789");
    const QString pa = folder.Write("a.bin", a);
    const QString empty = folder.Write("empty.bin", QByteArray());
    const QString missing = dir.filePath("missing.bin");
    const TRun run = Editboot({"crc32", pa, missing, empty, dir.path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QStringLiteral("CBF43926  %1\n00000000  %2\n").arg(pa, empty));
    const QStringList errors = run.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(errors.size(), 2) << run.err.toStdString();
    EXPECT_TRUE(errors[0].startsWith("editboot: ") && errors[0].contains(missing));
    EXPECT_TRUE(errors[1].startsWith("editboot: ") && errors[1].contains(dir.path()));
}

TEST_F(CommandLineTest, FailedWriteLeavesTheTargetAsItWas)
{
    const QString path = folder.Write("image.bin", ImageWithMarker(0x10100, 0x10));
    const QString target = folder.Write("boot.out", "old content");
    const QStringList before = Entries();
    // In the child only: files may not grow past 4 KiB, as on a full disk.
    const TRun run = Editboot({"extract", path, target}, [] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(target)) << run.err.toStdString();
    EXPECT_EQ(TTestFolder::Read(target), "old content");
    EXPECT_EQ(Entries(), before) << "no temporary file may be left behind";
}

TEST_F(CommandLineTest, RunScriptWithoutADisplayExplainsAndShowsTheHelp)
{
    const QString buildDir = QFileInfo(QStringLiteral(EDITBOOT_EXE)).absoluteDir().absoluteFilePath("..");
    const TRun run = RunProgram(QStringLiteral("bash"), {SourceDir() + "/scripts/run.sh", buildDir});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n');
    ASSERT_GT(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("No display")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("Usage: editboot")) << lines[1].toStdString();
}

TEST(DesktopFiles, MetainfoValidatesAndNamesTheDesktopEntry)
{
    const QString resources = SourceDir() + "/app/resources/";
    const QString id = QStringLiteral("org.editboot.EditBoot");
    QFile desktop(resources + id + ".desktop");
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(desktop.readAll());
    EXPECT_TRUE(entry.contains("\nExec=editboot\n") && entry.contains("\nIcon=" + id + "\n")) << entry.toStdString();
    QFile meta(resources + id + ".metainfo.xml");
    ASSERT_TRUE(meta.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(meta.readAll()).contains("<launchable type=\"desktop-id\">" + id + ".desktop<"));

    const QString appstreamcli = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (appstreamcli.isEmpty())
        GTEST_SKIP() << "appstreamcli is not installed";
    const TRun run = RunProgram(appstreamcli, {"validate", "--no-net", meta.fileName()});
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
}

} // namespace
