// The editor's settings: export and import files, kept between runs.

#include "window_fixture.h"

#include "hexview/settingsactions.h"

#include <QSettings>

using namespace hexview;

TEST_F(HexViewWindowTest, SettingsExportAndImportThroughFiles)
{
    Editor().SetSettingsText("BytesPerRow=8\nPrintOptions.PageHeader=Head\n");
    const QString path = files.dir.filePath("settings.txt");
    ASSERT_TRUE(ExportSettings(*window, path));
    EXPECT_TRUE(TTestFolder::Read(path).contains("BytesPerRow=8\r\nBytesPerColumn="));

    Editor().SetSettingsText("BytesPerRow=16\nPrintOptions.PageHeader=\n");
    ASSERT_TRUE(ImportSettings(*window, path));
    EXPECT_EQ(Editor().BytesPerRow(), 8);
    EXPECT_EQ(Editor().PrintOptions()->PageHeader(), "Head");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(HexViewWindowTest, ABadSettingsFileIsReportedAfterApplyingTheLinesBeforeIt)
{
    const QString path = files.Write("bad.txt", "ShowRuler=True\r\nBytesPerUnit=3\r\nHexLowerCase=True\r\n");
    EXPECT_FALSE(ImportSettings(*window, path));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], "Invalid bytes per unit value 3, allowed: 1,2,4,8.");
    EXPECT_TRUE(Editor().ShowRuler());
    EXPECT_FALSE(Editor().HexLowerCase());
    EXPECT_FALSE(ImportSettings(*window, files.dir.filePath("missing.txt")));
    EXPECT_EQ(errors.size(), 2);
}

TEST_F(HexViewWindowTest, SettingsAreKeptBetweenRuns)
{
    Editor().SetSettingsText("BytesPerRow=12\nFont.Size=15\nCreateBackup=False\n");
    window->close();
    window = std::make_unique<HexViewWindow>();
    window->ErrorReporter = [this](const QString& text) { errors << text; };
    QCoreApplication::processEvents();
    EXPECT_EQ(Editor().BytesPerRow(), 12);
    EXPECT_EQ(Editor().font().pointSize(), 15);
    EXPECT_FALSE(Editor().CreateBackup());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(HexViewWindowTest, MalformedStoredSettingsAreReportedOnceAndTheDefaultsApply)
{
    const QString defaults = Editor().GetSettingsText();
    {
        QSettings settings;
        settings.setValue("Editor/Settings", "BytesPerRow=7\nTranslation=tkNowhere\n");
    }
    window = std::make_unique<HexViewWindow>();
    window->ErrorReporter = [this](const QString& text) { errors << text; };
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("tkNowhere")) << errors[0].toStdString();
    EXPECT_EQ(Editor().GetSettingsText(), defaults);
    EXPECT_EQ(Editor().BytesPerRow(), 16);
}
