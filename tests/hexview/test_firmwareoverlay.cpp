// The firmware overlay in the window: detection, bookmark 0, the status
// field and the View toggle.

#include "window_fixture.h"

#include "hexview/firmwareoverlay.h"
#include "hexview/statusbar.h"
#include "firmware/core/bootimage.h"

#include <QLabel>

using namespace hexview;

TEST_F(HexViewWindowTest, AFirmwareImageGetsBookmarkStatusAndBlock)
{
    const QString path = files.Write("fw.bin", FirmwareImage(0x14000, 0x2000));
    ASSERT_TRUE(window->OpenFile(path));
    const TBootLayout& layout = window->Overlay().Layout();
    ASSERT_TRUE(layout.Found);
    EXPECT_EQ(layout.Block.First, 0x2000);
    EXPECT_EQ(layout.Block.Last, 0x11FFF);
    EXPECT_EQ(Editor().Bookmarks().At(0).mPosition, 0x2000);
    EXPECT_FALSE(Editor().Bookmarks().At(0).mInCharField);

    const uint32_t crc = boot::FileCrc32(path);
    ASSERT_NE(crc, 0u);
    EXPECT_EQ(window->Overlay().FileCrc(), crc);
    QLabel* boot = window->StatusFields().Boot();
    EXPECT_FALSE(boot->isHidden());
    EXPECT_EQ(boot->text(), "Boot block at 0x2000, CRC-32 " + QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper());
}

TEST_F(HexViewWindowTest, TheToggleTakesBackOnlyWhatTheOverlaySet)
{
    ASSERT_TRUE(window->OpenFile(files.Write("fw.bin", FirmwareImage(0x3000, 0x100))));
    QAction* toggle = window->Overlay().ToggleAction();
    ASSERT_NE(toggle, nullptr);
    ASSERT_TRUE(toggle->isChecked());

    toggle->trigger();
    EXPECT_FALSE(window->Overlay().Enabled());
    EXPECT_EQ(Editor().Bookmarks().At(0).mPosition, -1);
    EXPECT_TRUE(window->StatusFields().Boot()->isHidden());

    toggle->trigger();
    EXPECT_EQ(Editor().Bookmarks().At(0).mPosition, 0x100) << "on again: the bookmark is back, not toggled away";
    EXPECT_FALSE(window->StatusFields().Boot()->isHidden());

    // A bookmark 0 the user moved elsewhere stays when the overlay goes off.
    Editor().SetBookmark(0, 0x10, true);
    window->Overlay().SetEnabled(false);
    EXPECT_EQ(Editor().Bookmarks().At(0).mPosition, 0x10);
}

TEST_F(HexViewWindowTest, OtherFilesGetNoOverlay)
{
    QByteArray plain(4096, 'p');
    plain.replace(100, 4, QByteArray("\xE2\x00\x00\x10", 4));
    ASSERT_TRUE(window->OpenFile(files.Write("plain.bin", plain)));
    EXPECT_FALSE(window->Overlay().Layout().Found);
    EXPECT_EQ(Editor().Bookmarks().At(0).mPosition, -1);
    EXPECT_TRUE(window->StatusFields().Boot()->isHidden());

    // After a firmware image, a plain file clears the field again.
    ASSERT_TRUE(window->OpenFile(files.Write("fw.bin", FirmwareImage(0x1000, 0))));
    EXPECT_TRUE(window->Overlay().Layout().Found);
    EXPECT_EQ(Editor().Bookmarks().At(0).mPosition, 0);
    ASSERT_TRUE(window->OpenFile(files.Write("plain2.bin", plain)));
    EXPECT_FALSE(window->Overlay().Layout().Found);
    EXPECT_TRUE(window->StatusFields().Boot()->isHidden());
}

TEST_F(HexViewWindowTest, TheOverlayCanStartSwitchedOff)
{
    TViewOptions options;
    options.FileNames = {files.Write("fw.bin", FirmwareImage(0x1000, 0x40))};
    options.FirmwareOverlay = false;
    ASSERT_TRUE(window->ApplyOptions(options));
    EXPECT_TRUE(window->Overlay().Layout().Found);
    EXPECT_FALSE(window->Overlay().ToggleAction()->isChecked());
    EXPECT_EQ(Editor().Bookmarks().At(0).mPosition, -1);
    EXPECT_TRUE(window->StatusFields().Boot()->isHidden());
}
