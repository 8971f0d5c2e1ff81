// TMPHDataObject and TMPHEnumFormatETC: formats, layouts and result codes.
#include "hexeditor/ex/mphdataobject.h"
#include "hexeditor/ex/mphenumformatetc.h"

#include <QDateTime>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

TComPtr<TMPHDataObject> MakeObject(const QByteArray& bytes, bool hex = false, bool swap = false,
                                   const QString& name = QStringLiteral("fw.bin"))
{
    TMemoryStream s;
    s.Write(bytes.constData(), bytes.size());
    s.SetPosition(1);
    TComPtr<TMPHDataObject> object(new TMPHDataObject(&s, 0, int32_t(bytes.size()), name, hex, swap));
    EXPECT_EQ(s.Position(), 1) << "the source keeps its position";
    return object;
}

QByteArray Get(IDataObject* object, CLIPFORMAT format, int32_t index = -1)
{
    TFormatEtc fe = FormatEtcFor(format);
    fe.lindex = index;
    TStgMedium m;
    const HRESULT hr = object->GetData(fe, m);
    EXPECT_EQ(hr, S_OK) << format;
    if (hr != S_OK)
        return QByteArray("<failed>");
    EXPECT_EQ(m.tymed, TYMED_HGLOBAL);
    EXPECT_EQ(m.pUnkForRelease, nullptr);
    QByteArray bytes;
    {
        TGlobalLock lock(m.hGlobal);
        bytes = QByteArray(reinterpret_cast<const char*>(lock.Data()), qsizetype(lock.Size()));
    }
    ReleaseStgMedium(m);
    return bytes;
}

} // namespace

TEST(MPHDataObject, BytesWithAZeroAsPlainTextAndOwnFormat)
{
    auto object = MakeObject(QByteArray("\x41\x00\x42", 3));
    EXPECT_EQ(Get(object.Get(), CF_TEXT), QByteArray("A\0", 2));
    EXPECT_EQ(Get(object.Get(), OwnClipboardFormat), QByteArray("MPTH\x01\x00\x01\x00\x03\x00\x00\x00\x41\x00\x42", 15));
    EXPECT_EQ(Get(object.Get(), FileContentsFormat), QByteArray("\x41\x00\x42", 3));
}

TEST(MPHDataObject, HexTextOfThreeBytesIsSevenBytes)
{
    EXPECT_EQ(Get(MakeObject(QByteArray("\x00\x1F\xA5", 3), true).Get(), CF_TEXT), QByteArray("001FA5\0", 7));
    EXPECT_EQ(Get(MakeObject(QByteArray("\x00\x1F\xA5", 3), true, true).Get(), CF_TEXT), QByteArray("00F15A\0", 7));
}

TEST(MPHDataObject, DescriptorNamesAndTheFileGroupDescriptor)
{
    EXPECT_EQ(MakeObject("x")->DescriptorName(), QStringLiteral("Dump of fw.bin"));
    EXPECT_EQ(MakeObject("x", false, false, QStringLiteral("Untitled"))->DescriptorName(),
              QStringLiteral("Dump of Untitled.bin"));
    EXPECT_EQ(MakeObject("x", false, false, QStringLiteral("a.tar.gz"))->DescriptorName(),
              QStringLiteral("Dump of a.tar.bin"));

    const QString longName = QString(300, QLatin1Char('n'));
    auto object = MakeObject("12345", false, false, longName);
    EXPECT_EQ(object->DescriptorName().size(), 255);
    const QByteArray fgd = Get(object.Get(), FileGroupDescriptorFormat);
    ASSERT_EQ(fgd.size(), 336);
    EXPECT_EQ(qFromLittleEndian<uint32_t>(fgd.constData()), 1u);
    EXPECT_EQ(qFromLittleEndian<uint32_t>(fgd.constData() + 4), 0x60u);
    EXPECT_EQ(qFromLittleEndian<uint32_t>(fgd.constData() + 72), 5u);
    EXPECT_EQ(QByteArray(fgd.constData() + 76).size(), 255) << "the 255 characters survive";
    // Last-write time: now, as a FILETIME.
    const uint64_t ft = qFromLittleEndian<uint64_t>(fgd.constData() + 60);
    const int64_t nowFt = (QDateTime::currentMSecsSinceEpoch() + 11644473600000LL) * 10000;
    EXPECT_LT(std::llabs(int64_t(ft) - nowFt), 600000000LL) << "within a minute";
}

TEST(MPHDataObject, EmptyObjectsStayEmpty)
{
    TComPtr<TMPHDataObject> none(new TMPHDataObject(nullptr, 0, 5, QStringLiteral("x"), false, false));
    EXPECT_EQ(none->DataCount(), 0);
    EXPECT_TRUE(none->DescriptorName().isEmpty());
    EXPECT_EQ(Get(none.Get(), CF_TEXT), QByteArray("\0", 1));
    EXPECT_EQ(Get(none.Get(), OwnClipboardFormat).size(), 12);
}

TEST(MPHDataObject, SnapshotDoesNotFollowTheSource)
{
    TMemoryStream s;
    s.Write("abc", 3);
    TComPtr<TMPHDataObject> object(new TMPHDataObject(&s, 1, 2, QStringLiteral("x"), false, false));
    s.SetPosition(1);
    s.Write("ZZ", 2);
    EXPECT_EQ(Get(object.Get(), FileContentsFormat), QByteArray("bc"));
}

TEST(MPHDataObject, QueryGetDataChecksInOrder)
{
    auto object = MakeObject("x");
    TFormatEtc fe = FormatEtcFor(9999);
    fe.dwAspect = DVASPECT_ICON;
    fe.tymed = TYMED_GDI;
    fe.lindex = 5;
    EXPECT_EQ(object->QueryGetData(fe), DV_E_DVASPECT);
    fe.dwAspect = DVASPECT_CONTENT;
    EXPECT_EQ(object->QueryGetData(fe), DV_E_TYMED);
    fe.tymed = TYMED_GDI | TYMED_HGLOBAL;
    EXPECT_EQ(object->QueryGetData(fe), DV_E_LINDEX);
    fe.lindex = 0;
    EXPECT_EQ(object->QueryGetData(fe), DV_E_FORMATETC);
    fe.lindex = 5;
    fe.cfFormat = FileContentsFormat;
    EXPECT_EQ(object->QueryGetData(fe), S_OK) << "file contents accept any index";
    fe.cfFormat = CF_TEXT;
    EXPECT_EQ(object->QueryGetData(fe), DV_E_LINDEX);

    TStgMedium m;
    m.tymed = 77;
    m.hGlobal = reinterpret_cast<HGLOBAL>(0x1);
    EXPECT_EQ(object->GetData(fe, m), DV_E_LINDEX);
    EXPECT_EQ(m.tymed, TYMED_NULL) << "the medium is cleared first";
    EXPECT_EQ(m.hGlobal, nullptr);
}

TEST(MPHDataObject, OutOfMemoryIsReportedAndLeavesNothingBehind)
{
    auto object = MakeObject("abc");
    SetGlobalAllocFailures(1);
    TStgMedium m;
    EXPECT_EQ(object->GetData(FormatEtcFor(CF_TEXT), m), E_OUTOFMEMORY);
    EXPECT_EQ(m.hGlobal, nullptr);
    EXPECT_EQ(Get(object.Get(), CF_TEXT), QByteArray("abc\0", 4)) << "the next request works again";
}

TEST(MPHDataObject, OtherOperationsAndResultCodes)
{
    auto object = MakeObject("x");
    TStgMedium m;
    EXPECT_EQ(object->GetDataHere(FormatEtcFor(CF_TEXT), m), DV_E_FORMATETC);
    TFormatEtc in = FormatEtcFor(CF_TEXT), out;
    in.ptd = 1234;
    EXPECT_EQ(object->GetCanonicalFormatEtc(in, out), DATA_S_SAMEFORMATETC);
    EXPECT_EQ(out.ptd, 0u);
    EXPECT_EQ(out.cfFormat, CF_TEXT);
    EXPECT_EQ(object->DAdvise(in, 0, nullptr, nullptr), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(object->DUnadvise(1), OLE_E_ADVISENOTSUPPORTED);
    IEnumSTATDATA* stat = reinterpret_cast<IEnumSTATDATA*>(0x1);
    EXPECT_EQ(object->EnumDAdvise(&stat), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(stat, nullptr);
    IEnumFORMATETC* e = reinterpret_cast<IEnumFORMATETC*>(0x1);
    EXPECT_EQ(object->EnumFormatEtc(DATADIR_SET, &e), E_NOTIMPL);
    EXPECT_EQ(e, nullptr);
}

TEST(MPHDataObject, SetDataTakesOnlyPerformedEffects)
{
    auto object = MakeObject("x");
    auto medium = [](uint32_t effect) {
        TStgMedium m;
        m.tymed = TYMED_HGLOBAL;
        m.hGlobal = GlobalAlloc(GHND, 4);
        const uint32_t v = qToLittleEndian(effect);
        std::memcpy(GlobalLock(m.hGlobal), &v, 4);
        GlobalUnlock(m.hGlobal);
        return m;
    };
    TStgMedium m = medium(DROPEFFECT_MOVE);
    EXPECT_EQ(object->SetData(FormatEtcFor(CF_TEXT), m, true), E_NOTIMPL);
    EXPECT_EQ(m.hGlobal, nullptr) << "released although refused";
    EXPECT_FALSE(object->PerformedEffectSet());

    m = medium(DROPEFFECT_MOVE);
    EXPECT_EQ(object->SetData(FormatEtcFor(LogicalPerformedDropEffectFormat), m, false), S_OK);
    EXPECT_NE(m.hGlobal, nullptr) << "kept when not asked to release";
    ReleaseStgMedium(m);
    EXPECT_TRUE(object->PerformedEffectSet());
    EXPECT_EQ(object->PerformedEffect(), DROPEFFECT_MOVE);
}

TEST(MPHEnumFormatETC, FourFormatsInOrderWithSkipNextCloneReset)
{
    TComPtr<IEnumFORMATETC> e;
    ASSERT_EQ(MakeObject("x")->EnumFormatEtc(DATADIR_GET, e.Out()), S_OK);
    TFormatEtc list[5];
    uint32_t fetched = 0;
    EXPECT_EQ(e->Next(5, list, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 4u);
    EXPECT_EQ(list[0].cfFormat, OwnClipboardFormat);
    EXPECT_EQ(list[1].cfFormat, CF_TEXT);
    EXPECT_EQ(list[2].cfFormat, FileGroupDescriptorFormat);
    EXPECT_EQ(list[3].cfFormat, FileContentsFormat);
    for (const TFormatEtc& fe : list) {
        if (&fe == &list[4])
            break;
        EXPECT_EQ(fe.dwAspect, DVASPECT_CONTENT);
        EXPECT_EQ(fe.lindex, -1);
        EXPECT_EQ(fe.tymed, TYMED_HGLOBAL);
        EXPECT_EQ(fe.ptd, 0u);
    }

    TComPtr<TMPHEnumFormatETC> owner(new TMPHEnumFormatETC);
    TMPHEnumFormatETC& fresh = *owner.Get();
    EXPECT_EQ(fresh.Skip(4), S_OK);
    EXPECT_EQ(fresh.Next(1, list, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(fresh.Reset(), S_OK);
    EXPECT_EQ(fresh.Skip(5), S_FALSE);
    EXPECT_EQ(fresh.Cursor(), 0) << "a refused skip leaves the cursor";
    EXPECT_EQ(fresh.Skip(2), S_OK);
    TComPtr<IEnumFORMATETC> clone;
    ASSERT_EQ(fresh.Clone(clone.Out()), S_OK);
    EXPECT_EQ(clone->Next(1, list, nullptr), S_OK);
    EXPECT_EQ(list[0].cfFormat, FileGroupDescriptorFormat);
}
