#pragma once
// A data object over data held in memory: per format a block (global memory
// or a metafile picture) or a bitmap, palette or enhanced-metafile handle.
// Each GetData hands out a fresh copy that the caller releases. Used to offer
// ready-made data (plain text, data built by a program) and by tests.

#include "platform/core/dataobjectbase.h"
#include "platform/core/oletypes.h"

#include <QByteArray>
#include <QVector>

class TMemoryDataObject final : public TDataObjectBase
{
public:
    TMemoryDataObject() = default;
    ~TMemoryDataObject() override;

    // A block for format in global memory (tymed HGLOBAL) or a metafile
    // picture (tymed MFPICT; its fourth field names a metafile handle, which
    // the object takes over).
    void SetBlock(CLIPFORMAT format, const QByteArray& bytes, uint32_t tymed = TYMED_HGLOBAL, int32_t lindex = -1);
    // A handle for format (tymed GDI or ENHMF); the object takes it over.
    void SetHandle(CLIPFORMAT format, HGDIOBJ handle, uint32_t tymed);

    // Fault injection for tests: no enumerator, or every GetData failing with code.
    bool FailEnumeration = false;
    HRESULT FailGetData = S_OK;
    int GetDataCalls = 0;

    HRESULT GetData(const TFormatEtc& format, TStgMedium& medium) override;
    HRESULT QueryGetData(const TFormatEtc& format) override;

protected:
    IEnumFORMATETC* NewFormatEnumerator() override;

private:
    struct TEntry
    {
        TFormatEtc format;
        QByteArray bytes;
        HGDIOBJ handle = 0;
    };
    const TEntry* Find(CLIPFORMAT format) const;
    void Remove(CLIPFORMAT format);

    QVector<TEntry> m_entries;
};
