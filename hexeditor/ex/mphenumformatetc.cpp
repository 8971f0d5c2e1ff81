#include "hexeditor/ex/mphenumformatetc.h"

#include "hexeditor/ex/mphclipformats.h"

const TFormatEtc* TMPHEnumFormatETC::Formats()
{
    // Filled on first use: the registered numbers exist from unit start-up.
    static const TFormatEtc table[FormatCount] = {
        FormatEtcFor(OwnClipboardFormat), FormatEtcFor(CF_TEXT), FormatEtcFor(FileGroupDescriptorFormat),
        FormatEtcFor(FileContentsFormat)};
    return table;
}

TMPHEnumFormatETC::TMPHEnumFormatETC() = default;

HRESULT TMPHEnumFormatETC::Next(uint32_t count, TFormatEtc* descriptions, uint32_t* fetched)
{
    uint32_t copied = 0;
    while (copied < count && m_cursor < FormatCount)
        descriptions[copied++] = Formats()[m_cursor++];
    if (fetched)
        *fetched = copied;
    return copied == count ? S_OK : S_FALSE;
}

HRESULT TMPHEnumFormatETC::Skip(uint32_t count)
{
    if (count > uint32_t(FormatCount - m_cursor))
        return S_FALSE;
    m_cursor += int(count);
    return S_OK;
}

HRESULT TMPHEnumFormatETC::Reset()
{
    m_cursor = 0;
    return S_OK;
}

HRESULT TMPHEnumFormatETC::Clone(IEnumFORMATETC** clone)
{
    if (!clone)
        return E_INVALIDARG;
    auto* copy = new TMPHEnumFormatETC;
    copy->m_cursor = m_cursor;
    *clone = copy;
    copy->AddRef();
    return S_OK;
}
