// The firmware overlay after edits and saves: the CRC-32 stays current and
// the boot block follows its marker.

#include "window_fixture.h"

#include "hexview/firmwareoverlay.h"
#include "hexview/saveactions.h"
#include "hexview/statusbar.h"
#include "firmware/core/bootimage.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

using namespace hexview;

namespace {
class OverlayFollowTest : public HexViewWindowTest
{
protected:
    uint32_t documentCrc()
    {
        const uint8_t* data = Editor().DataStorage().Memory();
        return ~boot::Crc32Update(0xFFFFFFFF, data, size_t(Editor().DataSize()));
    }
    static QString Hex8(uint32_t v) { return QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper(); }
    QString bootText() { return window->StatusFields().Boot()->text(); }
    void waitForCrc()
    {
        QElapsedTimer clock;
        clock.start();
        while (window->Overlay().CrcBusy() && clock.elapsed() < 20000)
            QTest::qWait(20);
        ASSERT_FALSE(window->Overlay().CrcBusy());
    }
};
} // namespace

TEST_F(OverlayFollowTest, TheCrcFollowsEditsUndoAndSave)
{
    const QString path = files.Write("fw.bin", FirmwareImage(0x3000, 0x100));
    ASSERT_TRUE(window->OpenFile(path));
    const uint32_t loaded = window->Overlay().FileCrc();
    EXPECT_EQ(loaded, boot::FileCrc32(path));

    Editor().ChangeByte(0x10, uint8_t(0x10 * 7), 0xAB);
    const uint32_t edited = documentCrc();
    ASSERT_NE(edited, loaded);
    EXPECT_EQ(window->Overlay().FileCrc(), edited);
    EXPECT_EQ(bootText(), "Boot block at 0x100, CRC-32 " + Hex8(edited));

    Editor().Undo();
    EXPECT_EQ(window->Overlay().FileCrc(), loaded);
    Editor().Redo();
    EXPECT_EQ(window->Overlay().FileCrc(), edited);

    ASSERT_TRUE(SaveDocument(*window)) << errors.join('\n').toStdString();
    EXPECT_EQ(boot::FileCrc32(path), edited);
    EXPECT_EQ(window->Overlay().FileCrc(), edited);
    EXPECT_EQ(bootText(), "Boot block at 0x100, CRC-32 " + Hex8(edited));
}

TEST_F(OverlayFollowTest, AnInsertBeforeTheBlockMovesTintStatusAndBookmarkWithTheMarker)
{
    ASSERT_TRUE(window->OpenFile(files.Write("fw.bin", FirmwareImage(0x3000, 0x100))));
    Editor().InsertBuffer(QByteArray(16, 'i').constData(), 16, 0x50);
    const TBootLayout& layout = window->Overlay().Layout();
    ASSERT_TRUE(layout.Found);
    EXPECT_EQ(layout.MarkerOffset, 0x110);
    EXPECT_EQ(layout.Block.First, 0x110);
    EXPECT_EQ(Editor().Bookmarks().At(0).mPosition, 0x110);
    EXPECT_TRUE(bootText().startsWith("Boot block at 0x110, CRC-32 ")) << bootText().toStdString();
    EXPECT_EQ(window->Overlay().FileCrc(), documentCrc());

    Editor().Undo();
    EXPECT_EQ(window->Overlay().Layout().MarkerOffset, 0x100);
    EXPECT_TRUE(bootText().startsWith("Boot block at 0x100, "));

    // Overwriting the marker takes the overlay and its bookmark away.
    Editor().ChangeByte(0x100, 0xE3, 0x00);
    EXPECT_FALSE(window->Overlay().Layout().Found);
    EXPECT_EQ(Editor().Bookmarks().At(0).mPosition, -1);
    EXPECT_TRUE(window->StatusFields().Boot()->isHidden());
}

TEST_F(OverlayFollowTest, ALargeImageIsSummedInSlicesAfterAnEdit)
{
    const int size = 3 * TFirmwareOverlay::ImmediateCrcSize;
    ASSERT_TRUE(window->OpenFile(files.Write("big.bin", FirmwareImage(size, 0x4000))));
    EXPECT_FALSE(window->Overlay().CrcBusy());
    Editor().ChangeByte(size - 1, Editor().ByteAt(size - 1), uint8_t(Editor().ByteAt(size - 1) ^ 0xFF));
    EXPECT_TRUE(window->Overlay().CrcBusy());
    EXPECT_EQ(bootText(), "Boot block at 0x4000, CRC-32 ...");
    waitForCrc();
    EXPECT_EQ(window->Overlay().FileCrc(), documentCrc());
    EXPECT_EQ(bootText(), "Boot block at 0x4000, CRC-32 " + Hex8(documentCrc()));
}
