// The widget-free transfer layer: global memory, format registry, media,
// enumerators, dropped-file lists and bitmap files.
#include "platform/core/dropfiles.h"
#include "platform/core/oletypes.h"

#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

TEST(GlobalMemory, ZeroedBlockLocksToItsBytesAndCountsLocks)
{
    HGLOBAL block = GlobalAlloc(GHND, 64);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 64u);
    uint8_t* p = GlobalLock(block);
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(p[i], 0) << i;
    EXPECT_EQ(GlobalLock(block), p);
    EXPECT_EQ(GlobalLockCount(block), 2);
    EXPECT_TRUE(GlobalUnlock(block));
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_FALSE(GlobalUnlock(block)) << "an unlocked block cannot go below zero locks";
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemory, EmptyBlockAndNullHandle)
{
    HGLOBAL block = GlobalAlloc(GHND, 0);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_NE(GlobalLock(block), nullptr);
    GlobalUnlock(block);
    GlobalFree(block);
    EXPECT_EQ(GlobalLock(nullptr), nullptr);
    EXPECT_EQ(GlobalSize(nullptr), 0u);
    TGlobalLock none(nullptr);
    EXPECT_EQ(none.Size(), 0u);
}

TEST(GlobalMemory, SimulatedFailuresEndAfterTheirCount)
{
    SetGlobalAllocFailures(2);
    EXPECT_EQ(GlobalAlloc(GHND, 8), nullptr);
    EXPECT_EQ(GlobalAlloc(GHND, 8), nullptr);
    HGLOBAL block = GlobalAlloc(GHND, 8);
    EXPECT_NE(block, nullptr);
    GlobalFree(block);
}

TEST(ClipboardFormats, RegisteredNamesKeepTheirNumberAndIgnoreCase)
{
    const CLIPFORMAT a = RegisterClipboardFormat(QStringLiteral("Test Format Alpha"));
    const CLIPFORMAT b = RegisterClipboardFormat(QStringLiteral("Test Format Beta"));
    EXPECT_GE(a, 0xC000);
    EXPECT_GE(b, 0xC000);
    EXPECT_NE(a, b);
    EXPECT_EQ(RegisterClipboardFormat(QStringLiteral("Test Format Alpha")), a);
    EXPECT_EQ(RegisterClipboardFormat(QStringLiteral("test format ALPHA")), a);
    EXPECT_EQ(GetClipboardFormatName(a), QStringLiteral("Test Format Alpha"));
    EXPECT_EQ(RegisterClipboardFormat(QString()), 0);
    EXPECT_TRUE(GetClipboardFormatName(CF_TEXT).isEmpty());
    EXPECT_TRUE(GetClipboardFormatName(0xBFFF).isEmpty());
}

TEST(ClipboardFormats, StandardNamesCoverOneToSixteen)
{
    EXPECT_EQ(StandardClipboardFormatName(CF_TEXT), QStringLiteral("CF_TEXT"));
    EXPECT_EQ(StandardClipboardFormatName(CF_UNICODETEXT), QStringLiteral("CF_UNICODETEXT"));
    EXPECT_EQ(StandardClipboardFormatName(CF_LOCALE), QStringLiteral("CF_LOCALE"));
    EXPECT_TRUE(StandardClipboardFormatName(0).isEmpty());
    EXPECT_TRUE(StandardClipboardFormatName(17).isEmpty());
}

TEST(OleInit, CountedStartAndEnd)
{
    const int before = OleInitCount();
    const HRESULT first = OleInitialize();
    EXPECT_EQ(first, before == 0 ? S_OK : S_FALSE);
    EXPECT_EQ(OleInitialize(), S_FALSE);
    EXPECT_EQ(OleInitCount(), before + 2);
    OleUninitialize();
    OleUninitialize();
    EXPECT_EQ(OleInitCount(), before);
}

TEST(OleError, CarriesItsCodeAndShowsItInHex)
{
    EXPECT_EQ(OleCheck(S_FALSE), S_FALSE);
    try {
        OleCheck(E_OUTOFMEMORY);
        FAIL() << "no exception";
    } catch (const EOleError& e) {
        EXPECT_EQ(e.ErrorCode(), E_OUTOFMEMORY);
        EXPECT_EQ(e.Message(), QStringLiteral("OLE error 8007000E"));
    }
}

TEST(FormatEtcList, NextSkipResetClone)
{
    TComPtr<IEnumFORMATETC> e(new TFormatEtcListEnumerator({FormatEtcFor(1), FormatEtcFor(2), FormatEtcFor(3)}));
    TFormatEtc out[4];
    uint32_t fetched = 99;
    EXPECT_EQ(e->Next(2, out, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(out[1].cfFormat, 2);
    TComPtr<IEnumFORMATETC> clone;
    ASSERT_EQ(e->Clone(clone.Out()), S_OK);
    EXPECT_EQ(e->Skip(2), S_FALSE) << "only one entry is left";
    EXPECT_EQ(e->Next(4, out, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(out[0].cfFormat, 3);
    EXPECT_EQ(clone->Next(1, out, nullptr), S_OK) << "the clone keeps the cursor it was made at";
    EXPECT_EQ(out[0].cfFormat, 3);
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Next(1, out, nullptr), S_OK);
    EXPECT_EQ(out[0].cfFormat, 1);
}

namespace {
struct TCounted final : TInterfacedObject<IUnknown>
{
    explicit TCounted(int* deaths) : deaths(deaths) {}
    ~TCounted() override { ++*deaths; }
    int* deaths;
};
} // namespace

TEST(ComPtr, ReleasesOnLastReference)
{
    int deaths = 0;
    {
        TComPtr<TCounted> a(new TCounted(&deaths));
        TComPtr<TCounted> b = a;
        EXPECT_EQ(a->RefCount(), 2u);
        a.Reset();
        EXPECT_EQ(deaths, 0);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(StgMedium, ReleaseFreesHandlesOrCallsTheReleaseObject)
{
    const int gdiBefore = GdiObjectCount();
    TStgMedium m;
    m.tymed = TYMED_GDI;
    m.hGdi = CreateBitmapFromDib(QByteArray(40, '\0'));
    ReleaseStgMedium(m);
    EXPECT_EQ(GdiObjectCount(), gdiBefore);
    EXPECT_EQ(m.tymed, TYMED_NULL);

    // A metafile picture owns its metafile.
    m.tymed = TYMED_MFPICT;
    m.hGlobal = GlobalAlloc(GHND, sizeof(TMetaFilePict));
    TMetaFilePict pict{8, 0, 0, SetMetaFileBits("bits")};
    std::memcpy(GlobalLock(m.hGlobal), &pict, sizeof pict);
    GlobalUnlock(m.hGlobal);
    ReleaseStgMedium(m);
    EXPECT_EQ(GdiObjectCount(), gdiBefore);

    int deaths = 0;
    auto* owner = new TCounted(&deaths);
    owner->AddRef();
    m.tymed = TYMED_HGLOBAL;
    m.hGlobal = nullptr;
    m.pUnkForRelease = owner;
    ReleaseStgMedium(m);
    EXPECT_EQ(deaths, 1);
}

TEST(GdiHandles, UnknownOrWrongKindFindsNothing)
{
    const HMETAFILE mf = SetMetaFileBits("abc");
    EXPECT_EQ(GetMetaFileBits(mf), QByteArray("abc"));
    EXPECT_TRUE(GetEnhMetaFileBits(mf).isEmpty());
    EXPECT_TRUE(GetMetaFileBits(0xFFFFFFF0u).isEmpty());
    const HMETAFILE copy = CopyGdiObject(mf);
    EXPECT_NE(copy, mf);
    EXPECT_TRUE(DeleteGdiObject(mf));
    EXPECT_FALSE(DeleteGdiObject(mf));
    EXPECT_EQ(GetMetaFileBits(copy), QByteArray("abc"));
    DeleteGdiObject(copy);
    const HPALETTE pal = CreatePalette({0x010203, 0x040506});
    EXPECT_EQ(GetPaletteEntryCount(pal), 2);
    EXPECT_EQ(GetPaletteEntryCount(0), 0);
    DeleteGdiObject(pal);
}

TEST(GdiHandles, BitmapFileHeaderPointsAtThePixels)
{
    // 40-byte info header, 8 bits per pixel, 2 colours used: 14 + 40 + 8.
    QByteArray dib(40 + 8 + 4, '\0');
    const uint32_t header = qToLittleEndian(40u), bits = qToLittleEndian(uint32_t(8) << 16 | 1),
                   used = qToLittleEndian(2u);
    std::memcpy(dib.data(), &header, 4);
    std::memcpy(dib.data() + 12, &bits, 4);
    std::memcpy(dib.data() + 32, &used, 4);
    const QByteArray file = BitmapFileFromDib(dib);
    ASSERT_EQ(file.size(), 14 + dib.size());
    EXPECT_EQ(file.left(2), QByteArray("BM"));
    EXPECT_EQ(qFromLittleEndian<uint32_t>(file.constData() + 2), uint32_t(file.size()));
    EXPECT_EQ(qFromLittleEndian<uint32_t>(file.constData() + 10), 62u);
    // Garbage never points past the end.
    const QByteArray junk = BitmapFileFromDib(QByteArray("\xff\xff\xff\xff", 4));
    EXPECT_LE(qFromLittleEndian<uint32_t>(junk.constData() + 10), uint32_t(junk.size()));
}

TEST(DropFiles, BuildAndParseRoundTrip)
{
    const QStringList names{QStringLiteral("/tmp/a b.bin"), QStringLiteral("/tmp/\u00e9t\u00e9")};
    const QByteArray block = BuildDropFiles(names);
    EXPECT_EQ(ParseDropFiles(reinterpret_cast<const uint8_t*>(block.constData()), block.size()), names);
}

TEST(DropFiles, HostileBlocksStayInside)
{
    auto parse = [](const QByteArray& b, int max = 260) {
        return ParseDropFiles(reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size()), max);
    };
    EXPECT_TRUE(parse(QByteArray()).isEmpty());
    EXPECT_TRUE(parse(QByteArray(11, 'x')).isEmpty());
    // List offset past the block.
    QByteArray far(24, '\0');
    far[0] = char(0xFF);
    far[1] = char(0xFF);
    EXPECT_TRUE(parse(far).isEmpty());
    // 8-bit list without any terminator: the name ends at the block's end.
    QByteArray ansi(20, '\0');
    ansi[0] = 20;
    ansi.append("/tmp/x");
    EXPECT_EQ(parse(ansi), QStringList{QStringLiteral("/tmp/x")});
    // Wide list with an odd trailing byte and an over-long name.
    QByteArray wide = BuildDropFiles({QString(300, QLatin1Char('n'))});
    wide.chop(3);
    const QStringList cut = parse(wide);
    ASSERT_EQ(cut.size(), 1);
    EXPECT_EQ(cut[0].size(), 260);
}
