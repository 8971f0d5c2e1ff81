// The boot block's structure of an image in memory.

#include "firmware/core/bootimage.h"
#include "firmware/core/bootstructure.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace {

uint32_t Crc(const QByteArray& bytes)
{
    return ~boot::Crc32Update(0xFFFFFFFFu, reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
}

boot::TBootStructure Analyse(const QByteArray& image)
{
    return boot::AnalyseBootStructure(reinterpret_cast<const uint8_t*>(image.constData()), image.size());
}

const QByteArray Marker("\xE3\x00\x00\x10", 4);

} // namespace

TEST(BootStructure, MarkerBlockAndChecksums)
{
    QByteArray image(0x30000, '\x5A');
    image.replace(0x2000, 4, Marker);
    image.replace(0x9000, 4, Marker); // a second marker does not count
    const boot::TBootStructure s = Analyse(image);
    EXPECT_TRUE(s.MarkerFound);
    EXPECT_EQ(s.MarkerOffset, 0x2000);
    EXPECT_EQ(s.BlockFirst, 0x2000);
    EXPECT_EQ(s.BlockLast, 0x11FFF);
    EXPECT_EQ(s.BlockLength(), 0x10000);
    EXPECT_EQ(s.ImageCrc, Crc(image));
    EXPECT_EQ(s.BlockCrc, Crc(image.mid(0x2000, 0x10000)));
}

TEST(BootStructure, BlockCutAtTheEndAndImagesWithoutMarker)
{
    QByteArray image(1000, 'x');
    image.replace(900, 4, Marker);
    boot::TBootStructure s = Analyse(image);
    EXPECT_TRUE(s.MarkerFound);
    EXPECT_EQ(s.BlockLast, 999);
    EXPECT_EQ(s.BlockLength(), 100);
    EXPECT_EQ(s.BlockCrc, Crc(image.mid(900)));

    image[900] = '\xE2'; // one byte off: no marker, the block from 0
    s = Analyse(image);
    EXPECT_FALSE(s.MarkerFound);
    EXPECT_EQ(s.MarkerOffset, 0);
    EXPECT_EQ(s.BlockLast, 999);
    EXPECT_EQ(s.BlockCrc, s.ImageCrc);

    s = Analyse(Marker); // the marker is the whole image
    EXPECT_TRUE(s.MarkerFound);
    EXPECT_EQ(s.BlockLength(), 4);

    s = Analyse(QByteArray());
    EXPECT_FALSE(s.MarkerFound);
    EXPECT_EQ(s.BlockLength(), 0);
    EXPECT_EQ(s.ImageCrc, 0u);
}
