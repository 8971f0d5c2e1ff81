// The bridge between data objects and Qt's clipboard (offscreen platform).
#include "platform/core/dropfiles.h"
#include "platform/oleclipboard.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <map>

namespace {

// A data object offering fixed blocks per format, counting GetData calls.
class TBlocksObject final : public TInterfacedObject<IDataObject>
{
public:
    std::map<CLIPFORMAT, QByteArray> blocks;
    mutable int getDataCalls = 0;

    HRESULT GetData(const TFormatEtc& f, TStgMedium& m) override
    {
        ++getDataCalls;
        m = TStgMedium();
        auto it = blocks.find(f.cfFormat);
        if (it == blocks.end())
            return DV_E_FORMATETC;
        m.tymed = TYMED_HGLOBAL;
        m.hGlobal = GlobalAlloc(GHND, it->second.size());
        std::memcpy(GlobalLock(m.hGlobal), it->second.constData(), it->second.size());
        GlobalUnlock(m.hGlobal);
        return S_OK;
    }
    HRESULT GetDataHere(const TFormatEtc&, TStgMedium&) override { return E_NOTIMPL; }
    HRESULT QueryGetData(const TFormatEtc& f) override { return blocks.count(f.cfFormat) ? S_OK : DV_E_FORMATETC; }
    HRESULT GetCanonicalFormatEtc(const TFormatEtc& in, TFormatEtc& out) override
    {
        out = in;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT SetData(const TFormatEtc&, TStgMedium&, bool) override { return E_NOTIMPL; }
    HRESULT EnumFormatEtc(uint32_t dir, IEnumFORMATETC** e) override
    {
        *e = nullptr;
        if (dir != DATADIR_GET)
            return E_NOTIMPL;
        QVector<TFormatEtc> list;
        for (const auto& [f, b] : blocks)
            list.append(FormatEtcFor(f));
        *e = new TFormatEtcListEnumerator(list);
        (*e)->AddRef();
        return S_OK;
    }
    HRESULT DAdvise(const TFormatEtc&, uint32_t, IAdviseSink*, uint32_t*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT DUnadvise(uint32_t) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
};

QByteArray Fetch(IDataObject* object, CLIPFORMAT format)
{
    TStgMedium m;
    if (object->GetData(FormatEtcFor(format, format == CF_BITMAP ? TYMED_GDI : TYMED_HGLOBAL), m) != S_OK)
        return QByteArray();
    QByteArray bytes;
    if (m.tymed == TYMED_HGLOBAL) {
        TGlobalLock lock(m.hGlobal);
        bytes = QByteArray(reinterpret_cast<const char*>(lock.Data()), lock.Size());
    } else {
        bytes = BitmapDib(m.hGdi);
    }
    ReleaseStgMedium(m);
    return bytes;
}

QVector<CLIPFORMAT> FormatsOf(IDataObject* object)
{
    QVector<CLIPFORMAT> list;
    for (const TFormatEtc& fe : OfferedFormats(object))
        list.append(fe.cfFormat);
    return list;
}

} // namespace

TEST(OleMimeData, RendersOnlyWhenAskedAndMapsFormats)
{
    const CLIPFORMAT own = RegisterClipboardFormat(QStringLiteral("Bridge Test Format"));
    const CLIPFORMAT contents = RegisterClipboardFormat(QStringLiteral("FileContents"));
    TComPtr<TBlocksObject> object(new TBlocksObject);
    object->blocks[CF_TEXT] = QByteArray("caf\xe9\0junk", 9);
    object->blocks[own] = QByteArray("\x01\x00\x02", 3);
    object->blocks[contents] = QByteArray("\x00\xff", 2);

    TOleMimeData mime(object.Get());
    EXPECT_EQ(object->getDataCalls, 0) << "building the MIME view converts nothing";
    const QStringList formats = mime.formats();
    EXPECT_TRUE(formats.contains(QStringLiteral("text/plain")));
    EXPECT_TRUE(formats.contains(WindowsMimeType(QStringLiteral("Bridge Test Format"))));
    EXPECT_TRUE(formats.contains(QStringLiteral("application/octet-stream")));
    EXPECT_EQ(object->getDataCalls, 0);

    EXPECT_EQ(mime.text(), QStringLiteral("caf\u00e9")) << "8-bit text up to its zero, Windows-1252 to UTF-8";
    EXPECT_EQ(object->getDataCalls, 1);
    EXPECT_EQ(mime.data(WindowsMimeType(QStringLiteral("Bridge Test Format"))), QByteArray("\x01\x00\x02", 3));
    EXPECT_EQ(mime.data(QStringLiteral("application/octet-stream")), QByteArray("\x00\xff", 2));
}

TEST(OleMimeData, UnicodeTextIsPreferredAndUnterminatedTextEndsAtTheBlock)
{
    TComPtr<TBlocksObject> object(new TBlocksObject);
    object->blocks[CF_TEXT] = "ansi";
    object->blocks[CF_UNICODETEXT] = QByteArray("w\0i\0d\0e", 7); // odd size, no terminator
    TOleMimeData mime(object.Get());
    EXPECT_EQ(mime.text(), QStringLiteral("wid"));
}

TEST(OleMimeData, FileListBecomesUriList)
{
    TComPtr<TBlocksObject> object(new TBlocksObject);
    object->blocks[CF_HDROP] = BuildDropFiles({QStringLiteral("/tmp/one.bin"), QStringLiteral("/tmp/two three")});
    TOleMimeData mime(object.Get());
    const QList<QUrl> urls = mime.urls();
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(urls[0].toLocalFile(), QStringLiteral("/tmp/one.bin"));
    EXPECT_EQ(urls[1].toLocalFile(), QStringLiteral("/tmp/two three"));
}

TEST(MimeDataObject, TextOffersFourFormatsWithTheirEncodings)
{
    QMimeData data;
    data.setText(QStringLiteral("\u00e9\u2500x"));
    TComPtr<TMimeDataObject> object(new TMimeDataObject(&data));
    EXPECT_EQ(FormatsOf(object.Get()), (QVector<CLIPFORMAT>{CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT, CF_LOCALE}));
    EXPECT_EQ(Fetch(object.Get(), CF_TEXT), QByteArray("\xe9?x\0", 4)) << "box drawing has no Windows-1252 form";
    EXPECT_EQ(Fetch(object.Get(), CF_OEMTEXT), QByteArray("\x82\xc4x\0", 4));
    EXPECT_EQ(Fetch(object.Get(), CF_UNICODETEXT), QByteArray("\xe9\x00\x00\x25x\0\0\0", 8));
    EXPECT_EQ(Fetch(object.Get(), CF_LOCALE), QByteArray("\x09\x04\0\0", 4));
    EXPECT_EQ(object->QueryGetData(FormatEtcFor(CF_DIB)), DV_E_FORMATETC);
    TFormatEtc aspect = FormatEtcFor(CF_TEXT);
    aspect.dwAspect = DVASPECT_ICON;
    EXPECT_EQ(object->QueryGetData(aspect), DV_E_DVASPECT);
}

TEST(MimeDataObject, TextAsCarriedIsOneFormatThatLosesNothing)
{
    QMimeData latin;
    latin.setText(QStringLiteral("Gr\u00fc\u00dfe \u20ac"));
    TComPtr<TMimeDataObject> eightBit(new TMimeDataObject(&latin, TForeignText::ftAsCarried));
    EXPECT_EQ(FormatsOf(eightBit.Get()), (QVector<CLIPFORMAT>{CF_TEXT}));
    EXPECT_EQ(Fetch(eightBit.Get(), CF_TEXT), QByteArray("Gr\xfc\xdf" "e \x80\0", 8));
    EXPECT_EQ(eightBit->QueryGetData(FormatEtcFor(CF_OEMTEXT)), DV_E_FORMATETC);
    EXPECT_EQ(eightBit->QueryGetData(FormatEtcFor(CF_LOCALE)), DV_E_FORMATETC);

    // A character without an 8-bit form: the unicode text only, nothing turns into '?'.
    QMimeData wide;
    wide.setText(QStringLiteral("x\u2500"));
    TComPtr<TMimeDataObject> unicode(new TMimeDataObject(&wide, TForeignText::ftAsCarried));
    EXPECT_EQ(FormatsOf(unicode.Get()), (QVector<CLIPFORMAT>{CF_UNICODETEXT}));
    EXPECT_EQ(Fetch(unicode.Get(), CF_UNICODETEXT), QByteArray("x\0\x00\x25\0\0", 6));

    // Other types stay beside the text.
    QMimeData page;
    page.setHtml(QStringLiteral("<b>hi</b>"));
    page.setText(QStringLiteral("hi"));
    TComPtr<TMimeDataObject> both(new TMimeDataObject(&page, TForeignText::ftAsCarried));
    QVector<CLIPFORMAT> formats = FormatsOf(both.Get());
    std::sort(formats.begin(), formats.end());
    EXPECT_EQ(formats, (QVector<CLIPFORMAT>{CF_TEXT, RegisterClipboardFormat(QStringLiteral("HTML Format"))}));

    // The default stays the four derived formats.
    TComPtr<TMimeDataObject> derived(new TMimeDataObject(&latin));
    EXPECT_EQ(FormatsOf(derived.Get()).size(), 4);
}

TEST(MimeDataObject, OnlyLocalFilesMakeAFileList)
{
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.invalid/x")), QUrl(QStringLiteral("not a url ::"))});
    TComPtr<TMimeDataObject> none(new TMimeDataObject(&remote));
    EXPECT_FALSE(FormatsOf(none.Get()).contains(CF_HDROP));

    QMimeData mixed;
    mixed.setUrls({QUrl(QStringLiteral("https://example.invalid/x")), QUrl::fromLocalFile(QStringLiteral("/tmp/f"))});
    TComPtr<TMimeDataObject> object(new TMimeDataObject(&mixed));
    const QByteArray block = Fetch(object.Get(), CF_HDROP);
    EXPECT_EQ(ParseDropFiles(reinterpret_cast<const uint8_t*>(block.constData()), block.size()),
              QStringList{QStringLiteral("/tmp/f")});
}

TEST(MimeDataObject, ImagesBecomeDibAndBitmapAndBack)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    QMimeData data;
    data.setImageData(image);
    TComPtr<TMimeDataObject> object(new TMimeDataObject(&data));
    const QVector<CLIPFORMAT> formats = FormatsOf(object.Get());
    EXPECT_TRUE(formats.contains(CF_DIB));
    EXPECT_TRUE(formats.contains(CF_BITMAP));
    const QByteArray dib = Fetch(object.Get(), CF_DIB);
    ASSERT_GT(dib.size(), 40);
    const QImage back = QImage::fromData(BitmapFileFromDib(dib), "BMP");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), image.size());
    EXPECT_EQ(back.pixel(2, 1), image.pixel(2, 1));
    EXPECT_EQ(Fetch(object.Get(), CF_BITMAP), dib);

    // And the other way: a data object's DIB read by Qt as PNG.
    TComPtr<TBlocksObject> source(new TBlocksObject);
    source->blocks[CF_DIB] = dib;
    TOleMimeData mime(source.Get());
    const QImage png = QImage::fromData(mime.data(QStringLiteral("image/png")), "PNG");
    EXPECT_EQ(png.pixel(0, 0), image.pixel(0, 0));
}

TEST(MimeDataObject, RegisteredFormatsTravelByName)
{
    QMimeData data;
    data.setData(WindowsMimeType(QStringLiteral("Bridge Named")), QByteArray("\0\1\2", 3));
    TComPtr<TMimeDataObject> object(new TMimeDataObject(&data));
    const CLIPFORMAT id = RegisterClipboardFormat(QStringLiteral("Bridge Named"));
    EXPECT_EQ(FormatsOf(object.Get()), QVector<CLIPFORMAT>{id});
    EXPECT_EQ(Fetch(object.Get(), id), QByteArray("\0\1\2", 3));
    EXPECT_EQ(FormatNameOfWindowsMime(QStringLiteral("text/plain")), QString());
}

TEST(MimeDataObject, DataGoneMeansFailureNotACrash)
{
    auto* data = new QMimeData;
    data->setText(QStringLiteral("x"));
    TComPtr<TMimeDataObject> object(new TMimeDataObject(data));
    delete data;
    TStgMedium m;
    EXPECT_EQ(object->GetData(FormatEtcFor(CF_TEXT), m), E_FAIL);
    EXPECT_EQ(m.hGlobal, nullptr);
}

TEST(OleClipboard, SetGetIsCurrentFlush)
{
    TComPtr<TBlocksObject> object(new TBlocksObject);
    object->blocks[CF_TEXT] = QByteArray("hello\0", 6);
    ASSERT_EQ(OleSetClipboard(object.Get()), S_OK);
    EXPECT_EQ(OleIsCurrentClipboard(object.Get()), S_OK);
    EXPECT_EQ(object->RefCount(), 2u) << "the clipboard holds its own reference";

    TComPtr<IDataObject> got;
    ASSERT_EQ(OleGetClipboard(got.Out()), S_OK);
    EXPECT_EQ(got.Get(), static_cast<IDataObject*>(object.Get())) << "our own object comes back as itself";
    got.Reset();

    ASSERT_EQ(OleFlushClipboard(), S_OK);
    EXPECT_EQ(OleIsCurrentClipboard(object.Get()), S_FALSE);
    EXPECT_EQ(object->RefCount(), 1u) << "flushing lets go of the object";
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("hello"));

    // The flushed data comes back as a foreign object with the text formats.
    ASSERT_EQ(OleGetClipboard(got.Out()), S_OK);
    EXPECT_TRUE(FormatsOf(got.Get()).contains(CF_UNICODETEXT));
    EXPECT_EQ(Fetch(got.Get(), CF_TEXT), QByteArray("hello\0", 6));

    ASSERT_EQ(OleSetClipboard(nullptr), S_OK);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}
