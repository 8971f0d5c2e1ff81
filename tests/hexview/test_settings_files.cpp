// The files hexview reads and writes besides documents: exported settings,
// PDF exports and its configuration file, at the desktop's edges (named
// pipes, devices, links, write-protected and huge files).

#include "window_fixture.h"

#include "hexview/core/configfile.h"
#include "hexview/core/viewoptions.h"
#include "hexview/printactions.h"
#include "hexview/settingsactions.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

using namespace hexview;

namespace {

QByteArray Name(const QString& path)
{
    return QFile::encodeName(path);
}

bool IsFifo(const QString& path)
{
    struct stat st {};
    return ::lstat(Name(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

class SettingsFilesTest : public HexViewWindowTest
{
protected:
    QString configPath() const { return TConfigFile::DefaultPath(); }
    void makeConfigFolder() const { ASSERT_TRUE(QDir().mkpath(QFileInfo(configPath()).absolutePath())); }
    void newWindow()
    {
        window = std::make_unique<HexViewWindow>();
        window->ErrorReporter = [this](const QString& text) { errors << text; };
        window->show(); // hidden again on its way out: the settings are stored then
        QCoreApplication::processEvents();
    }
};

} // namespace

TEST_F(SettingsFilesTest, ExportRefusesPipesAndWriteProtectedFilesAndKeepsLinks)
{
    const QString fifo = files.dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(Name(fifo).constData(), 0600), 0);
    EXPECT_FALSE(ExportSettings(*window, fifo));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("not a regular file")) << errors[0].toStdString();
    EXPECT_TRUE(IsFifo(fifo));

    const QString locked = files.Write("locked.txt", "old");
    ASSERT_EQ(::chmod(Name(locked).constData(), 0444), 0);
    EXPECT_FALSE(ExportSettings(*window, locked));
    EXPECT_EQ(TTestFolder::Read(locked), "old");
    struct stat st {};
    ASSERT_EQ(::stat(Name(locked).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);

    const QString real = files.Write("real.txt", "old");
    const QString link = files.dir.filePath("link.txt");
    ASSERT_EQ(::symlink("real.txt", Name(link).constData()), 0);
    EXPECT_TRUE(ExportSettings(*window, link));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(TTestFolder::Read(real).contains("BytesPerRow="));
}

TEST_F(SettingsFilesTest, ImportReadsOnlyBoundedRegularFilesAndNeverBlocks)
{
    const int bytesPerRow = Editor().BytesPerRow();
    const QString fifo = files.dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(Name(fifo).constData(), 0600), 0);
    EXPECT_FALSE(ImportSettings(*window, fifo)); // no writer: a blocking open would hang here
    EXPECT_FALSE(ImportSettings(*window, QStringLiteral("/dev/zero")));
    QByteArray huge = "BytesPerRow=8\r\n";
    huge += QByteArray(2 << 20, ' ');
    EXPECT_FALSE(ImportSettings(*window, files.Write("huge.txt", huge)));
    ASSERT_EQ(errors.size(), 3);
    EXPECT_TRUE(errors[0].contains("not a regular file")) << errors[0].toStdString();
    EXPECT_TRUE(errors[1].contains("not a regular file")) << errors[1].toStdString();
    EXPECT_TRUE(errors[2].contains("too large")) << errors[2].toStdString();
    EXPECT_EQ(Editor().BytesPerRow(), bytesPerRow);
}

TEST_F(SettingsFilesTest, APipeInPlaceOfTheConfigurationIsNeitherReadNorReplaced)
{
    window.reset();
    makeConfigFolder();
    QFile::remove(configPath());
    ASSERT_EQ(::mkfifo(Name(configPath()).constData(), 0600), 0);
    newWindow(); // would hang in a blocking open
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_TRUE(errors[0].contains("were not used")) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains("not a regular file")) << errors[0].toStdString();
    window->close();
    window.reset();
    EXPECT_TRUE(IsFifo(configPath()));
    EXPECT_TRUE(errors.last().contains("was not written")) << errors.last().toStdString();
}

TEST_F(SettingsFilesTest, TheConfigurationIsWrittenThroughLinksOnlyToRegularFiles)
{
    window.reset();
    makeConfigFolder();
    QFile::remove(configPath());
    // A link to a named pipe (or a device) is never written through.
    const QString fifo = files.dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(Name(fifo).constData(), 0600), 0);
    ASSERT_EQ(::symlink(Name(fifo).constData(), Name(configPath()).constData()), 0);
    newWindow();
    window.reset();
    EXPECT_TRUE(IsFifo(fifo));
    EXPECT_TRUE(QFileInfo(configPath()).isSymLink());

    // A link that points nowhere is not followed to create a file.
    QFile::remove(configPath());
    const QString nowhere = files.dir.filePath("later.conf");
    ASSERT_EQ(::symlink(Name(nowhere).constData(), Name(configPath()).constData()), 0);
    newWindow();
    window.reset();
    EXPECT_FALSE(QFileInfo::exists(nowhere));

    // A link to a regular file stays a link; the file gets the settings.
    QFile::remove(configPath());
    const QString real = files.Write("real.conf", "");
    ASSERT_EQ(::symlink(Name(real).constData(), Name(configPath()).constData()), 0);
    errors.clear();
    newWindow();
    Editor().SetBytesPerRow(12);
    window.reset();
    EXPECT_TRUE(QFileInfo(configPath()).isSymLink());
    EXPECT_TRUE(TTestFolder::Read(real).contains("BytesPerRow=12")) << TTestFolder::Read(real).left(200).toStdString();
    newWindow();
    EXPECT_EQ(Editor().BytesPerRow(), 12);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(SettingsFilesTest, AHugeConfigurationIsNotReadAndTheDefaultsApply)
{
    window.reset();
    makeConfigFolder();
    {
        QFile file(configPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Editor]\nSettings=BytesPerRow=8\n");
        file.write(QByteArray(MaxConfigFileSize, '#'));
    }
    newWindow();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("too large")) << errors[0].left(300).toStdString();
    EXPECT_EQ(Editor().BytesPerRow(), 16);
}

TEST_F(SettingsFilesTest, PdfExportGoesThroughTheSameRules)
{
    const QString fifo = files.dir.filePath("pipe.pdf");
    ASSERT_EQ(::mkfifo(Name(fifo).constData(), 0600), 0);
    EXPECT_FALSE(ExportPdf(*window, fifo));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("not a regular file")) << errors[0].toStdString();
    EXPECT_TRUE(IsFifo(fifo));

    const QString real = files.Write("real.pdf", "old");
    ASSERT_EQ(::chmod(Name(real).constData(), 0640), 0);
    const QString link = files.dir.filePath("link.pdf");
    ASSERT_EQ(::symlink("real.pdf", Name(link).constData()), 0);
    EXPECT_TRUE(ExportPdf(*window, link));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(TTestFolder::Read(real).startsWith("%PDF"));
    struct stat st {};
    ASSERT_EQ(::stat(Name(real).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(QDir(files.dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList({"link.pdf", "pipe.pdf", "real.pdf"}));
}

TEST(CommandLineNames, ArgumentsThatAreNotValidUtf8AreRefusedWithTheirNumber)
{
    const char* good[] = {"hexview", "--ruler", "caf\xc3\xa9.bin"};
    QStringList out;
    QString error;
    ASSERT_TRUE(DecodeArguments(3, good, &out, &error));
    EXPECT_EQ(out, QStringList({"hexview", "--ruler", QStringLiteral("caf\u00e9.bin")}));

    const char* bad[] = {"hexview", "--ruler", "caf\xe9.bin"};
    EXPECT_FALSE(DecodeArguments(3, bad, &out, &error));
    EXPECT_TRUE(error.startsWith("argument 2 is not valid UTF-8; such file names are not supported"))
        << error.toStdString();
}
