// What a person sees of the firmware overlay: the editor rendered offscreen
// and looked at in chosen cells.

#include "window_fixture.h"

#include "hexview/core/tint.h"
#include "hexview/firmwareoverlay.h"

#include <QImage>

using namespace hexview;

namespace {

uint32_t Rgb(QRgb pixel) { return pixel & 0xFFFFFFu; }
uint32_t Rgb(const QColor& c) { return c.rgb() & 0xFFFFFFu; }

class OverlayPaintTest : public HexViewWindowTest
{
protected:
    // The hex cell of byte p (first nibble, or second with low).
    QRect HexCell(int32_t p, bool low = false)
    {
        const int bpr = Editor().BytesPerRow();
        return Editor().CellRect(2 + 2 * (p % bpr) + (low ? 1 : 0), 2 + p / bpr);
    }
    // The text rectangle of a data cell: CharWidth from its left edge.
    QRect TextRect(const QRect& cell) { return {cell.left(), cell.top(), Editor().CharWidth(), cell.height() - 1}; }
    QRect CharCell(int32_t p)
    {
        const int bpr = Editor().BytesPerRow();
        return Editor().CellRect(Editor().HexColumnCount() + 3 + p % bpr, 2 + p / bpr);
    }
    QImage Shot()
    {
        Editor().viewport()->update();
        return Editor().viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // A pixel of the cell's fill: the bottom-right corner, away from the
    // text (and above a grid line).
    static QPoint FillPoint(const QRect& cell) { return {cell.right() - 1, cell.bottom() - 2}; }
    uint32_t Background() { return Rgb(ResolveColor(Editor().Colors()->Background(), Editor().palette())); }
    // The best contrast of any pixel in r against its top-left pixel.
    static double TextContrast(const QImage& image, const QRect& r)
    {
        const uint32_t back = Rgb(image.pixel(r.topLeft()));
        double best = 1;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                best = std::max(best, ContrastRatio(Rgb(image.pixel(x, y)), back));
        return best;
    }
};

} // namespace

TEST_F(OverlayPaintTest, TheBootBlockIsTintedInBothFieldsAndNothingElse)
{
    ASSERT_TRUE(window->OpenFile(files.Write("fw.bin", FirmwareImage(0x2000, 0x70))));
    const QImage image = Shot();
    const uint32_t plain = Background();
    const uint32_t tinted = BlendRgb(plain, BootBlockTint, BootBlockTintPercent);
    ASSERT_NE(plain, tinted);
    EXPECT_EQ(Rgb(image.pixel(FillPoint(HexCell(0x6F, true)))), plain) << "byte before the marker";
    EXPECT_EQ(Rgb(image.pixel(FillPoint(HexCell(0x70)))), tinted);
    EXPECT_EQ(Rgb(image.pixel(FillPoint(HexCell(0x75, true)))), tinted);
    EXPECT_EQ(Rgb(image.pixel(FillPoint(CharCell(0x70)))), tinted);
    EXPECT_EQ(Rgb(image.pixel(FillPoint(CharCell(0x6F)))), plain);
    // The text stays: the cell holds readable digits.
    EXPECT_GE(TextContrast(image, TextRect(HexCell(0x80))), 3.0);

    window->Overlay().SetEnabled(false);
    EXPECT_EQ(Rgb(Shot().pixel(FillPoint(HexCell(0x70)))), plain) << "View toggle off";
}

TEST_F(OverlayPaintTest, IdStringsAreFramedAtTheirEnds)
{
    ASSERT_TRUE(window->OpenFile(files.Write("fw.bin", FirmwareImage(0x2000, 0x400))));
    const QImage image = Shot();
    const uint32_t frame = TFirmwareOverlay::IdFrameColor;
    // Byte 32 opens the first frame: its left edge and its top.
    const QRect first = HexCell(32);
    EXPECT_EQ(Rgb(image.pixel(first.left(), first.center().y())), frame);
    EXPECT_EQ(Rgb(image.pixel(first.center().x(), first.top())), frame);
    // Byte 44 closes it on its second nibble; byte 45 lies outside.
    const QRect last = HexCell(44, true);
    EXPECT_EQ(Rgb(image.pixel(last.right(), last.center().y())), frame);
    EXPECT_NE(Rgb(image.pixel(HexCell(45).center().x(), HexCell(45).top())), frame);
    EXPECT_NE(Rgb(image.pixel(HexCell(31, true).center().x(), HexCell(31, true).top())), frame);
    // The character field frames the same bytes.
    EXPECT_EQ(Rgb(image.pixel(CharCell(48).left(), CharCell(48).center().y())), frame);
    EXPECT_EQ(Rgb(image.pixel(CharCell(58).right(), CharCell(58).center().y())), frame);
}

TEST_F(OverlayPaintTest, SelectionAndChangedBytesStayVisibleUnderTheTint)
{
    ASSERT_TRUE(window->OpenFile(files.Write("fw.bin", FirmwareImage(0x2000, 0x100))));
    Editor().ChangedBytes().resize(Editor().DataSize());
    Editor().ChangedBytes().setBit(0x121);
    Editor().SetSelStart(0x110);
    Editor().SetSelEnd(0x11F);
    const QImage image = Shot();
    const uint32_t plain = Background();
    const uint32_t tintedPlain = BlendRgb(plain, BootBlockTint, BootBlockTintPercent);
    const uint32_t tintedSelected = BlendRgb(plain ^ 0xFFFFFF, BootBlockTint, BootBlockTintPercent);
    // Inside the selection the fill runs on inverted and tinted ...
    EXPECT_EQ(Rgb(image.pixel(FillPoint(HexCell(0x114, true)))), tintedSelected);
    // ... and stops after the last selected byte, whose text box is still
    // inverted: it reads as selected.
    const QRect lastSelected = HexCell(0x11F, true);
    EXPECT_EQ(Rgb(image.pixel(FillPoint(lastSelected))), tintedPlain);
    EXPECT_EQ(Rgb(image.pixel(lastSelected.topLeft())), tintedSelected);
    for (int32_t p : {0x110, 0x114, 0x11F})
        EXPECT_GE(TextContrast(image, TextRect(HexCell(p))), 3.0) << p;

    // The changed byte's text box keeps the changed background, tinted.
    const uint32_t changedBack = Rgb(ResolveColor(Editor().Colors()->ChangedBackground(), Editor().palette()));
    EXPECT_EQ(Rgb(image.pixel(HexCell(0x121).topLeft())),
              BlendRgb(changedBack, BootBlockTint, BootBlockTintPercent));
    EXPECT_GE(TextContrast(image, TextRect(HexCell(0x121))), 3.0);
}

TEST_F(OverlayPaintTest, PlainFilesAreDrawnByTheEditorAlone)
{
    ASSERT_TRUE(window->OpenFile(files.Write("plain.bin", QByteArray(0x400, 'q'))));
    const QImage image = Shot();
    const uint32_t plain = Background();
    for (int32_t p : {0, 32, 40, 0x100})
        EXPECT_EQ(Rgb(image.pixel(FillPoint(HexCell(p)))), plain) << p;
    EXPECT_NE(Rgb(image.pixel(HexCell(32).left(), HexCell(32).center().y())), TFirmwareOverlay::IdFrameColor);
}
