// Edit: Cut, Copy, Paste, "Copy as hex text", Copy as..., Paste as hex;
// File: New from clipboard. Everything goes through the editor's clipboard
// operations and its transfer reader.
#include "hexview/hexviewwindow.h"

#include "hexview/clipboardwatch.h"

#include "hexview/core/copyformats.h"
#include "hexview/textcopynotice.h"
#include "platform/core/codepages.h"
#include "platform/core/memorydataobject.h"
#include "platform/oleclipboard.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>

namespace hexview {

namespace {

class TClipboardActions : public QObject
{
public:
    explicit TClipboardActions(HexViewWindow& window)
        : QObject(&window), m_window(window), m_watch(new TClipboardWatch(&window))
    {
    }

    void Install();

private:
    TMPHexEditorEx& Editor() { return m_window.Editor(); }
    QByteArray SelectedBytes();
    void CopyAs(TCopyFormat format);
    void PasteAsHex();
    void NewFromClipboard();
    QByteArray ClipboardBytes();
    // Selection-dependent actions: cheap, run on every selection change.
    void UpdateEnabled();
    // Paste actions: from the types the clipboard offers, as the watch knows
    // them; never a question to the clipboard's owner.
    void UpdatePasteEnabled();
    bool OfferCanBePasted(const QStringList& types);
    // Before the clipboard's data is read: false, with a message, when its
    // owner does not answer.
    bool OwnerAnswers();
    void Paste();

protected:
    // The editor's own Ctrl+V would ask the clipboard's owner on the window's
    // thread: the window's Paste takes the key instead.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:

    HexViewWindow& m_window;
    TClipboardWatch* m_watch;
    QAction* m_cut = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
    QAction* m_hexText = nullptr;
    QMenu* m_copyAs = nullptr;
    QAction* m_pasteAsHex = nullptr;
};

void TClipboardActions::Install()
{
    QMenu* edit = m_window.EditMenu();
    if (!edit->isEmpty())
        edit->addSeparator();
    m_cut = edit->addAction(tr("Cu&t"));
    m_cut->setShortcut(QKeySequence::Cut);
    m_copy = edit->addAction(tr("&Copy"));
    m_copy->setShortcut(QKeySequence::Copy);
    m_paste = edit->addAction(tr("&Paste"));
    m_paste->setShortcut(QKeySequence::Paste);
    m_hexText = edit->addAction(tr("Copy as &hex text"));
    m_hexText->setCheckable(true);
    m_hexText->setChecked(Editor().ClipboardAsHexText());
    m_copyAs = edit->addMenu(tr("Copy &as"));
    const std::pair<QString, TCopyFormat> forms[] = {{tr("&Spaced hex"), TCopyFormat::SpacedHex},
                                                     {tr("&C array"), TCopyFormat::CArray},
                                                     {tr("&Python bytes"), TCopyFormat::PythonBytes},
                                                     {tr("&Base64"), TCopyFormat::Base64}};
    for (const auto& [text, format] : forms) {
        const TCopyFormat f = format;
        connect(m_copyAs->addAction(text), &QAction::triggered, this, [this, f] { CopyAs(f); });
    }
    m_pasteAsHex = edit->addAction(tr("Paste as he&x"));
    // File > New from clipboard stands right after Open.
    QMenu* file = m_window.FileMenu();
    QAction* newFromClipboard = new QAction(tr("New from c&lipboard"), file);
    const QList<QAction*> fileActions = file->actions();
    QAction* afterOpen = nullptr;
    for (qsizetype i = 0; i + 1 < fileActions.size(); ++i)
        if (fileActions[i]->objectName() == QStringLiteral("actionOpen"))
            afterOpen = fileActions[i + 1];
    file->insertAction(afterOpen, newFromClipboard);
    m_cut->setObjectName(QStringLiteral("actionCut"));
    m_copy->setObjectName(QStringLiteral("actionCopy"));
    m_paste->setObjectName(QStringLiteral("actionPaste"));
    m_hexText->setObjectName(QStringLiteral("actionCopyAsHexText"));
    m_copyAs->setObjectName(QStringLiteral("menuCopyAs"));
    m_pasteAsHex->setObjectName(QStringLiteral("actionPasteAsHex"));
    newFromClipboard->setObjectName(QStringLiteral("actionNewFromClipboard"));

    // Both tell in the status bar when the text form stops at a zero byte.
    connect(m_cut, &QAction::triggered, this,
            [this] { m_window.RunGuarded([this] { CopyWithTextNotice(m_window, TClipboardCopy::Cut); }); });
    connect(m_copy, &QAction::triggered, this,
            [this] { m_window.RunGuarded([this] { CopyWithTextNotice(m_window, TClipboardCopy::Copy); }); });
    connect(m_paste, &QAction::triggered, this, [this] { Paste(); });
    connect(m_hexText, &QAction::toggled, this, [this](bool on) { Editor().SetClipboardAsHexText(on); });
    connect(m_pasteAsHex, &QAction::triggered, this, [this] { PasteAsHex(); });
    connect(newFromClipboard, &QAction::triggered, this, [this] { NewFromClipboard(); });

    connect(&m_window, &HexViewWindow::SelectionChanged, this, [this] { UpdateEnabled(); });
    connect(&m_window, &HexViewWindow::DataChanged, this, [this] { UpdateEnabled(); });
    connect(&m_window, &HexViewWindow::DocumentLoaded, this, [this] {
        UpdateEnabled();
        UpdatePasteEnabled();
    });
    connect(&m_window, &HexViewWindow::ReadOnlyViewChanged, this, [this] {
        UpdateEnabled();
        UpdatePasteEnabled();
    });
    connect(edit, &QMenu::aboutToShow, this, [this] {
        UpdateEnabled();
        UpdatePasteEnabled();
    });
    connect(m_watch, &TClipboardWatch::OfferChanged, this, [this] { UpdatePasteEnabled(); });
    m_window.OnEveryEditor([this](TMPHexEditorEx& editor) { editor.installEventFilter(this); });
    UpdateEnabled();
    UpdatePasteEnabled();
}

void TClipboardActions::UpdateEnabled()
{
    TMPHexEditorEx& e = Editor();
    const bool writable = !m_window.ReadOnlyView();
    m_copy->setEnabled(e.CanCopy());
    m_copyAs->setEnabled(e.CanCopy());
    m_cut->setEnabled(writable && e.CanCut());
    m_hexText->setChecked(e.ClipboardAsHexText());
}

void TClipboardActions::UpdatePasteEnabled()
{
    const bool writable = !m_window.ReadOnlyView() && !Editor().ReadOnlyView();
    const QStringList types = m_watch->OfferedTypes();
    bool text = false;
    for (const QString& type : types)
        text = text || type.startsWith(QLatin1String("text/plain"));
    m_paste->setEnabled(writable && OfferCanBePasted(types));
    m_pasteAsHex->setEnabled(writable && text);
}

// The editor's paste rule (a readable format offered; a fixed size needs
// data to overwrite), judged from the offered types instead of the data.
bool TClipboardActions::OfferCanBePasted(const QStringList& types)
{
    TMPHexEditorEx& e = Editor();
    if (e.ReadOnlyView() || (e.NoSizeChange() && e.DataSize() == 0))
        return false;
    const QVector<CLIPFORMAT> offered = ClipFormatsOfMimeTypes(types);
    for (CLIPFORMAT format : e.AcceptanceList())
        if (offered.contains(format))
            return true;
    return false;
}

bool TClipboardActions::OwnerAnswers()
{
    if (m_watch->OwnerAnswers())
        return true;
    m_window.ShowError(tr("The program that holds the clipboard does not answer; nothing was pasted"));
    return false;
}

bool TClipboardActions::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: while the window is taken down the editor still sends
    // events (children removed), and the window must not be asked then.
    if (event->type() != QEvent::KeyPress || watched != &Editor())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_V || (key->modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier)
        return false;
    // Reached only while the Paste action does not take its shortcut.
    if (m_paste->isEnabled())
        Paste();
    return true;
}

void TClipboardActions::Paste()
{
    m_window.RunGuarded([this] {
        if (OwnerAnswers())
            Editor().PasteFromClipboard();
    });
}

QByteArray TClipboardActions::SelectedBytes()
{
    TMPHexEditorEx& e = Editor();
    if (!e.CanCopy())
        return QByteArray();
    QByteArray bytes(e.SelCount(), '\0');
    e.ReadBuffer(bytes.data(), std::min(e.SelStart(), e.SelEnd()), e.SelCount());
    return bytes;
}

void TClipboardActions::CopyAs(TCopyFormat format)
{
    m_window.RunGuarded([&] {
        const QByteArray bytes = SelectedBytes();
        if (!bytes.isEmpty())
            QGuiApplication::clipboard()->setText(CopyText(format, bytes));
    });
}

// The clipboard's text read as hex digits through the editor's own reader,
// whatever the "Copy as hex text" setting.
void TClipboardActions::PasteAsHex()
{
    m_window.RunGuarded([this] {
        if (!OwnerAnswers())
            return;
        const QString text = HexDigitsText(QGuiApplication::clipboard()->text());
        TComPtr<TMemoryDataObject> object(new TMemoryDataObject);
        object->SetBlock(CF_TEXT, QStringToAnsi(text) + '\0');
        TMPHexEditorEx& e = Editor();
        const bool hexText = e.ClipboardAsHexText();
        e.SetClipboardAsHexText(true);
        uint32_t effect = DROPEFFECT_COPY;
        HRESULT result = E_FAIL;
        try {
            if (e.CheckTransferFormats(object.Get(), 0, tpPaste, effect, QPoint()) == S_OK)
                result = e.InsertTransferData(object.Get(), 0, QPoint(), effect, tpPaste);
        } catch (...) {
            e.SetClipboardAsHexText(hexText);
            throw;
        }
        e.SetClipboardAsHexText(hexText);
        if (result != S_OK)
            m_window.ShowError(tr("The clipboard holds no hexadecimal digits to paste"));
    });
}

// The clipboard's bytes as a paste into an empty document would take them,
// read by a scratch editor with the document editor's reading settings, so
// that the document is untouched until the bytes are there. Empty when
// nothing could be read.
QByteArray TClipboardActions::ClipboardBytes()
{
    TMPHexEditorEx& e = Editor();
    TMPHexEditorEx scratch;
    scratch.SetSupportsOtherClipFormats(e.SupportsOtherClipFormats());
    scratch.SetForeignTextAsCarried(e.ForeignTextAsCarried());
    scratch.SetClipboardAsHexText(e.ClipboardAsHexText());
    scratch.SetSwapNibbles(e.SwapNibbles());
    scratch.SetUnicodeChars(e.UnicodeChars());
    scratch.SetUnicodeBigEndian(e.UnicodeBigEndian());
    scratch.SetBytesPerUnit(e.BytesPerUnit());
    scratch.Loaded();
    scratch.CreateEmptyFile(tr("Untitled"));
    if (!scratch.PasteFromClipboard())
        return QByteArray();
    // The format dialog's "Hex text" choice is the editor's setting.
    e.SetClipboardAsHexText(scratch.ClipboardAsHexText());
    return QByteArray(reinterpret_cast<const char*>(scratch.DataStorage().Memory()), scratch.DataSize());
}

// The clipboard's bytes in a new tab, as File > New makes one: the document
// in front stays as it is. Nothing readable makes no tab.
void TClipboardActions::NewFromClipboard()
{
    m_window.RunGuarded([this] {
        if (!OwnerAnswers())
            return;
        const QByteArray bytes = ClipboardBytes();
        if (bytes.isEmpty()) {
            m_window.ShowError(tr("The clipboard holds nothing the editor can read"));
            return;
        }
        const bool hexText = Editor().ClipboardAsHexText();
        m_window.NewDocument();
        TMPHexEditorEx& e = Editor(); // the new tab's
        e.SetClipboardAsHexText(hexText);
        e.ReplaceSelection(bytes.constData(), int32_t(bytes.size()),
                           QString::fromLatin1(MPHClipStrings::PasteFromClipboard), true);
    });
}

} // namespace

void InstallClipboardActions(HexViewWindow& window) { (new TClipboardActions(window))->Install(); }

} // namespace hexview
