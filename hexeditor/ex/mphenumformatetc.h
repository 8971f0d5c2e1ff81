#pragma once
// TMPHEnumFormatETC: enumerates the four formats of TMPHDataObject (own
// format, text, file group descriptor, file contents), each as content in
// global memory with index -1.

#include "platform/core/oletypes.h"

class TMPHEnumFormatETC final : public TInterfacedObject<IEnumFORMATETC>
{
public:
    static constexpr int FormatCount = 4;

    TMPHEnumFormatETC();
    HRESULT Next(uint32_t count, TFormatEtc* descriptions, uint32_t* fetched) override;
    HRESULT Skip(uint32_t count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumFORMATETC** clone) override;

    int Cursor() const { return m_cursor; }
    static const TFormatEtc* Formats();

private:
    int m_cursor = 0;
};
