#include "platform/core/oletypes.h"

#include <QHash>
#include <QMutex>
#include <cstring>

EOleError::EOleError(HRESULT code)
    : Exception(QStringLiteral("OLE error %1")
                    .arg(QString::number(uint32_t(code), 16).toUpper().rightJustified(8, QLatin1Char('0')))),
      m_code(code)
{
}

HRESULT OleCheck(HRESULT code)
{
    if (Failed(code))
        throw EOleError(code);
    return code;
}

void ReleaseStgMedium(TStgMedium& medium)
{
    if (medium.pUnkForRelease) {
        medium.pUnkForRelease->Release();
    } else {
        switch (medium.tymed) {
        case TYMED_HGLOBAL:
            GlobalFree(medium.hGlobal);
            break;
        case TYMED_MFPICT:
            // The picture structure owns its metafile.
            if (medium.hGlobal) {
                TGlobalLock lock(medium.hGlobal);
                if (lock.Size() >= sizeof(TMetaFilePict)) {
                    TMetaFilePict pict;
                    std::memcpy(&pict, lock.Data(), sizeof pict);
                    DeleteGdiObject(pict.hMF);
                }
            }
            GlobalFree(medium.hGlobal);
            break;
        case TYMED_GDI:
        case TYMED_ENHMF:
            DeleteGdiObject(medium.hGdi);
            break;
        default:
            break;
        }
    }
    medium = TStgMedium();
}

HRESULT TFormatEtcListEnumerator::Next(uint32_t count, TFormatEtc* descriptions, uint32_t* fetched)
{
    uint32_t copied = 0;
    while (copied < count && m_cursor < m_list.size())
        descriptions[copied++] = m_list[m_cursor++];
    if (fetched)
        *fetched = copied;
    return copied == count ? S_OK : S_FALSE;
}

HRESULT TFormatEtcListEnumerator::Skip(uint32_t count)
{
    if (count > uint32_t(m_list.size() - m_cursor))
        return S_FALSE;
    m_cursor += int(count);
    return S_OK;
}

HRESULT TFormatEtcListEnumerator::Reset()
{
    m_cursor = 0;
    return S_OK;
}

HRESULT TFormatEtcListEnumerator::Clone(IEnumFORMATETC** clone)
{
    if (!clone)
        return E_INVALIDARG;
    *clone = new TFormatEtcListEnumerator(m_list, m_cursor);
    (*clone)->AddRef();
    return S_OK;
}

QVector<TFormatEtc> OfferedFormats(IDataObject* object)
{
    QVector<TFormatEtc> list;
    if (!object)
        return list;
    TComPtr<IEnumFORMATETC> enumerator;
    if (Failed(object->EnumFormatEtc(DATADIR_GET, enumerator.Out())) || !enumerator)
        return list;
    TFormatEtc fe;
    // A misbehaving enumerator that never ends is cut off; no real object
    // offers this many formats.
    constexpr int MaxFormats = 4096;
    while (list.size() < MaxFormats && enumerator->Next(1, &fe, nullptr) == S_OK)
        list.append(fe);
    return list;
}

namespace {

struct TFormatRegistry
{
    QMutex mutex;
    QHash<QString, CLIPFORMAT> byKey;   // case-folded name -> number
    QHash<CLIPFORMAT, QString> names;   // number -> name as first registered
    uint32_t next = 0xC000;
};

TFormatRegistry& Registry()
{
    static TFormatRegistry registry;
    return registry;
}

int g_oleInitCount = 0;

} // namespace

CLIPFORMAT RegisterClipboardFormat(const QString& name)
{
    if (name.isEmpty())
        return 0;
    TFormatRegistry& r = Registry();
    QMutexLocker lock(&r.mutex);
    const QString key = name.toCaseFolded();
    auto it = r.byKey.constFind(key);
    if (it != r.byKey.constEnd())
        return *it;
    if (r.next > 0xFFFF)
        return 0;
    const auto id = CLIPFORMAT(r.next++);
    r.byKey.insert(key, id);
    r.names.insert(id, name);
    return id;
}

QString GetClipboardFormatName(CLIPFORMAT format)
{
    TFormatRegistry& r = Registry();
    QMutexLocker lock(&r.mutex);
    return r.names.value(format);
}

QString StandardClipboardFormatName(CLIPFORMAT format)
{
    static const char* const names[] = {"CF_TEXT", "CF_BITMAP", "CF_METAFILEPICT", "CF_SYLK",
                                        "CF_DIF", "CF_TIFF", "CF_OEMTEXT", "CF_DIB",
                                        "CF_PALETTE", "CF_PENDATA", "CF_RIFF", "CF_WAVE",
                                        "CF_UNICODETEXT", "CF_ENHMETAFILE", "CF_HDROP", "CF_LOCALE"};
    if (format < 1 || format > 16)
        return QString();
    return QString::fromLatin1(names[format - 1]);
}

HRESULT OleInitialize() { return g_oleInitCount++ == 0 ? S_OK : S_FALSE; }

void OleUninitialize()
{
    if (g_oleInitCount > 0)
        --g_oleInitCount;
}

int OleInitCount() { return g_oleInitCount; }
