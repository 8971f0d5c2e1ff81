#pragma once
// What every data object of ours answers alike, so that each one writes only
// its formats and its data: nothing is rendered into a caller's medium, no
// advise connections are kept, a format is its own canonical format, data
// handed in are refused (and the medium released when asked), and formats
// are enumerated for reading only.

#include "platform/core/oletypes.h"

class TDataObjectBase : public TInterfacedObject<IDataObject>
{
public:
    HRESULT GetDataHere(const TFormatEtc& format, TStgMedium& medium) override;
    HRESULT GetCanonicalFormatEtc(const TFormatEtc& in, TFormatEtc& out) override;
    HRESULT SetData(const TFormatEtc& format, TStgMedium& medium, bool release) override;
    HRESULT EnumFormatEtc(uint32_t direction, IEnumFORMATETC** enumerator) override;
    HRESULT DAdvise(const TFormatEtc& format, uint32_t advf, IAdviseSink* sink, uint32_t* connection) override;
    HRESULT DUnadvise(uint32_t connection) override;
    HRESULT EnumDAdvise(IEnumSTATDATA** enumerator) override;

protected:
    ~TDataObjectBase() override = default;
    // A new enumerator of the formats offered for reading (no reference
    // taken yet), or null when the object cannot list them (E_NOTIMPL).
    virtual IEnumFORMATETC* NewFormatEnumerator() = 0;
};
