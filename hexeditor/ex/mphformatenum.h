#pragma once
// TFormatEnum: the list of format descriptions a data object offers.

#include "platform/core/oletypes.h"

#include <QVector>

class TFormatEnum
{
public:
    // Walks the object's get-direction enumerator one description at a time;
    // an object without an enumerator gives an empty list.
    explicit TFormatEnum(IDataObject* dataObject);

    bool HasFormat(CLIPFORMAT format) const;
    // The first description with that format; all bytes 0xFF when there is none.
    TFormatEtc FormatEtcOf(CLIPFORMAT format) const;
    const QVector<TFormatEtc>& Formats() const { return m_formats; }

private:
    QVector<TFormatEtc> m_formats;
};
