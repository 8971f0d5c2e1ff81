#pragma once
// The bridge between the data-transfer interfaces (platform/core/oletypes.h)
// and Qt's clipboard and MIME data, both ways:
//
// - TOleMimeData presents a data object to Qt. It renders lazily: Qt (or
//   another program, through Qt) asks retrieveData() for a MIME type, which
//   calls the object's GetData for the matching format; nothing is converted
//   until asked. RenderMimeData() renders every type into a plain QMimeData
//   that no longer needs the object (flushing, drag and drop).
// - TMimeDataObject presents a QMimeData (the clipboard of another program, a
//   drop) as a data object: it offers the formats its MIME types map to and
//   converts on GetData.
//
// The mapping is documented in docs/architecture.md (section "Data transfer").

#include "platform/core/dataobjectbase.h"
#include "platform/core/oletypes.h"

#include <QMimeData>
#include <QHash>
#include <QPointer>
#include <QStringList>

// Locale id offered as CF_LOCALE with any text: 0x0409 (English, United States).
inline constexpr uint32_t TextLocaleId = 0x0409;

// The MIME type that carries a registered format under its name.
QString WindowsMimeType(const QString& formatName);
// The format name inside such a MIME type; empty for other types.
QString FormatNameOfWindowsMime(const QString& mimeType);

class TOleMimeData : public QMimeData
{
    Q_OBJECT
public:
    explicit TOleMimeData(IDataObject* object);
    ~TOleMimeData() override;

    IDataObject* DataObject() const { return m_object.Get(); }
    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    struct TMapping
    {
        QString mimeType;
        QVector<TFormatEtc> sources;   // candidates, in order of preference
    };
    void BuildMappings();
    // The bytes of mimeType, or a null array when no source format delivers.
    QByteArray Render(const TMapping& mapping) const;

    TComPtr<IDataObject> m_object;
    QVector<TMapping> m_mappings;
};

// The formats that data of these MIME types offers as a data object, without
// looking at the data (a file list is counted even when it names no local
// file). Lets a caller judge what the clipboard offers from its list of types.
QVector<CLIPFORMAT> ClipFormatsOfMimeTypes(const QStringList& mimeTypes);

// Every MIME type of the object, rendered now.
QMimeData* RenderMimeData(IDataObject* object);

// How another program's text is offered as formats.
enum class TForeignText {
    // As the desktop the formats come from presents any text: text, unicode
    // text, OEM text and locale, converted from the one text.
    ftSynthesized,
    // As the formats the text really carries: one text, offered as text
    // (8-bit) when every character has an 8-bit form, otherwise as unicode
    // text, so that nothing is lost and nothing needs choosing. Other types
    // (HTML, rich text, images, files) are offered as they are.
    ftAsCarried,
};

class TMimeDataObject final : public TDataObjectBase
{
public:
    // ftAsCarried reads the text once, here, to see which form it takes.
    explicit TMimeDataObject(const QMimeData* data, TForeignText text = TForeignText::ftSynthesized);

    HRESULT GetData(const TFormatEtc& format, TStgMedium& medium) override;
    HRESULT QueryGetData(const TFormatEtc& format) override;

    const QVector<TFormatEtc>& Formats() const { return m_formats; }

protected:
    IEnumFORMATETC* NewFormatEnumerator() override;

private:
    void AddFormat(CLIPFORMAT format, uint32_t tymed = TYMED_HGLOBAL, const QString& mimeType = QString());
    // The bytes for a global memory block of the format; null when the data is gone.
    QByteArray BlockBytes(CLIPFORMAT format) const;

    QPointer<const QMimeData> m_data;
    QVector<TFormatEtc> m_formats;
    QHash<CLIPFORMAT, QString> m_windowsMime;   // registered format -> its MIME type
};

// ---- the clipboard ----------------------------------------------------------------
// Put a data object on the system clipboard (nullptr empties it). The
// clipboard keeps a reference until it is replaced.
HRESULT OleSetClipboard(IDataObject* object);
// The clipboard's contents as a data object: our own object when this process
// put it there, otherwise a view of the foreign data, its text offered as
// text says. *object gets one reference for the caller.
HRESULT OleGetClipboard(IDataObject** object, TForeignText text = TForeignText::ftSynthesized);
// Replace our object on the clipboard by its fully rendered data, so that
// the data outlives the object; S_OK also when we own nothing.
HRESULT OleFlushClipboard();
// S_OK when object is what this process put on the clipboard and nobody has
// replaced it since, S_FALSE otherwise.
HRESULT OleIsCurrentClipboard(IDataObject* object);
