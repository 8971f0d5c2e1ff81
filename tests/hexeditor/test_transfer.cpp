// Byte layouts of transferred data and the conversions of fetched blocks.
#include "hexeditor/core/mphtransfer.h"

#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

using namespace MPHTransfer;

namespace {
const uint8_t* U(const QByteArray& b) { return reinterpret_cast<const uint8_t*>(b.constData()); }
QByteArray Own(uint32_t magic, uint32_t version, int32_t n, const QByteArray& payload)
{
    QByteArray b(12, '\0');
    const uint32_t m = qToLittleEndian(magic), v = qToLittleEndian(version), c = qToLittleEndian(uint32_t(n));
    std::memcpy(b.data(), &m, 4);
    std::memcpy(b.data() + 4, &v, 4);
    std::memcpy(b.data() + 8, &c, 4);
    return b + payload;
}
} // namespace

TEST(OwnFormat, WriterLayoutAndReaderRoundTrip)
{
    const QByteArray data("\x41\x00\x42", 3);
    QByteArray block(15, '\x7f');
    WriteOwnFormat(reinterpret_cast<uint8_t*>(block.data()), U(data), 3);
    EXPECT_EQ(block, QByteArray("MPTH\x01\x00\x01\x00\x03\x00\x00\x00\x41\x00\x42", 15));
    EXPECT_EQ(ReadOwnFormat(U(block), block.size()), data);
}

TEST(OwnFormat, BadHeadersAndLengthsStayInsideTheBlock)
{
    const QByteArray payload("abcd");
    EXPECT_TRUE(ReadOwnFormat(U(Own(0x4854504E, OwnFormatVersion, 4, payload)), 16).isEmpty()) << "bad magic";
    EXPECT_TRUE(ReadOwnFormat(U(Own(OwnFormatMagic, 0x00010002, 4, payload)), 16).isEmpty()) << "bad version";
    const QByteArray liar = Own(OwnFormatMagic, OwnFormatVersion, 0x7FFFFFFF, payload);
    EXPECT_EQ(ReadOwnFormat(U(liar), liar.size()), payload) << "length beyond the block is cut";
    const QByteArray negative = Own(OwnFormatMagic, OwnFormatVersion, -5, payload);
    EXPECT_TRUE(ReadOwnFormat(U(negative), negative.size()).isEmpty());
    const QByteArray good = Own(OwnFormatMagic, OwnFormatVersion, 4, payload);
    for (int size = 0; size < 12; ++size)
        EXPECT_TRUE(ReadOwnFormat(U(good), size).isEmpty()) << size;
    EXPECT_TRUE(ReadOwnFormat(nullptr, 100).isEmpty());
}

TEST(HexText, EncodesUpperCaseWithOptionalSwap)
{
    const QByteArray data("\x00\x1F\xA5", 3);
    QByteArray text(7, 'x');
    WriteHexText(reinterpret_cast<uint8_t*>(text.data()), U(data), 3, false);
    EXPECT_EQ(text, QByteArray("001FA5\0", 7));
    WriteHexText(reinterpret_cast<uint8_t*>(text.data()), U(data), 3, true);
    EXPECT_EQ(text, QByteArray("00F15A\0", 7));
}

TEST(HexText, DecodingSkipsSeparatorsAndDropsAnOddDigit)
{
    EXPECT_EQ(DecodeHexText("0a 1B-cDe", false), QByteArray("\x0A\x1B\xCD", 3));
    EXPECT_EQ(DecodeHexText("0a 1B-cDe", true), QByteArray("\xA0\xB1\xDC", 3));
    EXPECT_EQ(DecodeHexText("0x12, 0x34\r\n", false), QByteArray("\x01\x20\x34", 3))
        << "the x of 0x is skipped but its 0 is a digit, so the pairs shift";
    EXPECT_TRUE(DecodeHexText("zz g", false).isEmpty());
    EXPECT_TRUE(DecodeHexText("f", false).isEmpty());
    // Round trip through the writer.
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    QByteArray text(513, '\0');
    WriteHexText(reinterpret_cast<uint8_t*>(text.data()), U(all), 256, true);
    EXPECT_EQ(DecodeHexText(text, true), all);
}

TEST(PlainText, EndsAtTheFirstZero)
{
    EXPECT_EQ(PlainTextLength(U(QByteArray("\x41\x00\x42", 3)), 3), 1);
    EXPECT_EQ(PlainTextLength(U(QByteArray("ABC")), 3), 3);
    EXPECT_EQ(PlainTextLength(U(QByteArray("\0", 1)), 1), 0);
    EXPECT_EQ(PlainTextLength(nullptr, 0), 0);
}

TEST(FileGroupDescriptor, LayoutWithNameCutTo259)
{
    QByteArray block(336, '\0');
    const QByteArray name(300, 'n');
    const uint64_t ft = FileTimeOf(QDateTime::fromMSecsSinceEpoch(0, Qt::UTC));
    EXPECT_EQ(ft, 116444736000000000ULL);
    WriteFileGroupDescriptor(reinterpret_cast<uint8_t*>(block.data()), name, 1234, ft);
    auto le32 = [&](int off) { return qFromLittleEndian<uint32_t>(block.constData() + off); };
    EXPECT_EQ(le32(0), 1u);
    EXPECT_EQ(le32(4), 0x60u);
    for (int i = 8; i < 60; ++i)
        ASSERT_EQ(block[i], 0) << i;
    EXPECT_EQ(le32(60) | uint64_t(le32(64)) << 32, ft);
    EXPECT_EQ(le32(68), 0u);
    EXPECT_EQ(le32(72), 1234u);
    EXPECT_EQ(QByteArray(block.constData() + 76), QByteArray(259, 'n'));
    EXPECT_EQ(block[335], 0);
}

TEST(ConvertBlock, TextKindsStopAtZeroOrAtTheEnd)
{
    using K = TBlockKind;
    EXPECT_EQ(ConvertBlock(K::bkText, U(QByteArray("ab\0cd", 5)), 5, false), QByteArray("ab"));
    EXPECT_EQ(ConvertBlock(K::bkText, U(QByteArray("abcd")), 4, false), QByteArray("abcd"));
    const QByteArray wide("a\0b\0\0\0c\0", 8);
    EXPECT_EQ(ConvertBlock(K::bkUnicodeText, U(wide), 8, false), QByteArray("a\0b\0", 4));
    EXPECT_EQ(ConvertBlock(K::bkUnicodeText, U(wide), 8, true), QByteArray("\0a\0b", 4));
    EXPECT_EQ(ConvertBlock(K::bkUnicodeText, U(QByteArray("a\0b", 3)), 3, false), QByteArray("a\0", 2))
        << "an odd final byte is no character";
}

TEST(ConvertBlock, LengthPrefixedAndFixedKinds)
{
    using K = TBlockKind;
    const QByteArray reg("\x03\x00\x00\x00xyzw", 8);
    EXPECT_EQ(ConvertBlock(K::bkRegEditHex, U(reg), 8, false), QByteArray("xyz"));
    const QByteArray regLiar("\xff\xff\xff\x7fxy", 6);
    EXPECT_EQ(ConvertBlock(K::bkRegEditHex, U(regLiar), 6, false), QByteArray("xy"));
    EXPECT_TRUE(ConvertBlock(K::bkRegEditHex, U(regLiar), 3, false).isEmpty());
    EXPECT_EQ(ConvertBlock(K::bkLocale, U(QByteArray("\x09\x04\0\0", 4)), 4, false), QByteArray("\x09\x04", 2));
    EXPECT_EQ(ConvertBlock(K::bkLocale, U(QByteArray("\x09")), 1, false), QByteArray("\x09"));
    const QByteArray dib = ConvertBlock(K::bkDib, U(QByteArray("DIB")), 3, false);
    EXPECT_EQ(dib, QByteArray("BM\0\0\0\0\0\0\0\0\0\0\0\0DIB", 17));
    for (K kind : {K::bkOwn, K::bkRegEditHex, K::bkText, K::bkUnicodeText, K::bkDib, K::bkLocale, K::bkRaw})
        EXPECT_TRUE(ConvertBlock(kind, U(reg), 0, false).isEmpty()) << int(kind);
}

TEST(ConvertHandles, PaletteMetafilesAndBitmaps)
{
    const HPALETTE pal = CreatePalette({0x00030201, 0x80060504});
    EXPECT_EQ(PaletteToBytes(pal), QByteArray("\x00\x03\x02\x00\x01\x02\x03\x00\x04\x05\x06\x80", 12));
    DeleteGdiObject(pal);
    const HPALETTE empty = CreatePalette({});
    EXPECT_TRUE(PaletteToBytes(empty).isEmpty());
    DeleteGdiObject(empty);

    const HMETAFILE mf = SetMetaFileBits("WMF!");
    QByteArray pict(16, '\0');
    const uint32_t h = qToLittleEndian(mf);
    std::memcpy(pict.data() + 12, &h, 4);
    EXPECT_EQ(MetaFilePictToBytes(U(pict), 16), QByteArray("WMF!"));
    EXPECT_TRUE(MetaFilePictToBytes(U(pict), 15).isEmpty());
    DeleteGdiObject(mf);
    EXPECT_TRUE(MetaFilePictToBytes(U(pict), 16).isEmpty()) << "a stale handle finds nothing";

    const HBITMAP bmp = CreateBitmapFromDib(QByteArray(40, '\0'));
    EXPECT_EQ(BitmapHandleToBytes(bmp).left(2), QByteArray("BM"));
    EXPECT_EQ(BitmapHandleToBytes(bmp).size(), 54);
    DeleteGdiObject(bmp);
    EXPECT_TRUE(BitmapHandleToBytes(bmp).isEmpty());
}
