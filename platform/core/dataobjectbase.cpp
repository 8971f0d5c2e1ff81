#include "platform/core/dataobjectbase.h"

HRESULT TDataObjectBase::GetDataHere(const TFormatEtc&, TStgMedium&) { return E_NOTIMPL; }

HRESULT TDataObjectBase::GetCanonicalFormatEtc(const TFormatEtc& in, TFormatEtc& out)
{
    out = in;
    out.ptd = 0;
    return DATA_S_SAMEFORMATETC;
}

HRESULT TDataObjectBase::SetData(const TFormatEtc&, TStgMedium& medium, bool release)
{
    if (release)
        ReleaseStgMedium(medium);
    return E_NOTIMPL;
}

HRESULT TDataObjectBase::EnumFormatEtc(uint32_t direction, IEnumFORMATETC** enumerator)
{
    if (!enumerator)
        return E_INVALIDARG;
    *enumerator = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    IEnumFORMATETC* created = NewFormatEnumerator();
    if (!created)
        return E_NOTIMPL;
    created->AddRef();
    *enumerator = created;
    return S_OK;
}

HRESULT TDataObjectBase::DAdvise(const TFormatEtc&, uint32_t, IAdviseSink*, uint32_t*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TDataObjectBase::DUnadvise(uint32_t) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT TDataObjectBase::EnumDAdvise(IEnumSTATDATA** enumerator)
{
    if (enumerator)
        *enumerator = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}
