// Copy, cut and paste through the system clipboard.
#include "hexeditor/ex/mphexeditorex.h"

#include "platform/oleclipboard.h"

#include <QFileInfo>

namespace {

struct TBusyGuard
{
    TCustomMPHexEditor& editor;
    explicit TBusyGuard(TCustomMPHexEditor& e) : editor(e) { editor.PushBusyCursor(); }
    ~TBusyGuard() { editor.PopBusyCursor(); }
};

// How another program's text is read on paste.
TForeignText TextOffer(bool asCarried)
{
    return asCarried ? TForeignText::ftAsCarried : TForeignText::ftSynthesized;
}

} // namespace

TMPHexEditorEx::~TMPHexEditorEx()
{
    // Our snapshot stays usable for other programs only when asked for;
    // otherwise the clipboard is emptied. Contents that someone else put on
    // the clipboard since are left alone.
    if (m_clipboardDataObject && OleIsCurrentClipboard(m_clipboardDataObject.Get()) == S_OK) {
        if (m_flushClipboardAtShutDown)
            OleFlushClipboard();
        else
            OleSetClipboard(nullptr);
    }
}

bool TMPHexEditorEx::CanCopy() { return DataSize() > 0 && SelCount() > 0; }

bool TMPHexEditorEx::CanCut() { return CanCopy() && !ReadOnlyView() && !NoSizeChange(); }

bool TMPHexEditorEx::CanPaste()
{
    if (ReadOnlyView())
        return false;
    TComPtr<IDataObject> object;
    if (Failed(OleGetClipboard(object.Out(), TextOffer(m_foreignTextAsCarried))) || !object)
        return false;
    uint32_t effect = DROPEFFECT_COPY;
    if (CheckTransferFormats(object.Get(), 0, tpPaste, effect, QPoint()) != S_OK)
        return false;
    return !NoSizeChange() || DataSize() > 0;
}

bool TMPHexEditorEx::CopyToClipboard()
{
    if (!CanCopy())
        return false;
    TBusyGuard busy(*this);
    const int32_t start = std::min(SelStart(), SelEnd());
    const QString sourceName = QFileInfo(FileName()).fileName().left(255);
    TComPtr<TMPHDataObject> object(
        new TMPHDataObject(&DataStorage(), start, SelCount(), sourceName, m_clipboardAsHexText, SwapNibbles()));
    m_clipboardDataObject = object;
    OleCheck(OleSetClipboard(object.Get()));
    return true;
}

bool TMPHexEditorEx::CutToClipboard()
{
    if (!CanCut() || !CopyToClipboard())
        return false;
    TBusyGuard busy(*this);
    DeleteSelection(QString::fromLatin1(MPHClipStrings::CutToClipboard));
    return true;
}

bool TMPHexEditorEx::PasteFromClipboard()
{
    if (!CanPaste())
        return false;
    TComPtr<IDataObject> object;
    if (Failed(OleGetClipboard(object.Out(), TextOffer(m_foreignTextAsCarried))) || !object)
        return false;
    uint32_t effect = DROPEFFECT_COPY;
    return InsertTransferData(object.Get(), 0, QPoint(0, 0), effect, tpPaste) == S_OK;
}
