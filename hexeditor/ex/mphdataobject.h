#pragma once
// TMPHDataObject: the snapshot of selected bytes that the extended editor
// puts on the clipboard (and drags out). It offers four formats: the own
// format, text (hex text or plain text), and a virtual file (file group
// descriptor plus file contents).

#include "hexeditor/ex/mphclipformats.h"
#include "platform/core/dataobjectbase.h"
#include "platform/core/streams.h"

#include <QString>
#include <memory>

class TMPHDataObject final : public TDataObjectBase
{
public:
    // Copies count bytes from start out of source (nothing when source is null
    // or count <= 0). sourceName is the document's file name without its
    // folder; the virtual file is called "Dump of <name without extension>.bin".
    TMPHDataObject(TStream* source, int64_t start, int32_t count, const QString& sourceName, bool asHexText,
                   bool swapNibbles);
    ~TMPHDataObject() override;

    HRESULT GetData(const TFormatEtc& format, TStgMedium& medium) override;
    HRESULT GetDataHere(const TFormatEtc& format, TStgMedium& medium) override;
    HRESULT QueryGetData(const TFormatEtc& format) override;
    HRESULT SetData(const TFormatEtc& format, TStgMedium& medium, bool release) override;

    const uint8_t* Data() const { return m_data.get(); }
    int32_t DataCount() const { return m_dataCount; }
    const QString& DescriptorName() const { return m_descriptorName; }
    bool PerformedEffectSet() const { return m_performedEffectSet; }
    uint32_t PerformedEffect() const { return m_performedEffect; }
    bool AsHexText() const { return m_asHexText; }
    bool SwapNibbles() const { return m_swapNibbles; }

    // Block size GetData allocates for a format (0 for formats not offered).
    size_t BlockSize(CLIPFORMAT format) const;

protected:
    IEnumFORMATETC* NewFormatEnumerator() override;

private:
    void Fill(CLIPFORMAT format, uint8_t* block) const;

    std::unique_ptr<uint8_t[]> m_data;
    int32_t m_dataCount = 0;
    QString m_descriptorName;
    bool m_performedEffectSet = false;
    uint32_t m_performedEffect = 0;
    bool m_asHexText = false;
    bool m_swapNibbles = false;
};
