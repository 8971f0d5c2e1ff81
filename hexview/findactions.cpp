// Edit menu: finding bytes or text, and going to an offset.

#include "hexview/findactions.h"

#include "hexview/core/byteregex.h"
#include "hexview/findhistorycombo.h"
#include "hexview/findresultsdock.h"
#include "hexview/hexviewwindow.h"
#include "hexview/jumpcentering.h"
#include "hexview/menuactions.h"

#include "hexeditor/core/mphexception.h"
#include "hexeditor/core/mphgotooffset.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace hexview {

namespace {

// Status bar messages stay this long (ms).
constexpr int MessageTimeout = 8000;

// Documents up to this size are searched without a progress dialog.
constexpr int32_t QuietSearchSize = 16 * 1024 * 1024;

QString Describe(const TFindRequest& request)
{
    return request.Hex && !request.Regex ? request.Text.trimmed() : QStringLiteral("\"%1\"").arg(request.Text);
}

// Where a search from the caret or the current match begins: from a
// selection (the previous match) past its first byte, from a bare caret at
// its byte going forward.
int64_t SearchStart(TMPHexEditorEx& editor, bool forward)
{
    if (editor.SelCount() > 0)
        return forward ? editor.SelFirst() + 1 : editor.SelFirst() - 1;
    return forward ? editor.CaretPosition() : editor.CaretPosition() - 1;
}

bool WasCancel(const EMPHexEditor& e)
{
    return e.Message() == MPHStrings::Text(MPHStrings::OperationCancelled);
}

} // namespace

TMPHSearchPattern MakeFindPattern(HexViewWindow& window, const TFindRequest& request)
{
    if (request.Hex)
        return TMPHSearchPattern::FromHexText(request.Text);
    return TMPHSearchPattern::FromText(request.Text, window.Editor().SearchTextEncoding(), request.IgnoreCase);
}

std::unique_ptr<TMPHMatcher> MakeFindMatcher(HexViewWindow& window, const TFindRequest& request)
{
    if (request.Regex)
        return std::make_unique<TByteRegex>(request.Text, request.IgnoreCase);
    return std::make_unique<TMPHSearchPattern>(MakeFindPattern(window, request));
}

bool IsValidFindRequest(HexViewWindow& window, const TFindRequest& request)
{
    try {
        MakeFindMatcher(window, request);
    } catch (const EMPHexEditor&) {
        return false;
    }
    return true;
}

TMPHFindParams WindowFindParams(HexViewWindow& window, const TFindRequest& request, const TMPHMatcher* matcher)
{
    TMPHexEditorEx& editor = window.Editor();
    TMPHFindParams params;
    // Data in one block is searched in place. Otherwise a matcher with a
    // longest match reads the data in chunks (an on-demand document stays on
    // demand); the others get it gathered into one block.
    if (matcher && matcher->MaxLength() > 0 && !editor.DataStorage().IsContiguous()) {
        TMPHMemoryStream& data = editor.DataStorage();
        params.Read = [&data](int64_t index, int64_t count, uint8_t* out) { data.ReadBufferAt(out, index, count); };
    } else {
        params.Data = editor.DataStorage().Memory();
    }
    params.Size = editor.DataSize();
    if (request.InScope()) {
        params.RangeFirst = request.ScopeFirst;
        params.RangeEnd = std::min<int64_t>(request.ScopeEnd, params.Size);
    }
    if (params.Size > QuietSearchSize)
        params.Progress = [&window](int percent) { return !window.ContinueAfterProgress(percent); };
    return params;
}

QString WrapNotice(const TFindRequest& request, bool forward)
{
    if (request.InScope())
        return forward ? HexViewWindow::tr("Search wrapped to the start of the selection")
                       : HexViewWindow::tr("Search wrapped to the end of the selection");
    return forward ? HexViewWindow::tr("Search wrapped to the start of the data")
                   : HexViewWindow::tr("Search wrapped to the end of the data");
}

void SelectFoundBytes(HexViewWindow& window, int64_t position, int64_t length)
{
    TMPHexEditorEx& editor = window.Editor();
    const auto first = static_cast<int32_t>(position);
    const auto last = static_cast<int32_t>(position + std::max<int64_t>(length, 1) - 1);
    editor.SetSelStart(first);
    editor.SetSelEnd(last);
    const TGridCoord end = editor.CellAtPosition(last, editor.InCharField());
    editor.ScrollInView(end.X, end.Y);
    editor.ScrollInView(editor.Col(), editor.Row());
    emit window.SelectionChanged();
}

bool FindInWindow(HexViewWindow& window, const TFindRequest& request, bool forward)
{
    TMPHexEditorEx& editor = window.Editor();
    std::unique_ptr<TMPHMatcher> matcher;
    if (!window.RunGuarded([&] { matcher = MakeFindMatcher(window, request); }))
        return false;

    TMPHFindParams params = WindowFindParams(window, request, matcher.get());
    params.Forward = forward;
    params.Start = SearchStart(editor, forward);
    TMPHMatch match;
    QString failure; // a read error of an on-demand document, shown below
    try {
        auto search = [&] { match = FindMatch(*matcher, params); };
        if (params.Progress)
            window.WithProgressDialog(HexViewWindow::tr("Searching for %1...").arg(Describe(request)), search);
        else
            search();
    } catch (const EMPHexEditor& e) {
        if (WasCancel(e)) {
            window.statusBar()->showMessage(HexViewWindow::tr("Search cancelled"), MessageTimeout);
            return false;
        }
        window.ShowError(e.Message());
        return false;
    } catch (...) {
        failure = HexViewWindow::ErrorText(std::current_exception());
    }
    if (!failure.isEmpty()) {
        window.ShowError(failure);
        return false;
    }
    if (!match.Found()) {
        window.statusBar()->showMessage(HexViewWindow::tr("Not found: %1").arg(Describe(request)), MessageTimeout);
        QApplication::beep();
        return false;
    }
    const int64_t end = params.RangeEnd < 0 ? params.Size : params.RangeEnd;
    const int64_t start = std::clamp<int64_t>(params.Start, params.RangeFirst - 1, end);
    const bool wrapped = forward ? match.Position < start : match.Position > start;
    SelectFoundBytes(window, match.Position, match.Length);
    if (wrapped)
        window.statusBar()->showMessage(WrapNotice(request, forward), MessageTimeout);
    else
        window.statusBar()->clearMessage();
    return true;
}

TFindDialog::TFindDialog(HexViewWindow& window) : QDialog(&window), m_window(window)
{
    setObjectName(QStringLiteral("findDialog"));
    setWindowTitle(tr("Find"));
    m_text = NewHistoryCombo(this, QStringLiteral("findText"));
    m_text->lineEdit()->setPlaceholderText(tr("E3 00 00 10"));
    m_hex = new QRadioButton(tr("&Hex bytes"), this);
    m_hex->setObjectName(QStringLiteral("findHex"));
    m_textMode = new QRadioButton(tr("&Text (current translation)"), this);
    m_textMode->setObjectName(QStringLiteral("findTextMode"));
    m_regex = new QRadioButton(tr("Regular e&xpression"), this);
    m_regex->setObjectName(QStringLiteral("findRegex"));
    m_regex->setToolTip(tr("Over the bytes: each byte is one character 0-255; write bytes as \\xHH; "
                           "\".\" matches any byte"));
    m_hex->setChecked(true);
    m_ignoreCase = new QCheckBox(tr("&Ignore case"), this);
    m_ignoreCase->setObjectName(QStringLiteral("findIgnoreCase"));
    m_inSelection = new QCheckBox(tr("In &selection"), this);
    m_inSelection->setObjectName(QStringLiteral("findInSelection"));
    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("findResult"));

    auto* next = new QPushButton(tr("Find &next"), this);
    next->setObjectName(QStringLiteral("findNext"));
    next->setDefault(true);
    auto* previous = new QPushButton(tr("Find &previous"), this);
    previous->setObjectName(QStringLiteral("findPrevious"));
    auto* all = new QPushButton(tr("Find &all"), this);
    all->setObjectName(QStringLiteral("findAll"));
    auto* close = new QPushButton(tr("Close"), this);
    connect(next, &QPushButton::clicked, this, [this] { emit FindRequested(true); });
    connect(previous, &QPushButton::clicked, this, [this] { emit FindRequested(false); });
    connect(all, &QPushButton::clicked, this, [this] { emit FindAllRequested(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    for (QRadioButton* mode : {m_hex, m_textMode, m_regex})
        connect(mode, &QRadioButton::toggled, this, &TFindDialog::UpdateEnabled);
    connect(m_inSelection, &QCheckBox::toggled, this, [this](bool on) {
        m_foundFirst = m_foundLast = -1; // checked now: the selection is the scope
        if (on)
            TakeScopeFromSelection();
        UpdateEnabled();
    });

    auto* modes = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{m_hex, m_textMode, m_regex})
        modes->addWidget(w);
    auto* options = new QHBoxLayout;
    options->addWidget(m_ignoreCase);
    options->addWidget(m_inSelection);
    options->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {next, previous, all, close})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("Find &what:"), this);
    label->setBuddy(m_text);
    layout->addWidget(label);
    layout->addWidget(m_text);
    layout->addLayout(modes);
    layout->addLayout(options);
    layout->addWidget(m_result);
    layout->addLayout(buttons);
    LoadHistoryInto(m_text, THistoryKind::Find);
    UpdateEnabled();
}

TFindRequest TFindDialog::Request() const
{
    TFindRequest request;
    request.Text = m_text->currentText();
    request.Hex = m_hex->isChecked();
    request.Regex = m_regex->isChecked();
    request.IgnoreCase = m_ignoreCase->isChecked() && !m_hex->isChecked();
    if (m_inSelection->isChecked() && m_scopeEnd > m_scopeFirst) {
        request.ScopeFirst = m_scopeFirst;
        request.ScopeEnd = m_scopeEnd;
    }
    return request;
}

void TFindDialog::SetRequest(const TFindRequest& request)
{
    m_text->setEditText(request.Text);
    (request.Regex ? m_regex : request.Hex ? m_hex : m_textMode)->setChecked(true);
    m_ignoreCase->setChecked(request.IgnoreCase);
    UpdateEnabled();
}

void TFindDialog::TakeScopeFromSelection()
{
    TMPHexEditorEx& editor = m_window.Editor();
    if (editor.SelCount() <= 0)
        return;
    // The match found last is selected now: the scope stays.
    if (m_inSelection->isChecked() && editor.SelFirst() == m_foundFirst && editor.SelLast() == m_foundLast)
        return;
    m_scopeFirst = editor.SelFirst();
    m_scopeEnd = int64_t(editor.SelLast()) + 1;
    UpdateEnabled();
}

void TFindDialog::NoteFound()
{
    TMPHexEditorEx& editor = m_window.Editor();
    m_foundFirst = editor.SelFirst();
    m_foundLast = editor.SelLast();
}

void TFindDialog::Remember()
{
    if (IsValidFindRequest(m_window, Request()))
        RememberInHistory(m_window, m_text, THistoryKind::Find);
}

void TFindDialog::UpdateEnabled()
{
    m_ignoreCase->setEnabled(!m_hex->isChecked());
    m_text->lineEdit()->setPlaceholderText(m_regex->isChecked() ? tr("\\xE3\\x00\\x00\\x10|Zelq")
                                           : m_hex->isChecked() ? tr("E3 00 00 10")
                                                                : tr("Zelq boot"));
    const bool scoped = m_inSelection->isChecked() && m_scopeEnd > m_scopeFirst;
    const auto hex = [](int64_t v) { return QStringLiteral("0x") + QString::number(v, 16).toUpper(); };
    m_inSelection->setText(scoped ? tr("In &selection (%1-%2)").arg(hex(m_scopeFirst), hex(m_scopeEnd - 1))
                                  : tr("In &selection"));
}

TGotoDialog::TGotoDialog(HexViewWindow& window) : QDialog(&window), m_window(window)
{
    setObjectName(QStringLiteral("gotoDialog"));
    setWindowTitle(tr("Go to offset"));
    m_input = new QLineEdit(this);
    m_input->setObjectName(QStringLiteral("gotoOffset"));
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("gotoMessage"));
    m_message->setWordWrap(true);
    m_message->setStyleSheet(QStringLiteral("color: #b00000"));
    auto* hint = new QLabel(tr("Decimal (1234), hexadecimal (0x4D2), as the offset column shows it, "
                               "or relative to the caret (+16, -0x10)."),
                            this);
    hint->setWordWrap(true);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &TGotoDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(m_input);
    layout->addWidget(m_message);
    layout->addWidget(box);
    setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 60);
}

void TGotoDialog::accept()
{
    TMPHexEditorEx& editor = m_window.Editor();
    TMPHGotoLimits limits;
    limits.Current = editor.DataSize() > 0 ? editor.CaretPosition() : 0;
    limits.DataSize = editor.DataSize();
    limits.AllowEnd = editor.InsertMode();
    try {
        m_target = ParseGotoOffset(m_input->text(), editor.OffsetFormatRecord(), limits);
    } catch (const EMPHexEditor& e) {
        m_message->setText(e.Message());
        adjustSize();
        m_input->selectAll();
        m_input->setFocus();
        return; // stays open: nothing is clamped silently
    }
    QDialog::accept();
}

void GoToPosition(HexViewWindow& window, int32_t position)
{
    TMPHexEditorEx& editor = window.Editor();
    const bool charField = editor.InCharField();
    editor.ResetSelection(true);
    const TGridCoord cell = editor.CellAtPosition(position, charField);
    editor.MoveColRow(cell.X, cell.Y, true);
    editor.ScrollInView(cell.X, cell.Y);
    CenterCaretRow(window); // the target row in the middle of the view
    emit window.SelectionChanged();
}

namespace {

class TFindActions : public QObject
{
public:
    explicit TFindActions(HexViewWindow& window) : QObject(&window), m_window(window) {}
    void Install();

private:
    void ShowFindDialog();
    void FindAgain(bool forward);
    void FindAll();
    void ShowGotoDialog();

    HexViewWindow& m_window;
    TFindDialog* m_dialog = nullptr;
    TFindRequest m_last;
    bool m_hasLast = false;
};

void TFindActions::Install()
{
    QMenu* edit = m_window.EditMenu();
    edit->addSeparator();
    QAction* find =
        AddMenuAction(edit, HexViewWindow::tr("&Find..."), "actionFind", QKeySequence(Qt::CTRL | Qt::Key_F));
    QAction* next =
        AddMenuAction(edit, HexViewWindow::tr("Find &next"), "actionFindNext", QKeySequence(Qt::Key_F3));
    QAction* previous = AddMenuAction(edit, HexViewWindow::tr("Find pre&vious"), "actionFindPrevious",
                                      QKeySequence(Qt::SHIFT | Qt::Key_F3));
    QAction* go = AddMenuAction(edit, HexViewWindow::tr("&Go to offset..."), "actionGotoOffset",
                                QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(find, &QAction::triggered, this, &TFindActions::ShowFindDialog);
    connect(next, &QAction::triggered, this, [this] { FindAgain(true); });
    connect(previous, &QAction::triggered, this, [this] { FindAgain(false); });
    connect(go, &QAction::triggered, this, &TFindActions::ShowGotoDialog);
}

void TFindActions::ShowFindDialog()
{
    if (!m_dialog) {
        m_dialog = new TFindDialog(m_window);
        connect(m_dialog, &TFindDialog::FindRequested, this, [this](bool forward) {
            m_last = m_dialog->Request();
            m_hasLast = true;
            m_dialog->Remember();
            // The dialog repeats what the status bar says (a wrap, not found).
            if (FindInWindow(m_window, m_last, forward))
                m_dialog->NoteFound();
            m_dialog->Result()->setText(m_window.statusBar()->currentMessage());
        });
        connect(m_dialog, &TFindDialog::FindAllRequested, this, &TFindActions::FindAll);
    }
    // The last search comes back; before the first one a selection of a few
    // bytes is offered as the hex pattern.
    TMPHexEditorEx& editor = m_window.Editor();
    if (m_hasLast) {
        m_dialog->SetRequest(m_last);
    } else if (editor.SelCount() > 0 && editor.SelCount() <= 32) {
        const QByteArray bytes = editor.SelectionAsText();
        m_dialog->SetRequest(TFindRequest{QString::fromLatin1(bytes.toHex(' ').toUpper()), true, false});
    }
    m_dialog->TakeScopeFromSelection();
    m_dialog->Result()->clear();
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
    m_dialog->findChild<QLineEdit*>()->selectAll();
    m_dialog->findChild<QLineEdit*>()->setFocus();
}

void TFindActions::FindAll()
{
    m_last = m_dialog->Request();
    m_hasLast = true;
    m_dialog->Remember();
    FindAllInWindow(m_window, m_last);
    m_dialog->Result()->setText(m_window.statusBar()->currentMessage());
}

void TFindActions::FindAgain(bool forward)
{
    if (!m_hasLast) {
        ShowFindDialog();
        return;
    }
    if (FindInWindow(m_window, m_last, forward) && m_dialog)
        m_dialog->NoteFound();
}

void TFindActions::ShowGotoDialog()
{
    TGotoDialog dialog(m_window);
    if (dialog.exec() == QDialog::Accepted)
        GoToPosition(m_window, dialog.Target());
}

} // namespace

void InstallFindActions(HexViewWindow& window)
{
    (new TFindActions(window))->Install();
}

} // namespace hexview
