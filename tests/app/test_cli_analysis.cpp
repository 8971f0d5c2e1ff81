// The command line's "sum" and "info --json", run as a separate process on
// the built program without a display.

#include "cli_run.h"
#include "test_folder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <gtest/gtest.h>

#ifndef EDITBOOT_EXE
#error "EDITBOOT_EXE must name the built editboot program"
#endif

namespace {

using TAnalysisRun = clitest::TRun;

TAnalysisRun Editboot(const QStringList& args)
{
    return clitest::RunProgram(QStringLiteral(EDITBOOT_EXE), args);
}

QByteArray Firmware(int size, int markerAt)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = char(i * 13 + (i >> 8));
    data.replace(32, 13, "ZELQ-BOOT-1.2");
    data.replace(48, 11, QByteArray("2024\0XYZ123", 11));
    data.replace(markerAt, 4, QByteArray("\xE3\x00\x00\x10", 4));
    return data;
}

} // namespace

TEST(CommandLineSum, EveryAlgorithmInSha256sumsFormat)
{
    TTestFolder folder;
    const QString a = folder.Write("a.bin", QByteArray("123456789"));
    struct TCase
    {
        const char* algo;
        const char* hex;
    } cases[] = {
        {"crc32", "cbf43926"},
        {"adler32", "091e01de"},
        {"md5", "25f9e794323b453885f5181f1b624d0b"},
        {"sha1", "f7c3bc1d808e04732adf679965ccc34ca7ae3441"},
        {"sha256", "15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225"},
        {"sha512", "d9e6762dd1c8eaf6d61b3c6192fc408d4d6d5f1176d0c29169bc24e71c3f274a"
                   "d27fcd5811b313d681f7e55ec02d73d499c95455b6b5bb503acf574fba8ffe85"},
    };
    for (const TCase& c : cases) {
        const TAnalysisRun run = Editboot({"sum", "--algo", c.algo, a});
        EXPECT_EQ(run.exitCode, 0) << c.algo << " " << run.err.toStdString();
        EXPECT_EQ(run.out, QStringLiteral("%1  %2\n").arg(QLatin1String(c.hex), a)) << c.algo;
    }
    // --algo=NAME, any case; sha256 without --algo.
    EXPECT_EQ(Editboot({"sum", "--algo=MD5", a}).out, QStringLiteral("25f9e794323b453885f5181f1b624d0b  %1\n").arg(a));
    EXPECT_TRUE(Editboot({"sum", a}).out.startsWith(QLatin1String("15e2b0d3")));
}

TEST(CommandLineSum, MatchesSha256sumOnSeveralFiles)
{
    const QString sha256sum = QStandardPaths::findExecutable(QStringLiteral("sha256sum"));
    if (sha256sum.isEmpty())
        GTEST_SKIP() << "sha256sum is not installed";
    TTestFolder folder;
    QByteArray big(3 * 1024 * 1024 + 5, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = char((i * 2654435761u) >> 13);
    const QStringList files = {folder.Write("big.bin", big), folder.Write("empty.bin", QByteArray()),
                               folder.Write("back\\slash.bin", QByteArray("x"))};
    const TAnalysisRun ours = Editboot(QStringList{"sum", "--algo", "sha256"} + files);
    const TAnalysisRun theirs = clitest::RunProgram(sha256sum, files);
    EXPECT_EQ(ours.exitCode, 0) << ours.err.toStdString();
    ASSERT_EQ(theirs.exitCode, 0);
    EXPECT_EQ(ours.out, theirs.out);
}

TEST(CommandLineSum, UnreadableFilesAndUsageMistakes)
{
    TTestFolder folder;
    const QString a = folder.Write("a.bin", QByteArray("abc"));
    const QString missing = folder.dir.filePath("missing.bin");
    const TAnalysisRun run = Editboot({"sum", "--algo", "sha1", missing, a});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d  %1\n").arg(a));
    EXPECT_TRUE(run.err.contains(QLatin1String("missing.bin"))) << run.err.toStdString();

    for (const QStringList& args : {QStringList{"sum"}, QStringList{"sum", "--algo", "sha3", a},
                                    QStringList{"sum", "--algo"}, QStringList{"sum", "--algo", "md5"},
                                    QStringList{"sum", "--algorithm", "md5", a}, QStringList{"sum", a, "--sha1"}}) {
        const TAnalysisRun bad = Editboot(args);
        EXPECT_EQ(bad.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(bad.out.isEmpty());
        EXPECT_TRUE(bad.err.contains(QLatin1String("Try 'editboot --help'"))) << bad.err.toStdString();
    }
    // The misspelt option is named, not mistaken for --algo.
    EXPECT_TRUE(Editboot({"sum", "--algorithm", "md5", a}).err.contains(QLatin1String("unknown option '--algorithm'")));
    // After "--" a name starting with dashes is a file.
    folder.Write("--odd.bin", QByteArray("abc"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.dir.path());
    const TAnalysisRun odd = Editboot({"sum", "--algo=sha1", "--", "--odd.bin"});
    QDir::setCurrent(previous);
    EXPECT_EQ(odd.exitCode, 0) << odd.err.toStdString();
    EXPECT_EQ(odd.out, QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d  --odd.bin\n"));
    // A folder is not a file.
    EXPECT_EQ(Editboot({"sum", folder.dir.path()}).exitCode, 1);
}

TEST(CommandLineInfoJson, GivesMarkerBlockIdsAndChecksums)
{
    TTestFolder folder;
    const QByteArray image = Firmware(0x30000, 0x8000);
    const QString path = folder.Write("fw.bin", image);
    const TAnalysisRun run = Editboot({"info", "--json", path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    EXPECT_EQ(json["size"].toInt(), 0x30000);
    EXPECT_TRUE(json["marker_found"].toBool());
    EXPECT_EQ(json["marker_offset"].toInt(), 0x8000);
    const QJsonObject block = json["boot_block"].toObject();
    EXPECT_EQ(block["first"].toInt(), 0x8000);
    EXPECT_EQ(block["last"].toInt(), 0x17FFF);
    EXPECT_EQ(block["length"].toInt(), 0x10000);
    const QJsonObject id1 = json["id1"].toObject(), id2 = json["id2"].toObject();
    EXPECT_EQ(id1["text"].toString(), QStringLiteral("ZELQ-BOOT-1.2"));
    EXPECT_EQ(id1["first"].toInt(), 32);
    EXPECT_EQ(id1["last"].toInt(), 44);
    EXPECT_EQ(id2["text"].toString(), QStringLiteral("2024")); // a zero byte ends it
    EXPECT_EQ(id2["hex"].toString(), QStringLiteral("323032340058595a313233"));
    EXPECT_EQ(id2["first"].toInt(), 48);

    // The checksums agree with "crc32" on the image and on the extracted block.
    const QString bootPath = folder.dir.filePath("boot.bin");
    ASSERT_EQ(Editboot({"extract", path, bootPath}).exitCode, 0);
    const TAnalysisRun crcs = Editboot({"crc32", path, bootPath});
    const QStringList lines = crcs.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(json["crc32"].toString(), lines[0].left(8));
    EXPECT_EQ(block["crc32"].toString(), lines[1].left(8));
    EXPECT_NE(json["crc32"].toString(), block["crc32"].toString());
}

TEST(CommandLineInfoJson, NoMarkerShortImagesAndPlainInfoUnchanged)
{
    TTestFolder folder;
    QByteArray image = Firmware(0x100, 0);
    image[0] = '\x00'; // no marker anywhere
    const QString path = folder.Write("nomarker.bin", image);
    const QJsonObject json = QJsonDocument::fromJson(Editboot({"info", "--json", path}).out.toUtf8()).object();
    EXPECT_FALSE(json["marker_found"].toBool());
    EXPECT_EQ(json["marker_offset"].toInt(), 0);
    EXPECT_EQ(json["boot_block"].toObject()["last"].toInt(), 0xFF); // cut to the image
    EXPECT_EQ(json["boot_block"].toObject()["crc32"].toString(), json["crc32"].toString());

    const TAnalysisRun shortRun = Editboot({"info", "--json", folder.Write("short.bin", QByteArray(40, 'A'))});
    EXPECT_EQ(shortRun.exitCode, 1);
    EXPECT_TRUE(shortRun.out.isEmpty());
    EXPECT_EQ(shortRun.err, QStringLiteral("editboot: Invalid selection end.\n"));

    EXPECT_EQ(Editboot({"info", "--json"}).exitCode, 2);
    const TAnalysisRun plain = Editboot({"info", path});
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_TRUE(plain.out.startsWith(QLatin1String("Path: "))) << plain.out.toStdString();
}
