#include "hexeditor/ex/mphdataobject.h"

#include "hexeditor/core/mphtransfer.h"
#include "hexeditor/ex/mphenumformatetc.h"
#include "platform/core/codepages.h"

#include <QDateTime>
#include <QFileInfo>
#include <cstring>
#include <new>

TMPHDataObject::TMPHDataObject(TStream* source, int64_t start, int32_t count, const QString& sourceName,
                               bool asHexText, bool swapNibbles)
    : m_asHexText(asHexText), m_swapNibbles(swapNibbles)
{
    if (!source || count <= 0)
        return;
    m_data.reset(new uint8_t[size_t(count)]);
    const int64_t saved = source->Position();
    source->SetPosition(start);
    try {
        source->ReadBuffer(m_data.get(), count);
    } catch (...) {
        source->SetPosition(saved);
        throw;
    }
    source->SetPosition(saved);
    m_dataCount = count;
    m_descriptorName = QString::fromLatin1(MPHClipStrings::DumpName).arg(QFileInfo(sourceName).completeBaseName())
                           .left(255);
}

TMPHDataObject::~TMPHDataObject() = default;

size_t TMPHDataObject::BlockSize(CLIPFORMAT format) const
{
    const size_t n = size_t(m_dataCount);
    if (format == OwnClipboardFormat)
        return n + MPHTransfer::OwnFormatHeaderSize;
    if (format == CF_TEXT)
        return m_asHexText ? 2 * n + 1 : size_t(MPHTransfer::PlainTextLength(m_data.get(), m_dataCount)) + 1;
    if (format == FileGroupDescriptorFormat)
        return MPHTransfer::FileGroupDescriptorSize;
    if (format == FileContentsFormat)
        return n;
    return 0;
}

void TMPHDataObject::Fill(CLIPFORMAT format, uint8_t* block) const
{
    if (format == OwnClipboardFormat) {
        MPHTransfer::WriteOwnFormat(block, m_data.get(), m_dataCount);
    } else if (format == CF_TEXT) {
        if (m_asHexText) {
            MPHTransfer::WriteHexText(block, m_data.get(), m_dataCount, m_swapNibbles);
        } else {
            const int32_t len = MPHTransfer::PlainTextLength(m_data.get(), m_dataCount);
            if (len > 0)
                std::memcpy(block, m_data.get(), size_t(len));
            block[len] = 0;
        }
    } else if (format == FileGroupDescriptorFormat) {
        MPHTransfer::WriteFileGroupDescriptor(block, QStringToAnsi(m_descriptorName), m_dataCount,
                                              MPHTransfer::FileTimeOf(QDateTime::currentDateTimeUtc()));
    } else if (format == FileContentsFormat && m_dataCount > 0) {
        std::memcpy(block, m_data.get(), size_t(m_dataCount));
    }
}

HRESULT TMPHDataObject::GetData(const TFormatEtc& format, TStgMedium& medium)
{
    medium = TStgMedium();
    const HRESULT check = QueryGetData(format);
    if (check != S_OK)
        return check;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, BlockSize(format.cfFormat));
    if (!block)
        return E_OUTOFMEMORY;
    try {
        TGlobalLock lock(block);
        Fill(format.cfFormat, lock.Data());
    } catch (...) {
        GlobalFree(block);
        return E_OUTOFMEMORY;
    }
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block;
    return S_OK;
}

HRESULT TMPHDataObject::GetDataHere(const TFormatEtc&, TStgMedium&) { return DV_E_FORMATETC; }

HRESULT TMPHDataObject::QueryGetData(const TFormatEtc& format)
{
    if (format.dwAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!(format.tymed & TYMED_HGLOBAL))
        return DV_E_TYMED;
    if (format.lindex != -1 && format.lindex != 0 && format.cfFormat != FileContentsFormat)
        return DV_E_LINDEX;
    const CLIPFORMAT f = format.cfFormat;
    if (f != OwnClipboardFormat && f != CF_TEXT && f != FileGroupDescriptorFormat && f != FileContentsFormat)
        return DV_E_FORMATETC;
    return S_OK;
}

HRESULT TMPHDataObject::SetData(const TFormatEtc& format, TStgMedium& medium, bool release)
{
    HRESULT result = E_NOTIMPL;
    if ((format.cfFormat == PerformedDropEffectFormat || format.cfFormat == LogicalPerformedDropEffectFormat) &&
        medium.tymed == TYMED_HGLOBAL) {
        TGlobalLock lock(medium.hGlobal);
        if (lock.Size() >= 4) {
            std::memcpy(&m_performedEffect, lock.Data(), 4);
            m_performedEffectSet = true;
            result = S_OK;
        }
    }
    if (release)
        ReleaseStgMedium(medium);
    return result;
}

IEnumFORMATETC* TMPHDataObject::NewFormatEnumerator() { return new TMPHEnumFormatETC; }
