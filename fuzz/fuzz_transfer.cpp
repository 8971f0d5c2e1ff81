// Feeds random blocks, in every format the editor reads, to the conversion
// and insertion path of a real extended editor (offscreen Qt platform).
//
// Input layout: byte 0 picks the format of the acceptance list, byte 1 holds
// switches (purpose, hex text, swapped nibbles, bytes per unit, link effect,
// route through Qt MIME data, a second offered format, fixed size), the rest
// is the block. Invariants checked after every run:
// - a failed read leaves the data exactly as it was;
// - a successful one changes the size by a whole number of units (or not at
//   all in fixed-size mode).
#include "hexeditor/ex/formatseldialog.h"
#include "hexeditor/ex/mphexeditorex.h"
#include "platform/core/memorydataobject.h"
#include "platform/oleclipboard.h"

#include <QApplication>
#include <QMimeData>
#include <QtEndian>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

class TFuzzEditor : public TMPHexEditorEx
{
protected:
    // Drops go where a paste would, so the drop path inserts too.
    bool PlaceDroppedData(const uint8_t* bytes, int32_t count, const QString& description) override
    {
        PlacePastedData(bytes, count, description);
        return true;
    }
};

// Picks a candidate from the input instead of asking.
class TFuzzChooser : public IFormatChooser
{
public:
    uint8_t pick = 0;
    bool ChooseFormat(const QVector<CLIPFORMAT>& candidates, int, bool& asHexText, CLIPFORMAT& chosen) override
    {
        if (pick == 0xFF)
            return false;
        chosen = candidates[pick % candidates.size()];
        asHexText = pick & 0x80;
        return true;
    }
};

struct TFuzzWorld
{
    TFuzzWorld()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_transfer";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        editor = new TFuzzEditor;
        editor->Loaded();
        SetFormatChooser(&chooser);
    }
    QApplication* app;
    TFuzzEditor* editor;
    TFuzzChooser chooser;
};

QByteArray Initial() { return QByteArray("0123456789ABCDEF"); }

void Reset(TFuzzEditor& e)
{
    TMemoryStream s;
    const QByteArray bytes = Initial();
    s.Write(bytes.constData(), bytes.size());
    e.LoadFromStream(s);
}

// The block as the data object offers it for format: in global memory, or
// as a handle for the handle formats.
void OfferDirect(TMemoryDataObject& object, CLIPFORMAT format, const QByteArray& block)
{
    if (format == CF_BITMAP)
        object.SetHandle(format, CreateBitmapFromDib(block), TYMED_GDI);
    else if (format == CF_PALETTE) {
        QVector<uint32_t> entries;
        for (int i = 0; i + 4 <= block.size(); i += 4)
            entries.append(qFromLittleEndian<uint32_t>(block.constData() + i));
        object.SetHandle(format, CreatePalette(entries), TYMED_GDI);
    } else if (format == CF_ENHMETAFILE)
        object.SetHandle(format, SetEnhMetaFileBits(block), TYMED_ENHMF);
    else if (format == CF_METAFILEPICT) {
        // A picture naming a real metafile holding the block, or (odd first
        // byte) the block itself as the picture, naming whatever it names.
        if (!block.isEmpty() && (block[0] & 1)) {
            object.SetBlock(format, block, TYMED_MFPICT);
        } else {
            QByteArray pict(16, '\0');
            const uint32_t h = qToLittleEndian(SetMetaFileBits(block));
            std::memcpy(pict.data() + 12, &h, 4);
            object.SetBlock(format, pict, TYMED_MFPICT);
        }
    } else
        object.SetBlock(format, block);
}

// The block as another program's MIME data would carry it.
QMimeData* AsMime(CLIPFORMAT format, const QByteArray& block)
{
    auto* mime = new QMimeData;
    if (format == CF_TEXT || format == CF_UNICODETEXT || format == CF_OEMTEXT || format == CF_LOCALE)
        mime->setText(QString::fromUtf8(block));
    else if (format == CF_HDROP)
        mime->setData(QStringLiteral("text/uri-list"), block);
    else if (format == CF_DIB || format == CF_BITMAP)
        mime->setData(QStringLiteral("image/bmp"), block);
    else if (format == HtmlFormat)
        mime->setData(QStringLiteral("text/html"), block);
    else if (format == RichTextFormat)
        mime->setData(QStringLiteral("text/rtf"), block);
    else if (format >= 0xC000)
        mime->setData(WindowsMimeType(GetClipboardFormatName(format)), block);
    else
        mime->setData(QStringLiteral("application/octet-stream"), block);
    return mime;
}

[[noreturn]] void Violation(const char* what)
{
    std::fprintf(stderr, "invariant violated: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TFuzzWorld world;
    if (size < 3)
        return 0;
    TFuzzEditor& editor = *world.editor;
    const QVector<CLIPFORMAT> acceptance = MPHAcceptanceList(true);
    const CLIPFORMAT format = acceptance[data[0] % acceptance.size()];
    const uint8_t flags = data[1];
    world.chooser.pick = data[2];
    const QByteArray block(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3));

    Reset(editor);
    editor.SetBytesPerUnit((flags & 0x08) ? 2 : 1);
    editor.SetClipboardAsHexText(flags & 0x02);
    editor.SetSwapNibbles(flags & 0x04);
    const TMPHTransferPurpose purpose = (flags & 0x01) ? tpDrop : tpPaste;
    uint32_t effect = (flags & 0x10) ? DROPEFFECT_LINK : DROPEFFECT_COPY;
    const bool selected = (flags & 0x80) != 0;
    if (selected)
        editor.SetSelection(2, 4);

    QMimeData* mime = nullptr;
    TComPtr<IDataObject> object;
    if (flags & 0x20) {
        mime = AsMime(format, block);
        object = TComPtr<IDataObject>(new TMimeDataObject(mime));
    } else {
        TComPtr<TMemoryDataObject> memory(new TMemoryDataObject);
        OfferDirect(*memory, format, block);
        if (flags & 0x40) // a second format makes the reader choose
            OfferDirect(*memory, acceptance[data[2] % acceptance.size()], block.left(block.size() / 2));
        object = memory;
    }

    const QByteArray before = Initial();
    try {
        if (editor.CheckTransferFormats(object.Get(), 0, purpose, effect, QPoint()) == S_OK) {
            const HRESULT hr = editor.InsertTransferData(object.Get(), 0, QPoint(), effect, purpose);
            const QByteArray after(reinterpret_cast<const char*>(editor.DataStorage().Memory()), editor.DataSize());
            if (hr != S_OK && after != before)
                Violation("failed read changed the data");
            const int removed = selected ? 3 : 0;
            if (hr == S_OK && (after.size() - before.size() + removed) % editor.BytesPerUnit() != 0)
                Violation("partial unit inserted");
        }
    } catch (const Exception&) {
        // Unreadable dropped files raise the file-open error; that is the
        // documented outcome. The data must be untouched.
        const QByteArray after(reinterpret_cast<const char*>(editor.DataStorage().Memory()), editor.DataSize());
        if (after != before)
            Violation("exception left data changed");
    }
    object.Reset();
    delete mime;
    return 0;
}
