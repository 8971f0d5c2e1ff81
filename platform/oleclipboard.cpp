#include "platform/oleclipboard.h"

#include "platform/core/codepages.h"
#include "platform/core/dropfiles.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QUrl>
#include <QtEndian>
#include <cstring>

namespace {

const QString MimeText = QStringLiteral("text/plain");
const QString MimeUriList = QStringLiteral("text/uri-list");
const QString MimeHtml = QStringLiteral("text/html");
const QString MimeRtf = QStringLiteral("text/rtf");
const QString MimePng = QStringLiteral("image/png");
const QString MimeBmp = QStringLiteral("image/bmp");
const QString MimeOctets = QStringLiteral("application/octet-stream");

CLIPFORMAT HtmlFormatId() { return RegisterClipboardFormat(QStringLiteral("HTML Format")); }
CLIPFORMAT RtfFormatId() { return RegisterClipboardFormat(QStringLiteral("Rich Text Format")); }
CLIPFORMAT FileContentsId() { return RegisterClipboardFormat(QStringLiteral("FileContents")); }

// ---- 8-bit and UTF-16 text inside a block (always within its size) ----------------
QByteArray UpToZero(const uint8_t* p, size_t size)
{
    const void* zero = std::memchr(p, 0, size);
    return QByteArray(reinterpret_cast<const char*>(p),
                      zero ? qsizetype(static_cast<const uint8_t*>(zero) - p) : qsizetype(size));
}

QString UnicodeUpToZero(const uint8_t* p, size_t size)
{
    QString text;
    for (size_t i = 0; i + 2 <= size; i += 2) {
        char16_t c;
        std::memcpy(&c, p + i, 2);
        c = qFromLittleEndian(c);
        if (c == 0)
            break;
        text.append(QChar(c));
    }
    return text;
}

QString OemToQString(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes)
        text.append(QChar(OemToUnicode(uint8_t(c))));
    return text;
}

QByteArray QStringToOem(const QString& text)
{
    static const QHash<char16_t, uint8_t> table = [] {
        QHash<char16_t, uint8_t> t;
        for (int b = 255; b >= 0; --b)
            t.insert(OemToUnicode(uint8_t(b)), uint8_t(b));
        return t;
    }();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text)
        bytes.append(char(table.value(c.unicode(), '?')));
    return bytes;
}

QByteArray Utf16Le(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2 + 2);
    for (QChar c : text) {
        const char16_t u = qToLittleEndian(char16_t(c.unicode()));
        bytes.append(reinterpret_cast<const char*>(&u), 2);
    }
    return bytes;
}

QByteArray ImageAs(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        return QByteArray();
    return bytes;
}

QStringList LocalFiles(const QMimeData* data)
{
    QStringList files;
    for (const QUrl& url : data->urls())
        if (url.isValid() && url.isLocalFile() && !url.toLocalFile().isEmpty())
            files.append(url.toLocalFile());
    return files;
}

HGLOBAL BlockOf(const QByteArray& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size_t(bytes.size()));
    if (block && !bytes.isEmpty()) {
        TGlobalLock lock(block);
        std::memcpy(lock.Data(), bytes.constData(), size_t(bytes.size()));
    }
    return block;
}

} // namespace

QString WindowsMimeType(const QString& formatName)
{
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(formatName);
}

QString FormatNameOfWindowsMime(const QString& mimeType)
{
    static const QRegularExpression re(QStringLiteral("^application/x-qt-windows-mime;value=\"(.*)\"$"));
    const auto m = re.match(mimeType);
    return m.hasMatch() ? m.captured(1) : QString();
}

// ==== data object -> Qt ==============================================================

TOleMimeData::TOleMimeData(IDataObject* object) : m_object(object) { BuildMappings(); }

TOleMimeData::~TOleMimeData() = default;

void TOleMimeData::BuildMappings()
{
    const QVector<TFormatEtc> offered = OfferedFormats(m_object.Get());
    auto add = [this](const QString& mime, const TFormatEtc& fe, bool preferred) {
        for (TMapping& m : m_mappings)
            if (m.mimeType == mime) {
                preferred ? m.sources.prepend(fe) : m.sources.append(fe);
                return;
            }
        m_mappings.append({mime, {fe}});
    };
    for (const TFormatEtc& fe : offered) {
        const CLIPFORMAT f = fe.cfFormat;
        if (f == CF_UNICODETEXT)
            add(MimeText, fe, true);
        else if (f == CF_TEXT || f == CF_OEMTEXT)
            add(MimeText, fe, false);
        else if (f == CF_HDROP)
            add(MimeUriList, fe, false);
        else if (f == CF_DIB || f == CF_BITMAP) {
            add(MimePng, fe, f == CF_DIB);
            add(MimeBmp, fe, f == CF_DIB);
        } else if (f >= 0xC000) {
            const QString name = GetClipboardFormatName(f);
            if (name.isEmpty())
                continue;
            add(WindowsMimeType(name), fe, false);
            if (f == HtmlFormatId())
                add(MimeHtml, fe, false);
            else if (f == RtfFormatId())
                add(MimeRtf, fe, false);
            else if (f == FileContentsId() && (fe.lindex == -1 || fe.lindex == 0))
                add(MimeOctets, fe, false);
        }
    }
}

QStringList TOleMimeData::formats() const
{
    QStringList list;
    for (const TMapping& m : m_mappings)
        list.append(m.mimeType);
    return list;
}

bool TOleMimeData::hasFormat(const QString& mimeType) const
{
    for (const TMapping& m : m_mappings)
        if (m.mimeType == mimeType)
            return true;
    return false;
}

QVariant TOleMimeData::retrieveData(const QString& mimeType, QMetaType type) const
{
    for (const TMapping& m : m_mappings) {
        if (m.mimeType != mimeType)
            continue;
        const QByteArray bytes = Render(m);
        if (bytes.isNull())
            return QVariant();
        if (mimeType == MimeText && type.id() == QMetaType::QString)
            return QString::fromUtf8(bytes);
        return bytes;
    }
    return QVariant();
}

QByteArray TOleMimeData::Render(const TMapping& mapping) const
{
    for (const TFormatEtc& fe : mapping.sources) {
        TStgMedium medium;
        if (Failed(m_object->GetData(fe, medium)))
            continue;
        QByteArray raw;
        if (medium.tymed == TYMED_HGLOBAL) {
            TGlobalLock lock(medium.hGlobal);
            if (lock.Data())
                raw = QByteArray(reinterpret_cast<const char*>(lock.Data()), qsizetype(lock.Size()));
        } else if (medium.tymed == TYMED_GDI && fe.cfFormat == CF_BITMAP) {
            raw = BitmapDib(medium.hGdi);
        }
        ReleaseStgMedium(medium);
        if (raw.isNull())
            continue;

        const auto* p = reinterpret_cast<const uint8_t*>(raw.constData());
        const size_t n = size_t(raw.size());
        const CLIPFORMAT f = fe.cfFormat;
        if (mapping.mimeType == MimeText) {
            if (f == CF_UNICODETEXT)
                return UnicodeUpToZero(p, n).toUtf8();
            if (f == CF_OEMTEXT)
                return OemToQString(UpToZero(p, n)).toUtf8();
            return AnsiToQString(UpToZero(p, n)).toUtf8();
        }
        if (mapping.mimeType == MimeUriList) {
            QByteArray list;
            for (const QString& name : ParseDropFiles(p, n, 32767))
                list += QUrl::fromLocalFile(name).toEncoded() + "\r\n";
            return list;
        }
        if (mapping.mimeType == MimeBmp || mapping.mimeType == MimePng) {
            const QByteArray file = BitmapFileFromDib(raw);
            if (mapping.mimeType == MimeBmp)
                return file;
            const QImage image = QImage::fromData(file, "BMP");
            if (image.isNull())
                continue;
            return ImageAs(image, "PNG");
        }
        if (mapping.mimeType == MimeHtml || mapping.mimeType == MimeRtf)
            return UpToZero(p, n);
        return raw;
    }
    return QByteArray();
}

QMimeData* RenderMimeData(IDataObject* object)
{
    auto* rendered = new QMimeData;
    TOleMimeData lazy(object);
    for (const QString& mime : lazy.formats()) {
        const QByteArray bytes = lazy.data(mime);
        if (!bytes.isNull())
            rendered->setData(mime, bytes);
    }
    return rendered;
}

// ==== Qt -> data object ================================================================

namespace {

// One format a MIME type gives, with the medium it travels in and, for
// formats read through a MIME type of their own, that type.
struct TMimeFormat
{
    CLIPFORMAT format;
    uint32_t tymed;
    QString mimeType;
};

// The formats offered MIME types give, in the order of the types; every
// text type gives the four text formats once, every image type the two
// bitmap formats once. A file list counts whatever files it names.
QVector<TMimeFormat> MimeFormats(const QStringList& mimeTypes)
{
    QVector<TMimeFormat> formats;
    bool text = false, image = false;
    for (const QString& mime : mimeTypes) {
        const QString name = FormatNameOfWindowsMime(mime);
        if (!name.isEmpty()) {
            formats.append({RegisterClipboardFormat(name), TYMED_HGLOBAL, mime});
        } else if (mime.startsWith(MimeText) && !text) {
            text = true;
            for (CLIPFORMAT f : {CLIPFORMAT(CF_TEXT), CLIPFORMAT(CF_UNICODETEXT), CLIPFORMAT(CF_OEMTEXT),
                                 CLIPFORMAT(CF_LOCALE)})
                formats.append({f, TYMED_HGLOBAL, QString()});
        } else if (mime == MimeUriList) {
            formats.append({CF_HDROP, TYMED_HGLOBAL, QString()});
        } else if ((mime.startsWith(QLatin1String("image/")) || mime == QLatin1String("application/x-qt-image")) &&
                   !image) {
            image = true;
            formats.append({CF_DIB, TYMED_HGLOBAL, QString()});
            formats.append({CF_BITMAP, TYMED_GDI, QString()});
        } else if (mime == MimeHtml) {
            formats.append({HtmlFormatId(), TYMED_HGLOBAL, mime});
        } else if (mime == MimeRtf || mime == QLatin1String("application/rtf")) {
            formats.append({RtfFormatId(), TYMED_HGLOBAL, mime});
        }
    }
    return formats;
}

} // namespace

QVector<CLIPFORMAT> ClipFormatsOfMimeTypes(const QStringList& mimeTypes)
{
    QVector<CLIPFORMAT> formats;
    for (const TMimeFormat& f : MimeFormats(mimeTypes))
        if (f.format != 0 && !formats.contains(f.format))
            formats.append(f.format);
    return formats;
}

namespace {

// The one format a text carries: 8-bit text when every character has an
// 8-bit form, unicode text otherwise.
CLIPFORMAT CarriedTextFormat(const QString& text)
{
    for (QChar c : text) {
        uint8_t ansi = 0;
        if (!TryUnicodeToAnsi(c.unicode(), ansi))
            return CF_UNICODETEXT;
    }
    return CF_TEXT;
}

bool IsSynthesizedText(CLIPFORMAT format)
{
    return format == CF_TEXT || format == CF_UNICODETEXT || format == CF_OEMTEXT || format == CF_LOCALE;
}

} // namespace

TMimeDataObject::TMimeDataObject(const QMimeData* data, TForeignText text) : m_data(data)
{
    if (!data)
        return;
    CLIPFORMAT carried = 0;
    for (const TMimeFormat& f : MimeFormats(data->formats())) {
        // A list of addresses that names no local file is no file list.
        if (f.format == CF_HDROP && LocalFiles(data).isEmpty())
            continue;
        if (text == TForeignText::ftAsCarried && IsSynthesizedText(f.format)) {
            if (carried == 0)
                carried = CarriedTextFormat(data->text());
            if (f.format != carried)
                continue;
        }
        AddFormat(f.format, f.tymed, f.mimeType);
    }
}

void TMimeDataObject::AddFormat(CLIPFORMAT format, uint32_t tymed, const QString& mimeType)
{
    if (format == 0)
        return;
    for (const TFormatEtc& fe : m_formats)
        if (fe.cfFormat == format)
            return;
    m_formats.append(FormatEtcFor(format, tymed));
    if (!mimeType.isEmpty())
        m_windowsMime.insert(format, mimeType);
}

QByteArray TMimeDataObject::BlockBytes(CLIPFORMAT format) const
{
    const QMimeData* data = m_data.data();
    if (!data)
        return QByteArray();
    const QString mime = m_windowsMime.value(format);
    switch (format) {
    case CF_TEXT:
        return QStringToAnsi(data->text()).append('\0');
    case CF_UNICODETEXT:
        return Utf16Le(data->text()).append(2, '\0');
    case CF_OEMTEXT:
        return QStringToOem(data->text()).append('\0');
    case CF_LOCALE: {
        const uint32_t id = qToLittleEndian(TextLocaleId);
        return QByteArray(reinterpret_cast<const char*>(&id), 4);
    }
    case CF_HDROP:
        return BuildDropFiles(LocalFiles(data));
    case CF_DIB: {
        const QByteArray file = ImageAs(qvariant_cast<QImage>(data->imageData()), "BMP");
        return file.size() > 14 ? file.mid(14) : QByteArray();
    }
    default:
        break;
    }
    if (mime.isEmpty())
        return QByteArray();
    QByteArray bytes = data->data(mime);
    // Text-like formats travel zero-terminated.
    if (format == HtmlFormatId() || format == RtfFormatId())
        bytes.append('\0');
    return bytes;
}

HRESULT TMimeDataObject::GetData(const TFormatEtc& format, TStgMedium& medium)
{
    medium = TStgMedium();
    const HRESULT check = QueryGetData(format);
    if (check != S_OK)
        return check;
    if (format.cfFormat == CF_BITMAP) {
        const QByteArray dib = BlockBytes(CF_DIB);
        if (dib.isEmpty())
            return E_FAIL;
        medium.tymed = TYMED_GDI;
        medium.hGdi = CreateBitmapFromDib(dib);
        return S_OK;
    }
    const QByteArray bytes = BlockBytes(format.cfFormat);
    if (bytes.isNull())
        return E_FAIL;
    HGLOBAL block = BlockOf(bytes);
    if (!block)
        return E_OUTOFMEMORY;
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block;
    return S_OK;
}

HRESULT TMimeDataObject::QueryGetData(const TFormatEtc& format)
{
    if (format.dwAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    for (const TFormatEtc& fe : m_formats)
        if (fe.cfFormat == format.cfFormat)
            return (fe.tymed & format.tymed) ? S_OK : DV_E_TYMED;
    return DV_E_FORMATETC;
}

IEnumFORMATETC* TMimeDataObject::NewFormatEnumerator() { return new TFormatEtcListEnumerator(m_formats); }

// ==== the clipboard ======================================================================

namespace {
QClipboard* SystemClipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}
} // namespace

HRESULT OleSetClipboard(IDataObject* object)
{
    QClipboard* clipboard = SystemClipboard();
    if (!clipboard)
        return CLIPBRD_E_CANT_OPEN;
    if (object)
        clipboard->setMimeData(new TOleMimeData(object));
    else
        clipboard->clear();
    return S_OK;
}

HRESULT OleGetClipboard(IDataObject** object, TForeignText text)
{
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    QClipboard* clipboard = SystemClipboard();
    if (!clipboard)
        return CLIPBRD_E_CANT_OPEN;
    const QMimeData* data = clipboard->mimeData();
    if (auto* own = qobject_cast<const TOleMimeData*>(data))
        *object = own->DataObject();
    else
        *object = new TMimeDataObject(data, text);
    (*object)->AddRef();
    return S_OK;
}

HRESULT OleFlushClipboard()
{
    QClipboard* clipboard = SystemClipboard();
    if (!clipboard)
        return CLIPBRD_E_CANT_OPEN;
    if (auto* own = qobject_cast<const TOleMimeData*>(clipboard->mimeData()))
        clipboard->setMimeData(RenderMimeData(own->DataObject()));
    return S_OK;
}

HRESULT OleIsCurrentClipboard(IDataObject* object)
{
    QClipboard* clipboard = SystemClipboard();
    if (!clipboard || !object)
        return S_FALSE;
    auto* own = qobject_cast<const TOleMimeData*>(clipboard->mimeData());
    return own && own->DataObject() == object ? S_OK : S_FALSE;
}
