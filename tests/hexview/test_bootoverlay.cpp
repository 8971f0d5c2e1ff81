// Where the overlay draws: the boot block found in the data and the frame
// edges of the ID string ranges.

#include "hexview/core/bootoverlay.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <vector>

using namespace hexview;

namespace {

std::vector<uint8_t> ImageWithMarkerAt(size_t size, int64_t at)
{
    std::vector<uint8_t> data(size, 0x5A);
    if (at >= 0) {
        const uint8_t marker[4] = {0xE3, 0x00, 0x00, 0x10};
        std::copy(marker, marker + 4, data.begin() + at);
    }
    return data;
}

} // namespace

TEST(BootLayout, BlockStartsAtTheFirstMarker)
{
    std::vector<uint8_t> data = ImageWithMarkerAt(0x30000, 0x2000);
    const uint8_t marker[4] = {0xE3, 0x00, 0x00, 0x10};
    std::copy(marker, marker + 4, data.begin() + 0x9000);
    const TBootLayout layout = DetectBootLayout(data.data(), int64_t(data.size()));
    ASSERT_TRUE(layout.Found);
    EXPECT_EQ(layout.MarkerOffset, 0x2000);
    EXPECT_EQ(layout.Block.First, 0x2000);
    EXPECT_EQ(layout.Block.Last, 0x2000 + 0xFFFF);
    EXPECT_EQ(layout.FirstId.First, 32);
    EXPECT_EQ(layout.FirstId.Last, 44);
    EXPECT_EQ(layout.SecondId.First, 48);
    EXPECT_EQ(layout.SecondId.Last, 58);
}

TEST(BootLayout, MarkerAtZeroIsFoundButNoMarkerIsNot)
{
    // The marker search answers 0 for both; the overlay must tell them apart.
    std::vector<uint8_t> atZero = ImageWithMarkerAt(100, 0);
    EXPECT_TRUE(DetectBootLayout(atZero.data(), 100).Found);
    std::vector<uint8_t> none = ImageWithMarkerAt(100, -1);
    EXPECT_FALSE(DetectBootLayout(none.data(), 100).Found);
    std::vector<uint8_t> nearMiss = ImageWithMarkerAt(100, 10);
    nearMiss[10] = 0xE2;
    EXPECT_FALSE(DetectBootLayout(nearMiss.data(), 100).Found);
}

TEST(BootLayout, ShortDataHoldNoBlock)
{
    EXPECT_FALSE(DetectBootLayout(nullptr, 0).Found);
    const uint8_t three[3] = {0xE3, 0x00, 0x00};
    EXPECT_FALSE(DetectBootLayout(three, 3).Found);
    const uint8_t four[4] = {0xE3, 0x00, 0x00, 0x10};
    const TBootLayout layout = DetectBootLayout(four, 4);
    ASSERT_TRUE(layout.Found);
    EXPECT_EQ(layout.Block.Last, 3);
    EXPECT_TRUE(layout.FirstId.Empty()) << "bytes 32-44 lie past the end";
    EXPECT_TRUE(layout.SecondId.Empty());
}

TEST(BootLayout, RangesAreCutAtTheDataEnd)
{
    // Marker 100 bytes before the end: the block is what is there.
    std::vector<uint8_t> data = ImageWithMarkerAt(1000, 900);
    TBootLayout layout = DetectBootLayout(data.data(), 1000);
    ASSERT_TRUE(layout.Found);
    EXPECT_EQ(layout.Block.First, 900);
    EXPECT_EQ(layout.Block.Last, 999);

    // 50 bytes: the first ID string whole, the second one cut.
    data = ImageWithMarkerAt(50, 0);
    layout = DetectBootLayout(data.data(), 50);
    EXPECT_EQ(layout.FirstId.Last, 44);
    EXPECT_EQ(layout.SecondId.First, 48);
    EXPECT_EQ(layout.SecondId.Last, 49);
}

TEST(FrameEdges, CellsOutsideTheRangeGetNone)
{
    const TPosRange range{32, 44};
    EXPECT_EQ(FrameEdges(range, 31, 31, true, true, 16), feNone);
    EXPECT_EQ(FrameEdges(range, 45, 45, true, true, 16), feNone);
    EXPECT_EQ(FrameEdges(TPosRange{}, 0, 0, true, true, 16), feNone);
    EXPECT_EQ(FrameEdges(range, 40, 40, true, true, 0), feNone);
}

TEST(FrameEdges, ARangeInOneRowIsClosedAtBothEnds)
{
    const TPosRange range{32, 44}; // one 16-byte row: 32..47
    EXPECT_EQ(FrameEdges(range, 32, 32, true, true, 16), feTop | feBottom | feLeft);
    EXPECT_EQ(FrameEdges(range, 38, 38, true, true, 16), feTop | feBottom);
    EXPECT_EQ(FrameEdges(range, 44, 44, true, true, 16), feTop | feBottom | feRight);
    // One byte: a closed box.
    EXPECT_EQ(FrameEdges(TPosRange{5, 5}, 5, 5, true, true, 16), feTop | feBottom | feLeft | feRight);
}

TEST(FrameEdges, HexCellsCloseOnlyOnTheirByteEdge)
{
    const TPosRange range{32, 44};
    // The two nibble cells of byte 32 and of byte 44.
    EXPECT_EQ(FrameEdges(range, 32, 32, true, false, 16), feTop | feBottom | feLeft);
    EXPECT_EQ(FrameEdges(range, 32, 32, false, true, 16), feTop | feBottom);
    EXPECT_EQ(FrameEdges(range, 44, 44, true, false, 16), feTop | feBottom);
    EXPECT_EQ(FrameEdges(range, 44, 44, false, true, 16), feTop | feBottom | feRight);
}

TEST(FrameEdges, ARangeOverRowsIsClosedAtEachRowEnd)
{
    const TPosRange range{32, 44}; // 8 bytes per row: 32..39 and 40..44
    EXPECT_EQ(FrameEdges(range, 39, 39, true, true, 8), feTop | feBottom | feRight);
    EXPECT_EQ(FrameEdges(range, 40, 40, true, true, 8), feTop | feBottom | feLeft);
    // Unicode character cell of bytes 44 and 45 overlaps the range's end.
    EXPECT_EQ(FrameEdges(range, 44, 45, true, true, 16), feTop | feBottom | feRight);
    EXPECT_EQ(FrameEdges(range, 30, 31, true, true, 16), feNone);
    EXPECT_EQ(FrameEdges(TPosRange{33, 44}, 32, 33, true, true, 16), feTop | feBottom | feLeft);
}

TEST(BootOverlay, ALayoutAtAnOffsetNeedsTheMarkerThere)
{
    QByteArray data(0x20000, '\x11');
    data.replace(0x300, 4, QByteArray("\xE3\x00\x00\x10", 4));
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData());
    const TBootLayout at = BootLayoutAt(p, data.size(), 0x300);
    ASSERT_TRUE(at.Found);
    EXPECT_EQ(at.MarkerOffset, 0x300);
    EXPECT_EQ(at.Block.First, 0x300);
    EXPECT_EQ(at.Block.Last, 0x300 + 0xFFFF);
    EXPECT_FALSE(BootLayoutAt(p, data.size(), 0x301).Found);
    EXPECT_FALSE(BootLayoutAt(p, data.size(), -1).Found);
    EXPECT_FALSE(BootLayoutAt(p, data.size(), data.size() - 2).Found) << "no read past the end";
    EXPECT_FALSE(BootLayoutAt(nullptr, 0, 0).Found);
}
