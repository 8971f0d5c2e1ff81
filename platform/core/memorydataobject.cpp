#include "platform/core/memorydataobject.h"

#include <QtEndian>
#include <cstring>

namespace {

uint32_t PictHandle(const QByteArray& block)
{
    if (block.size() < int(sizeof(TMetaFilePict)))
        return 0;
    return qFromLittleEndian<uint32_t>(block.constData() + 12);
}

HGLOBAL NewBlock(const QByteArray& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size_t(bytes.size()));
    if (block && !bytes.isEmpty()) {
        TGlobalLock lock(block);
        std::memcpy(lock.Data(), bytes.constData(), size_t(bytes.size()));
    }
    return block;
}

} // namespace

TMemoryDataObject::~TMemoryDataObject()
{
    for (const TEntry& e : m_entries) {
        if (e.handle)
            DeleteGdiObject(e.handle);
        if (e.format.tymed == TYMED_MFPICT)
            DeleteGdiObject(PictHandle(e.bytes));
    }
}

const TMemoryDataObject::TEntry* TMemoryDataObject::Find(CLIPFORMAT format) const
{
    for (const TEntry& e : m_entries)
        if (e.format.cfFormat == format)
            return &e;
    return nullptr;
}

void TMemoryDataObject::Remove(CLIPFORMAT format)
{
    for (int i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].format.cfFormat == format) {
            if (m_entries[i].handle)
                DeleteGdiObject(m_entries[i].handle);
            if (m_entries[i].format.tymed == TYMED_MFPICT)
                DeleteGdiObject(PictHandle(m_entries[i].bytes));
            m_entries.remove(i);
            return;
        }
}

void TMemoryDataObject::SetBlock(CLIPFORMAT format, const QByteArray& bytes, uint32_t tymed, int32_t lindex)
{
    Remove(format);
    TEntry e{FormatEtcFor(format, tymed), bytes, 0};
    e.format.lindex = lindex;
    m_entries.append(e);
}

void TMemoryDataObject::SetHandle(CLIPFORMAT format, HGDIOBJ handle, uint32_t tymed)
{
    Remove(format);
    m_entries.append({FormatEtcFor(format, tymed), QByteArray(), handle});
}

HRESULT TMemoryDataObject::GetData(const TFormatEtc& format, TStgMedium& medium)
{
    ++GetDataCalls;
    medium = TStgMedium();
    if (Failed(FailGetData))
        return FailGetData;
    const HRESULT check = QueryGetData(format);
    if (check != S_OK)
        return check;
    const TEntry& e = *Find(format.cfFormat);
    switch (e.format.tymed) {
    case TYMED_GDI:
    case TYMED_ENHMF:
        medium.hGdi = CopyGdiObject(e.handle);
        if (!medium.hGdi)
            return E_FAIL;
        break;
    case TYMED_MFPICT: {
        QByteArray pict = e.bytes;
        if (const uint32_t mf = PictHandle(pict)) {
            const uint32_t copy = qToLittleEndian(CopyGdiObject(mf));
            std::memcpy(pict.data() + 12, &copy, 4);
        }
        medium.hGlobal = NewBlock(pict);
        if (!medium.hGlobal)
            return E_OUTOFMEMORY;
        break;
    }
    default:
        medium.hGlobal = NewBlock(e.bytes);
        if (!medium.hGlobal)
            return E_OUTOFMEMORY;
        break;
    }
    medium.tymed = e.format.tymed;
    return S_OK;
}

HRESULT TMemoryDataObject::QueryGetData(const TFormatEtc& format)
{
    if (format.dwAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    const TEntry* e = Find(format.cfFormat);
    if (!e)
        return DV_E_FORMATETC;
    return (e->format.tymed & format.tymed) ? S_OK : DV_E_TYMED;
}

IEnumFORMATETC* TMemoryDataObject::NewFormatEnumerator()
{
    if (FailEnumeration)
        return nullptr;
    QVector<TFormatEtc> list;
    for (const TEntry& e : m_entries)
        list.append(e.format);
    return new TFormatEtcListEnumerator(list);
}
