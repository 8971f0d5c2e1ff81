// Edit: Cut, Copy, Paste, "Copy as hex text", Copy as..., Paste as hex;
// File: New from clipboard. Everything goes through the editor's clipboard
// operations and its transfer reader.
#include "hexview/hexviewwindow.h"

#include "hexview/core/copyformats.h"
#include "hexview/textcopynotice.h"
#include "platform/core/codepages.h"
#include "platform/core/memorydataobject.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>

namespace hexview {

namespace {

class TClipboardActions : public QObject
{
public:
    explicit TClipboardActions(HexViewWindow& window) : QObject(&window), m_window(window) {}

    void Install();

private:
    TMPHexEditorEx& Editor() { return m_window.Editor(); }
    QByteArray SelectedBytes();
    void CopyAs(TCopyFormat format);
    void PasteAsHex();
    void NewFromClipboard();
    // Selection-dependent actions: cheap, run on every selection change.
    void UpdateEnabled();
    // Paste actions: asking the clipboard may mean a round trip to another
    // program, so only when the clipboard or the document changes and when
    // the menu opens.
    void UpdatePasteEnabled();

    HexViewWindow& m_window;
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
    connect(m_paste, &QAction::triggered, this,
            [this] { m_window.RunGuarded([this] { Editor().PasteFromClipboard(); }); });
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
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { UpdatePasteEnabled(); });
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
    const bool writable = !m_window.ReadOnlyView();
    m_paste->setEnabled(writable && Editor().CanPaste());
    m_pasteAsHex->setEnabled(writable && !Editor().ReadOnlyView() && !QGuiApplication::clipboard()->text().isEmpty());
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

void TClipboardActions::NewFromClipboard()
{
    m_window.RunGuarded([this] {
        TMPHexEditorEx& e = Editor();
        // The current document stays when there is nothing to read.
        if (m_window.ReadOnlyView() || !e.CanPaste()) {
            m_window.ShowError(tr("The clipboard holds nothing the editor can read"));
            return;
        }
        e.CreateEmptyFile(tr("Untitled"));
        const bool pasted = e.PasteFromClipboard();
        emit m_window.DocumentLoaded();
        if (!pasted)
            m_window.ShowError(tr("The clipboard holds nothing the editor can read"));
    });
}

} // namespace

void InstallClipboardActions(HexViewWindow& window) { (new TClipboardActions(window))->Install(); }

} // namespace hexview
