// The status bar's texts and the recent-files list.

#include "hexview/core/recentfiles.h"
#include "hexview/core/statustexts.h"

#include "app/test_folder.h"

#include <gtest/gtest.h>

using namespace hexview;

TEST(StatusTexts, AllFieldsOfADocument)
{
    TStatusValues v;
    v.CaretOffset = 31;
    v.SelFirst = 16;
    v.SelLast = 19;
    v.InCharField = true;
    v.InsertMode = true;
    v.Access = TAccessState::Writable;
    v.DataSize = 1234567;
    const TStatusTexts t = MakeStatusTexts(v);
    EXPECT_EQ(t.Offset, "Offset 0x1F (31)");
    EXPECT_EQ(t.Selection, "Sel 0x10 (16), length 4");
    EXPECT_EQ(t.Field, "Char");
    EXPECT_EQ(t.Mode, "INS");
    EXPECT_EQ(t.Access, "Writable");
    EXPECT_EQ(t.Size, "Size 1,234,567 bytes");
}

TEST(StatusTexts, TheAccessFieldSaysWhyEditingOrSavingIsLimited)
{
    TStatusValues v;
    v.Access = TAccessState::ViewOnly;
    EXPECT_EQ(MakeStatusTexts(v).Access, "View only");
    v.Access = TAccessState::FileWriteProtected;
    EXPECT_EQ(MakeStatusTexts(v).Access, "File write-protected");
    v.Access = TAccessState::NoFile;
    EXPECT_EQ(MakeStatusTexts(v).Access, "");
}

TEST(StatusTexts, EmptyDocumentAndNoSelection)
{
    const TStatusTexts t = MakeStatusTexts(TStatusValues{});
    EXPECT_EQ(t.Offset, "Offset -");
    EXPECT_EQ(t.Selection, "No selection");
    EXPECT_EQ(t.Field, "Hex");
    EXPECT_EQ(t.Mode, "OVR");
    EXPECT_EQ(t.Access, ""); // a document without a file says nothing
    EXPECT_EQ(t.Size, "Size 0 bytes");
    // The largest position and a one-byte selection.
    TStatusValues v;
    v.CaretOffset = 0x7FFFFFFE;
    v.SelFirst = v.SelLast = 0x7FFFFFFE;
    const TStatusTexts big = MakeStatusTexts(v);
    EXPECT_EQ(big.Offset, "Offset 0x7FFFFFFE (2147483646)");
    EXPECT_EQ(big.Selection, "Sel 0x7FFFFFFE (2147483646), length 1");
}

TEST(StatusTexts, BootFieldShowsEveryCrcDigit)
{
    EXPECT_EQ(BootStatusText(true, 0x2000, 0x00012345), "Boot block at 0x2000, CRC-32 00012345");
    EXPECT_EQ(BootStatusText(true, 0, 0xDEADBEEF), "Boot block at 0x0, CRC-32 DEADBEEF");
    EXPECT_EQ(BootStatusText(true, 5, 0), "Boot block at 0x5, CRC-32 00000000");
    EXPECT_TRUE(BootStatusText(false, 0x2000, 0x1234).isEmpty());
}

TEST(RecentFiles, NewestFirstWithoutDuplicatesAndCut)
{
    QStringList list;
    for (int i = 0; i < 10; ++i)
        list = WithRecentFile(list, QStringLiteral("/nonexistent/f%1").arg(i));
    ASSERT_EQ(list.size(), MaxRecentFiles);
    EXPECT_EQ(list.first(), "/nonexistent/f9");
    EXPECT_EQ(list.last(), "/nonexistent/f2");
    list = WithRecentFile(list, "/nonexistent/f5");
    EXPECT_EQ(list.first(), "/nonexistent/f5");
    EXPECT_EQ(list.count("/nonexistent/f5"), 1);
    EXPECT_EQ(list.size(), MaxRecentFiles);
}

TEST(RecentFiles, ExistingFilesAreKeptByAbsolutePath)
{
    TTestFolder folder;
    const QString path = folder.Write("a.bin", "abc");
    const QString relative = QDir::current().relativeFilePath(path);
    QStringList list = WithRecentFile({}, path);
    list = WithRecentFile(list, relative);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list.first(), QFileInfo(path).absoluteFilePath());
}

TEST(RecentFiles, StoredListSurvivesAndBadEntriesAreDropped)
{
    TTestFolder folder;
    const QString ini = folder.dir.filePath("hexview.ini");
    {
        QSettings settings(ini, QSettings::IniFormat);
        StoreRecentFiles(settings, {"/x/a", "/x/b"});
    }
    {
        QSettings settings(ini, QSettings::IniFormat);
        EXPECT_EQ(LoadRecentFiles(settings), (QStringList{"/x/a", "/x/b"}));
        QStringList tooMany{""};
        for (int i = 0; i < 12; ++i)
            tooMany << QStringLiteral("/y/%1").arg(i);
        settings.setValue("recentFiles", tooMany);
        const QStringList loaded = LoadRecentFiles(settings);
        EXPECT_EQ(loaded.size(), MaxRecentFiles);
        EXPECT_EQ(loaded.first(), "/y/0");
    }
}

TEST(StatusTexts, BootFieldWhileTheChecksumIsComputed)
{
    EXPECT_EQ(BootStatusPendingText(0x2000), "Boot block at 0x2000, CRC-32 ...");
}
