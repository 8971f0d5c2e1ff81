#pragma once
// The data-transfer interfaces the editor speaks: result codes, format
// descriptions, storage media, reference-counted data objects and format
// enumerators, registered clipboard formats and the start-up counter. Shaped
// like the platform's OLE interfaces so that the transfer code reads the same
// whatever carries the data; the Qt clipboard bridge (platform/oleclipboard.h)
// connects them to QClipboard and QMimeData.

#include "platform/core/exceptions.h"
#include "platform/core/gdihandles.h"
#include "platform/core/globalmemory.h"

#include <QString>
#include <QVector>
#include <atomic>
#include <cstdint>
#include <utility>

// ---- result codes --------------------------------------------------------------
using HRESULT = int32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
inline constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
inline constexpr HRESULT E_UNEXPECTED = HRESULT(0x8000FFFFu);
inline constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
inline constexpr HRESULT DV_E_FORMATETC = HRESULT(0x80040064u);
inline constexpr HRESULT DV_E_LINDEX = HRESULT(0x80040068u);
inline constexpr HRESULT DV_E_TYMED = HRESULT(0x80040069u);
inline constexpr HRESULT DV_E_DVASPECT = HRESULT(0x8004006Bu);
inline constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = HRESULT(0x80040003u);
inline constexpr HRESULT DATA_S_SAMEFORMATETC = HRESULT(0x00040130u);
inline constexpr HRESULT CLIPBRD_E_CANT_OPEN = HRESULT(0x800401D0u);
inline constexpr HRESULT CO_E_NOTINITIALIZED = HRESULT(0x800401F0u);
inline constexpr HRESULT DRAGDROP_S_DROP = HRESULT(0x00040100u);
inline constexpr HRESULT DRAGDROP_S_CANCEL = HRESULT(0x00040101u);
inline constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = HRESULT(0x00040102u);

inline bool Succeeded(HRESULT hr) { return hr >= 0; }
inline bool Failed(HRESULT hr) { return hr < 0; }

// An interface call's failure raised as an exception ("OLE error 80004005").
class EOleError : public Exception
{
public:
    explicit EOleError(HRESULT code);
    HRESULT ErrorCode() const { return m_code; }

private:
    HRESULT m_code;
};
// Raises EOleError for a failure code; returns the code otherwise.
HRESULT OleCheck(HRESULT code);

// ---- drop effects and key state ---------------------------------------------------
inline constexpr uint32_t DROPEFFECT_NONE = 0;
inline constexpr uint32_t DROPEFFECT_COPY = 1;
inline constexpr uint32_t DROPEFFECT_MOVE = 2;
inline constexpr uint32_t DROPEFFECT_LINK = 4;

// ---- format descriptions and media --------------------------------------------------
using CLIPFORMAT = uint16_t;

// Standard clipboard formats.
inline constexpr CLIPFORMAT CF_TEXT = 1;
inline constexpr CLIPFORMAT CF_BITMAP = 2;
inline constexpr CLIPFORMAT CF_METAFILEPICT = 3;
inline constexpr CLIPFORMAT CF_SYLK = 4;
inline constexpr CLIPFORMAT CF_DIF = 5;
inline constexpr CLIPFORMAT CF_TIFF = 6;
inline constexpr CLIPFORMAT CF_OEMTEXT = 7;
inline constexpr CLIPFORMAT CF_DIB = 8;
inline constexpr CLIPFORMAT CF_PALETTE = 9;
inline constexpr CLIPFORMAT CF_PENDATA = 10;
inline constexpr CLIPFORMAT CF_RIFF = 11;
inline constexpr CLIPFORMAT CF_WAVE = 12;
inline constexpr CLIPFORMAT CF_UNICODETEXT = 13;
inline constexpr CLIPFORMAT CF_ENHMETAFILE = 14;
inline constexpr CLIPFORMAT CF_HDROP = 15;
inline constexpr CLIPFORMAT CF_LOCALE = 16;

inline constexpr uint32_t DVASPECT_CONTENT = 1;
inline constexpr uint32_t DVASPECT_THUMBNAIL = 2;
inline constexpr uint32_t DVASPECT_ICON = 4;
inline constexpr uint32_t DVASPECT_DOCPRINT = 8;

inline constexpr uint32_t TYMED_NULL = 0;
inline constexpr uint32_t TYMED_HGLOBAL = 1;
inline constexpr uint32_t TYMED_FILE = 2;
inline constexpr uint32_t TYMED_ISTREAM = 4;
inline constexpr uint32_t TYMED_ISTORAGE = 8;
inline constexpr uint32_t TYMED_GDI = 16;
inline constexpr uint32_t TYMED_MFPICT = 32;
inline constexpr uint32_t TYMED_ENHMF = 64;

inline constexpr uint32_t DATADIR_GET = 1;
inline constexpr uint32_t DATADIR_SET = 2;

// A format description: 20 bytes. The target device is a 32-bit reference
// (never used here beyond being cleared: 0 = none).
struct TFormatEtc
{
    CLIPFORMAT cfFormat = 0;
    uint16_t reserved = 0;
    uint32_t ptd = 0;
    uint32_t dwAspect = DVASPECT_CONTENT;
    int32_t lindex = -1;
    uint32_t tymed = TYMED_HGLOBAL;
};
static_assert(sizeof(TFormatEtc) == 20, "a format description is 20 bytes");

inline TFormatEtc FormatEtcFor(CLIPFORMAT format, uint32_t tymed = TYMED_HGLOBAL)
{
    TFormatEtc fe;
    fe.cfFormat = format;
    fe.tymed = tymed;
    return fe;
}
inline bool operator==(const TFormatEtc& a, const TFormatEtc& b)
{
    return a.cfFormat == b.cfFormat && a.ptd == b.ptd && a.dwAspect == b.dwAspect && a.lindex == b.lindex &&
           a.tymed == b.tymed;
}

class IUnknown;

// A storage medium: its kind and handle, and the object (if any) to release
// instead of freeing the handle.
struct TStgMedium
{
    uint32_t tymed = TYMED_NULL;
    HGLOBAL hGlobal = nullptr;   // TYMED_HGLOBAL and TYMED_MFPICT
    HGDIOBJ hGdi = 0;            // TYMED_GDI (bitmap or palette) and TYMED_ENHMF
    IUnknown* pUnkForRelease = nullptr;
};

// Frees the medium's handle (or releases its release object) and clears it.
void ReleaseStgMedium(TStgMedium& medium);

// The metafile picture structure held in a TYMED_MFPICT global block: four
// 32-bit fields, the fourth naming the metafile.
struct TMetaFilePict
{
    int32_t mm;
    int32_t xExt;
    int32_t yExt;
    uint32_t hMF;
};
static_assert(sizeof(TMetaFilePict) == 16);

// ---- reference-counted interfaces --------------------------------------------------
class IUnknown
{
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

// Reference-counted base: starts at 0, deletes itself when the count falls to 0.
template <typename... Interfaces>
class TInterfacedObject : public Interfaces...
{
public:
    uint32_t AddRef() override { return ++m_refCount; }
    uint32_t Release() override
    {
        const uint32_t count = --m_refCount;
        if (count == 0)
            delete this;
        return count;
    }
    uint32_t RefCount() const { return m_refCount; }

protected:
    ~TInterfacedObject() override = default;

private:
    std::atomic<uint32_t> m_refCount{0};
};

// Shared ownership of an interface pointer (AddRef on copy, Release on reset).
template <typename T>
class TComPtr
{
public:
    TComPtr() = default;
    TComPtr(std::nullptr_t) {}
    explicit TComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    TComPtr(const TComPtr& other) : TComPtr(other.m_p) {}
    template <typename U>
    TComPtr(const TComPtr<U>& other) : TComPtr(other.Get()) {}
    TComPtr(TComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ~TComPtr() { Reset(); }
    TComPtr& operator=(TComPtr other) noexcept
    {
        std::swap(m_p, other.m_p);
        return *this;
    }
    void Reset()
    {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }
    // Takes over a pointer whose reference the caller already holds.
    void Attach(T* p)
    {
        Reset();
        m_p = p;
    }
    // Pointer slot for an out-parameter; releases the current pointer first.
    T** Out()
    {
        Reset();
        return &m_p;
    }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

class IEnumFORMATETC : public virtual IUnknown
{
public:
    // Copies up to count descriptions; S_OK when count were copied, S_FALSE otherwise.
    virtual HRESULT Next(uint32_t count, TFormatEtc* descriptions, uint32_t* fetched) = 0;
    virtual HRESULT Skip(uint32_t count) = 0;
    virtual HRESULT Reset() = 0;
    // *clone receives a new enumerator with one reference held by the caller.
    virtual HRESULT Clone(IEnumFORMATETC** clone) = 0;
};

class IAdviseSink;
class IEnumSTATDATA;

class IDataObject : public virtual IUnknown
{
public:
    virtual HRESULT GetData(const TFormatEtc& format, TStgMedium& medium) = 0;
    virtual HRESULT GetDataHere(const TFormatEtc& format, TStgMedium& medium) = 0;
    virtual HRESULT QueryGetData(const TFormatEtc& format) = 0;
    virtual HRESULT GetCanonicalFormatEtc(const TFormatEtc& in, TFormatEtc& out) = 0;
    virtual HRESULT SetData(const TFormatEtc& format, TStgMedium& medium, bool release) = 0;
    // *enumerator receives a new enumerator with one reference held by the caller.
    virtual HRESULT EnumFormatEtc(uint32_t direction, IEnumFORMATETC** enumerator) = 0;
    virtual HRESULT DAdvise(const TFormatEtc& format, uint32_t advf, IAdviseSink* sink, uint32_t* connection) = 0;
    virtual HRESULT DUnadvise(uint32_t connection) = 0;
    virtual HRESULT EnumDAdvise(IEnumSTATDATA** enumerator) = 0;
};

// An enumerator over a list of descriptions (the clipboard bridge's objects use it).
class TFormatEtcListEnumerator final : public TInterfacedObject<IEnumFORMATETC>
{
public:
    explicit TFormatEtcListEnumerator(QVector<TFormatEtc> list, int cursor = 0)
        : m_list(std::move(list)), m_cursor(cursor) {}
    HRESULT Next(uint32_t count, TFormatEtc* descriptions, uint32_t* fetched) override;
    HRESULT Skip(uint32_t count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumFORMATETC** clone) override;

private:
    QVector<TFormatEtc> m_list;
    int m_cursor;
};

// Every description a data object offers for reading (empty when it offers
// no enumerator).
QVector<TFormatEtc> OfferedFormats(IDataObject* object);

// ---- registered clipboard formats ----------------------------------------------------
// A name gives the same number every time in the process, from 0xC000 upward;
// names compare without regard to case, as the platform's registry does.
// Returns 0 for an empty name or when the 16,384 numbers are used up.
CLIPFORMAT RegisterClipboardFormat(const QString& name);
// The registered name of a format; empty for a standard or unknown number.
QString GetClipboardFormatName(CLIPFORMAT format);
// The platform's names of the standard formats 1 to 16 ("CF_TEXT" ...);
// empty for other numbers.
QString StandardClipboardFormatName(CLIPFORMAT format);

// ---- initialisation --------------------------------------------------------------
// Counted: the first OleInitialize starts the layer, the matching last
// OleUninitialize ends it. Returns S_OK the first time and S_FALSE after.
HRESULT OleInitialize();
void OleUninitialize();
int OleInitCount();
