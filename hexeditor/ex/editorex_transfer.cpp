// Reading transferred data: the format check, the format choice, fetching
// and converting the chosen format, and placing the bytes (paste rule; the
// drop rule belongs to drag and drop).
#include "hexeditor/ex/mphexeditorex.h"

#include "hexeditor/core/mphtransfer.h"
#include "hexeditor/ex/formatseldialog.h"
#include "hexeditor/ex/mphformatenum.h"
#include "platform/core/codepages.h"
#include "platform/core/dropfiles.h"

namespace {

int g_lastChosenFormat = -1;

// Releases a fetched medium on every way out.
struct TMediumGuard
{
    TStgMedium& medium;
    ~TMediumGuard() { ReleaseStgMedium(medium); }
};

// Shows the hourglass for the lifetime of the guard.
struct TBusyGuard
{
    TCustomMPHexEditor& editor;
    explicit TBusyGuard(TCustomMPHexEditor& e) : editor(e) { editor.PushBusyCursor(); }
    ~TBusyGuard() { editor.PopBusyCursor(); }
};

MPHTransfer::TBlockKind BlockKindOf(CLIPFORMAT f)
{
    using K = MPHTransfer::TBlockKind;
    if (f == OwnClipboardFormat)
        return K::bkOwn;
    if (f == RegEditHexDataFormat)
        return K::bkRegEditHex;
    if (f == CF_TEXT || f == CF_OEMTEXT || f == RichTextFormat || f == HtmlFormat)
        return K::bkText;
    if (f == CF_UNICODETEXT)
        return K::bkUnicodeText;
    if (f == CF_DIB)
        return K::bkDib;
    if (f == CF_LOCALE)
        return K::bkLocale;
    return K::bkRaw;
}

} // namespace

int TMPHexEditorEx::LastChosenFormat() { return g_lastChosenFormat; }
void TMPHexEditorEx::SetLastChosenFormat(int format) { g_lastChosenFormat = format; }

HRESULT TMPHexEditorEx::CheckTransferFormats(IDataObject* dataObject, uint32_t, TMPHTransferPurpose purpose,
                                             uint32_t& effect, QPoint)
{
    HRESULT result = S_FALSE;
    if (!ReadOnlyView()) {
        const TFormatEnum offered(dataObject);
        for (CLIPFORMAT format : AcceptanceList()) {
            if (offered.HasFormat(format)) {
                m_chosenFormat[purpose] = format;
                result = S_OK;
                break;
            }
        }
    }
    // A file list cannot be moved into the data: it is linked instead.
    if (m_chosenFormat[purpose] == CF_HDROP && effect == DROPEFFECT_MOVE)
        effect = DROPEFFECT_LINK;
    return result;
}

bool TMPHexEditorEx::ChooseTransferFormat(const QVector<CLIPFORMAT>& acceptance, IDataObject* dataObject,
                                          bool& asHexText, CLIPFORMAT& chosenFormat)
{
    const TFormatEnum offered(dataObject);
    QVector<CLIPFORMAT> candidates;
    for (CLIPFORMAT format : acceptance)
        if (offered.HasFormat(format) && !candidates.contains(format))
            candidates.append(format);
    if (candidates.isEmpty())
        return false;
    if (candidates.size() == 1) {
        chosenFormat = candidates.first();
        return true;
    }
    bool hexText = asHexText;
    CLIPFORMAT choice = 0;
    if (!CurrentFormatChooser().ChooseFormat(candidates, g_lastChosenFormat, hexText, choice) ||
        !candidates.contains(choice))
        return false;
    chosenFormat = choice;
    if (IsHexTextFormat(choice))
        asHexText = hexText;
    g_lastChosenFormat = choice;
    return true;
}

int64_t TMPHexEditorEx::TransferRoom(TMPHTransferPurpose purpose)
{
    // A fixed size overwrites and never grows: only the editor's limit applies.
    if (NoSizeChange())
        return MaxDataSize;
    int64_t replaced = 0;
    if (SelCount() > 0) {
        if (purpose == tpPaste) {
            replaced = SelCount();
        } else {
            const int32_t position = DropPosition();
            if (position < 0)
                return MaxDataSize; // nothing will be placed
            if (position >= SelFirst() && position <= SelLast())
                replaced = SelCount();
        }
    }
    return MaxDataSize - DataSize() + replaced;
}

QByteArray TMPHexEditorEx::FileListBytes(TStgMedium& medium, uint32_t effect, HRESULT& result, int64_t room)
{
    QStringList names;
    if (medium.tymed == TYMED_HGLOBAL) {
        TGlobalLock lock(medium.hGlobal);
        names = ParseDropFiles(lock.Data(), lock.Size(), 260);
    }
    QByteArray bytes;
    for (const QString& name : names) {
        result = S_OK;
        if (effect == DROPEFFECT_LINK) {
            bytes += QStringToAnsi(name);
            bytes += '\0';
            continue;
        }
        // Only the first file's content is taken. A file that cannot be read
        // raises the file-open error to the caller.
        result = E_FAIL;
        TFileStream file(name, TFileMode::fmOpenRead, TShareMode::fmShareDenyNone);
        const int64_t size = file.Size();
        if (size > MaxDataSize)
            throw EMPHexEditor(MPHStrings::Text(MPHStrings::FileTooLarge).arg(name).arg(size).arg(MaxDataSize));
        // Refused before a byte is read: the editing operation would refuse
        // the same bytes only after a read of up to 2 GiB.
        if (size > room)
            throw EMPHexEditor(MPHStrings::Text(MPHStrings::DataSizeLimit).arg(size).arg(MaxDataSize));
        bytes.resize(qsizetype(size));
        file.ReadBuffer(bytes.data(), size);
        result = S_OK;
        break;
    }
    return bytes;
}

QByteArray TMPHexEditorEx::TransferBytes(CLIPFORMAT format, TStgMedium& medium, uint32_t effect, HRESULT& result,
                                         int64_t room)
{
    if (format == CF_HDROP)
        return FileListBytes(medium, effect, result, room);
    QByteArray bytes;
    if (medium.tymed == TYMED_HGLOBAL || medium.tymed == TYMED_MFPICT) {
        TGlobalLock lock(medium.hGlobal);
        if (format == CF_METAFILEPICT)
            bytes = MPHTransfer::MetaFilePictToBytes(lock.Data(), lock.Size());
        else if (format != CF_BITMAP && format != CF_PALETTE && format != CF_ENHMETAFILE)
            bytes = MPHTransfer::ConvertBlock(BlockKindOf(format), lock.Data(), lock.Size(), UnicodeBigEndian());
    } else if (format == CF_BITMAP && medium.tymed == TYMED_GDI) {
        bytes = MPHTransfer::BitmapHandleToBytes(medium.hGdi);
    } else if (format == CF_PALETTE && medium.tymed == TYMED_GDI) {
        bytes = MPHTransfer::PaletteToBytes(medium.hGdi);
    } else if (format == CF_ENHMETAFILE && medium.tymed == TYMED_ENHMF) {
        bytes = MPHTransfer::EnhMetaFileToBytes(medium.hGdi);
    }
    if (!bytes.isEmpty())
        result = S_OK;
    return bytes;
}

HRESULT TMPHexEditorEx::InsertTransferData(IDataObject* dataObject, uint32_t, QPoint, uint32_t& effect,
                                           TMPHTransferPurpose purpose)
{
    HRESULT result = E_FAIL;
    QByteArray bytes;
    TBusyGuard busy(*this);
    CLIPFORMAT& chosen = m_chosenFormat[purpose];
    bool proceed = true;
    if (chosen != OwnClipboardFormat && chosen != CF_HDROP)
        proceed = ChooseTransferFormat(AcceptanceList(), dataObject, m_clipboardAsHexText, chosen);

    if (proceed && dataObject) {
        const TFormatEnum offered(dataObject);
        TStgMedium medium;
        TMediumGuard guard{medium};
        if (offered.HasFormat(chosen) && Succeeded(dataObject->GetData(offered.FormatEtcOf(chosen), medium))) {
            bytes = TransferBytes(chosen, medium, effect, result, TransferRoom(purpose));
            if (!bytes.isEmpty() && IsHexTextFormat(chosen) && purpose == tpPaste && m_clipboardAsHexText)
                bytes = MPHTransfer::DecodeHexText(bytes, SwapNibbles());
        }
    }
    if (proceed) {
        const int32_t unit = BytesPerUnit();
        const auto count = int32_t(std::min<qsizetype>(bytes.size(), MaxDataSize) / unit * unit);
        if (bytes.isEmpty() || count == 0) {
            result = E_FAIL;
        } else if (purpose == tpPaste) {
            PlacePastedData(reinterpret_cast<const uint8_t*>(bytes.constData()), count,
                            QString::fromLatin1(MPHClipStrings::PasteFromClipboard));
        } else if (!PlaceDroppedData(reinterpret_cast<const uint8_t*>(bytes.constData()), count,
                                     QString::fromLatin1(MPHClipStrings::DataDropped))) {
            result = E_FAIL;
        }
    }
    if (result != S_OK)
        effect = DROPEFFECT_NONE;
    return result;
}

void TMPHexEditorEx::PlacePastedData(const uint8_t* bytes, int32_t count, const QString& description)
{
    if (SelCount() == 0) {
        int32_t position = PositionAtCell(Col(), Row());
        const int32_t unit = BytesPerUnit();
        if (position % unit != 0) {
            position = position / unit * unit;
            const TGridCoord cell = CellAtPosition(position, InCharField());
            MoveColRow(cell.X, cell.Y, true);
        }
        if (NoSizeChange()) {
            SetSelStart(position);
            SetSelEnd(std::min(DataSize() - 1, position + count - 1));
        }
    }
    ReplaceSelection(bytes, count, description, true);
}
