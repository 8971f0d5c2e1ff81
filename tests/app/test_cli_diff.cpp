// "editboot diff", run as a separate process on the built program.

#include "cli_run.h"
#include "test_folder.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef EDITBOOT_EXE
#error "EDITBOOT_EXE must name the built editboot program"
#endif

namespace {

using TDiffRun = clitest::TRun;

TDiffRun Diff(const QStringList& files)
{
    return clitest::RunProgram(QStringLiteral(EDITBOOT_EXE), QStringList{QStringLiteral("diff")} + files);
}

QByteArray Pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 31) ^ (i >> 9));
    return bytes;
}

class DiffCommand : public ::testing::Test
{
protected:
    TTestFolder folder;
};

} // namespace

TEST_F(DiffCommand, EqualFilesPrintNothingAndExitZero)
{
    const QString a = folder.Write("a.bin", Pattern(5000));
    const QString b = folder.Write("b.bin", Pattern(5000));
    const QString e1 = folder.Write("e1.bin", {});
    const QString e2 = folder.Write("e2.bin", {});
    for (const QStringList& pair : {QStringList{a, b}, QStringList{e1, e2}, QStringList{a, a}}) {
        const TDiffRun run = Diff(pair);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, QString());
        EXPECT_EQ(run.err, QString());
    }
}

TEST_F(DiffCommand, PrintsEachRangeAsHexOffsetAndDecimalLengthAndExitsOne)
{
    // Two megabytes and a bit: the files are read in chunks, and a range that
    // crosses a chunk border must come out as one line.
    const int size = (2 << 20) + 100;
    const QByteArray original = Pattern(size);
    QByteArray patched = original;
    patched[0] = char(~patched[0]);
    for (int i = 0x1A; i < 0x1A + 3; ++i)
        patched[i] = char(~patched[i]);
    for (int i = (1 << 20) - 2; i < (1 << 20) + 3; ++i) // 5 bytes over the border
        patched[i] = char(~patched[i]);
    patched[size - 1] = char(~patched[size - 1]);
    const QString a = folder.Write("a.bin", original);
    const QString b = folder.Write("b.bin", patched);

    const TDiffRun run = Diff({a, b});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_EQ(run.err, QString());
    EXPECT_EQ(run.out, QStringLiteral("00000000 1\n"
                                      "0000001A 3\n"
                                      "000FFFFE 5\n"
                                      "%1 1\n")
                           .arg(size - 1, 8, 16, QLatin1Char('0'))
                           .toUpper());
}

TEST_F(DiffCommand, TheLongerFilesRestIsOneRangeJoinedToADifferenceBeforeIt)
{
    const QByteArray base = Pattern(300);
    QByteArray longer = base + QByteArray(700, 'x');
    const QString a = folder.Write("a.bin", base);
    const QString b = folder.Write("b.bin", longer);
    TDiffRun run = Diff({a, b});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QStringLiteral("0000012C 700\n"));
    // Either order; and the last common byte differing joins the rest.
    longer[299] = char(~longer[299]);
    folder.Write("b.bin", longer);
    run = Diff({b, a});
    EXPECT_EQ(run.out, QStringLiteral("0000012B 701\n"));
    // An empty file against a full one.
    const QString empty = folder.Write("empty.bin", {});
    run = Diff({empty, a});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QStringLiteral("00000000 300\n"));
}

TEST_F(DiffCommand, ErrorsAndUsageMistakesExitTwoWithoutOutput)
{
    const QString a = folder.Write("a.bin", Pattern(100));
    const QString fifo = folder.dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    struct TCase
    {
        QStringList args;
        QString errorPart;
    };
    const QList<TCase> cases = {
        {{a, folder.dir.filePath("missing.bin")}, "missing.bin"},
        {{folder.dir.filePath("missing.bin"), a}, "missing.bin"},
        {{a, fifo}, "not a regular file"},
        {{"/dev/zero", a}, "not a regular file"},
        {{a, folder.dir.path()}, "is a directory"},
        {{a}, "--help"},
        {{a, a, a}, "--help"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const TDiffRun run = Diff(c.args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, QString());
        EXPECT_TRUE(run.err.startsWith("editboot: ")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.errorPart, Qt::CaseInsensitive)) << run.err.toStdString();
    }
}

TEST_F(DiffCommand, FilesBeyondTheEditorsLimitAreRefusedAsByTheOtherCommands)
{
    // A sparse file of 2 GiB: one byte more than a document can hold.
    const QString huge = folder.dir.filePath("huge.bin");
    const int fd = ::open(QFile::encodeName(huge).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    const bool sized = ::ftruncate(fd, off_t(1) << 31) == 0;
    ::close(fd);
    if (!sized)
        GTEST_SKIP() << "the test folder cannot hold a sparse 2 GiB file";
    const QString small = folder.Write("small.bin", Pattern(10));
    for (const QStringList& pair : {QStringList{huge, small}, QStringList{small, huge}}) {
        const TDiffRun run = Diff(pair);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, QString());
        EXPECT_TRUE(run.err.contains("at most 2147483647 bytes")) << run.err.toStdString();
    }
}

TEST_F(DiffCommand, HelpDescribesTheCommandAndItsExitStatus)
{
    QProcess process;
    process.start(QStringLiteral(EDITBOOT_EXE), {QStringLiteral("--help")});
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString help = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_TRUE(help.contains("diff FILE1 FILE2")) << help.toStdString();
    EXPECT_TRUE(help.contains("0000001A 3"));
    EXPECT_TRUE(help.contains("1 when they differ"));
}
