#include "hexeditor/ex/mphformatenum.h"

#include <cstring>

TFormatEnum::TFormatEnum(IDataObject* dataObject) : m_formats(OfferedFormats(dataObject)) {}

bool TFormatEnum::HasFormat(CLIPFORMAT format) const
{
    for (const TFormatEtc& fe : m_formats)
        if (fe.cfFormat == format)
            return true;
    return false;
}

TFormatEtc TFormatEnum::FormatEtcOf(CLIPFORMAT format) const
{
    for (const TFormatEtc& fe : m_formats)
        if (fe.cfFormat == format)
            return fe;
    TFormatEtc none;
    std::memset(static_cast<void*>(&none), 0xFF, sizeof none);
    return none;
}
