// Edit menu: Replace... and its dialog. Finding goes through the Find
// actions' functions; the replacements are the editor's own operations, so
// each is one undo step.

#include "hexview/replaceactions.h"

#include "hexview/core/byteregex.h"
#include "hexview/findhistorycombo.h"
#include "hexview/hexviewwindow.h"

#include "hexeditor/core/mphexception.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
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

constexpr int MessageTimeout = 8000;

bool Editable(HexViewWindow& window)
{
    return !window.ReadOnlyView() && !window.Editor().ReadOnlyView();
}

// Refuses a replacement the editor would cut short while the size is fixed.
void CheckFixedSize(TMPHexEditorEx& editor, int64_t patternLength, qsizetype replacementLength)
{
    if (editor.NoSizeChangeInForce() && patternLength != replacementLength)
        throw EMPHexEditor(HexViewWindow::tr("While the size is fixed, the replacement must have %1 bytes, "
                                             "as many as the bytes it replaces")
                               .arg(patternLength));
}

// Whether the selection holds exactly one match.
bool SelectionIsMatch(TMPHexEditorEx& editor, const TMPHMatcher& matcher)
{
    if (editor.SelCount() == 0)
        return false;
    const uint8_t* data = editor.DataStorage().Memory();
    int64_t length = 0;
    const int64_t first = editor.SelFirst();
    return matcher.FindForward(data, editor.DataSize(), first, first + 1, &length) == first
           && length == editor.SelCount();
}

bool WasCancel(const EMPHexEditor& e)
{
    return e.Message() == MPHStrings::Text(MPHStrings::OperationCancelled);
}

// Documents up to this size are replaced in without a progress dialog.
constexpr int32_t QuietReplaceSize = 16 * 1024 * 1024;

} // namespace

QByteArray ReplacementBytes(HexViewWindow& window, const TFindRequest& request, const QString& text)
{
    if (request.Regex)
        return EscapedBytes(text);
    if (text.trimmed().isEmpty() && (request.Hex || text.isEmpty()))
        return QByteArray();
    if (request.Hex)
        return TMPHSearchPattern::FromHexText(text).Bytes();
    return TMPHSearchPattern::FromText(text, window.Editor().SearchTextEncoding(), false).Bytes();
}

bool ReplaceInWindow(HexViewWindow& window, const TFindRequest& request, const QString& replacement)
{
    if (!Editable(window))
        return false;
    TMPHexEditorEx& editor = window.Editor();
    bool replaced = false;
    int32_t next = 0;
    const bool ok = window.RunGuarded([&] {
        const std::unique_ptr<TMPHMatcher> matcher = MakeFindMatcher(window, request);
        const QByteArray bytes = ReplacementBytes(window, request, replacement);
        if (!SelectionIsMatch(editor, *matcher))
            return;
        CheckFixedSize(editor, editor.SelCount(), bytes.size());
        const int32_t first = editor.SelFirst();
        editor.ReplaceSelection(bytes.constData(), int32_t(bytes.size()), HexViewWindow::tr("Replace"));
        replaced = true;
        next = first + int32_t(bytes.size());
    });
    if (!ok)
        return false;
    // Go on after the new bytes, so that a replacement holding the pattern
    // is not found again.
    if (replaced)
        GoToPosition(window, next < editor.DataSize() ? next : 0);
    return FindInWindow(window, request, true) || replaced;
}

namespace {

// Replace all's work; the count, 0 when nothing matched. Raises.
int64_t ReplaceAll(HexViewWindow& window, const TFindRequest& request, const QString& replacement)
{
    TMPHexEditorEx& editor = window.Editor();
    const std::unique_ptr<TMPHMatcher> matcher = MakeFindMatcher(window, request);
    const QByteArray bytes = ReplacementBytes(window, request, replacement);
    if (editor.DataSize() == 0)
        return 0;
    // The fixed size allows only replacements as long as the pattern (the
    // editor refuses a regular expression's matches of another length).
    if (!request.Regex)
        CheckFixedSize(editor, matcher->MinLength(), bytes.size());
    TMPHFindParams params = WindowFindParams(window, request);
    if (editor.DataSize() <= QuietReplaceSize)
        params.Progress = {};
    int64_t count = 0;
    auto replace = [&] { count = editor.ReplaceAll(*matcher, bytes, params, HexViewWindow::tr("Replace all")); };
    if (params.Progress)
        window.WithProgressDialog(HexViewWindow::tr("Replacing all matches..."), replace);
    else
        replace();
    return count;
}

} // namespace

int64_t ReplaceAllInWindow(HexViewWindow& window, const TFindRequest& request, const QString& replacement)
{
    if (!Editable(window))
        return 0;
    int64_t count = 0;
    bool cancelled = false;
    window.RunGuarded([&] {
        try {
            count = ReplaceAll(window, request, replacement);
        } catch (const EMPHexEditor& e) {
            if (!WasCancel(e))
                throw;
            cancelled = true;
        }
    });
    if (cancelled) {
        window.statusBar()->showMessage(HexViewWindow::tr("Replace all cancelled: nothing changed"), MessageTimeout);
    } else if (count == 0) {
        window.statusBar()->showMessage(HexViewWindow::tr("Nothing replaced"), MessageTimeout);
        QApplication::beep();
    } else {
        window.statusBar()->showMessage(HexViewWindow::tr("Replaced %n match(es)", nullptr, int(count)),
                                        MessageTimeout);
    }
    emit window.SelectionChanged();
    return count;
}

// ---- the dialog -------------------------------------------------------------------

TReplaceDialog::TReplaceDialog(HexViewWindow& window) : QDialog(&window), m_window(window)
{
    setObjectName(QStringLiteral("replaceDialog"));
    setWindowTitle(tr("Replace"));
    m_find = NewHistoryCombo(this, QStringLiteral("replaceFind"));
    m_replace = NewHistoryCombo(this, QStringLiteral("replaceWith"));
    m_replace->lineEdit()->setPlaceholderText(tr("empty: delete the matches"));
    m_hex = new QRadioButton(tr("&Hex bytes"), this);
    m_text = new QRadioButton(tr("&Text (current translation)"), this);
    m_text->setObjectName(QStringLiteral("replaceTextMode"));
    m_regex = new QRadioButton(tr("Regular e&xpression"), this);
    m_regex->setObjectName(QStringLiteral("replaceRegex"));
    m_regex->setToolTip(tr("Over the bytes; the replacement is text with \\xHH for any byte "
                           "(no back-references)"));
    m_hex->setChecked(true);
    m_ignoreCase = new QCheckBox(tr("&Ignore case"), this);
    m_inSelection = new QCheckBox(tr("In &selection"), this);
    m_inSelection->setObjectName(QStringLiteral("replaceInSelection"));
    m_inSelection->setToolTip(tr("Replace all replaces only inside the bytes selected when the box was checked"));
    m_result = new QLabel(this);

    auto* findNext = new QPushButton(tr("Find &next"), this);
    m_replaceOne = new QPushButton(tr("&Replace"), this);
    m_replaceOne->setObjectName(QStringLiteral("replaceOne"));
    m_replaceOne->setDefault(true);
    m_replaceAll = new QPushButton(tr("Replace &all"), this);
    m_replaceAll->setObjectName(QStringLiteral("replaceAll"));
    auto* close = new QPushButton(tr("Close"), this);
    connect(findNext, &QPushButton::clicked, this, [this] {
        Remember(false);
        FindInWindow(m_window, Request(), true);
        m_result->setText(m_window.statusBar()->currentMessage());
    });
    connect(m_replaceOne, &QPushButton::clicked, this, [this] {
        Remember(true);
        ReplaceInWindow(m_window, Request(), Replacement());
        m_result->setText(m_window.statusBar()->currentMessage());
    });
    connect(m_replaceAll, &QPushButton::clicked, this, [this] {
        Remember(true);
        ReplaceAllInWindow(m_window, Request(), Replacement());
        m_result->setText(m_window.statusBar()->currentMessage());
    });
    connect(m_inSelection, &QCheckBox::toggled, this, [this](bool on) {
        TMPHexEditorEx& editor = m_window.Editor();
        m_scopeFirst = 0;
        m_scopeEnd = -1;
        if (on && editor.SelCount() > 0) {
            m_scopeFirst = editor.SelFirst();
            m_scopeEnd = int64_t(editor.SelLast()) + 1;
        }
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_text, &QRadioButton::toggled, this, &TReplaceDialog::UpdateEnabled);
    connect(m_regex, &QRadioButton::toggled, this, &TReplaceDialog::UpdateEnabled);
    connect(&m_window, &HexViewWindow::ReadOnlyViewChanged, this, &TReplaceDialog::UpdateEnabled);

    auto* fields = new QGridLayout;
    auto* findLabel = new QLabel(tr("Find &what:"), this);
    findLabel->setBuddy(m_find);
    auto* replaceLabel = new QLabel(tr("Replace wit&h:"), this);
    replaceLabel->setBuddy(m_replace);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_find, 0, 1);
    fields->addWidget(replaceLabel, 1, 0);
    fields->addWidget(m_replace, 1, 1);
    auto* modes = new QHBoxLayout;
    modes->addWidget(m_hex);
    modes->addWidget(m_text);
    modes->addWidget(m_regex);
    auto* options = new QHBoxLayout;
    options->addWidget(m_ignoreCase);
    options->addWidget(m_inSelection);
    options->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {findNext, m_replaceOne, m_replaceAll, close})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(modes);
    layout->addLayout(options);
    layout->addWidget(m_result);
    layout->addLayout(buttons);
    UpdateEnabled();
}

void TReplaceDialog::Open()
{
    // A few selected bytes are offered as what to find, as Find does.
    TMPHexEditorEx& editor = m_window.Editor();
    if (m_find->currentText().isEmpty() && editor.SelCount() > 0 && editor.SelCount() <= 32) {
        m_hex->setChecked(true);
        m_find->setEditText(QString::fromLatin1(editor.SelectionAsText().toHex(' ').toUpper()));
    }
    LoadHistoryInto(m_find, THistoryKind::Find);
    LoadHistoryInto(m_replace, THistoryKind::Replace);
    m_result->clear();
    show();
    raise();
    activateWindow();
    m_find->lineEdit()->selectAll();
    m_find->setFocus();
}

TFindRequest TReplaceDialog::Request() const
{
    TFindRequest request;
    request.Text = m_find->currentText();
    request.Hex = m_hex->isChecked();
    request.Regex = m_regex->isChecked();
    request.IgnoreCase = !m_hex->isChecked() && m_ignoreCase->isChecked();
    if (m_inSelection->isChecked() && m_scopeEnd > m_scopeFirst) {
        request.ScopeFirst = m_scopeFirst;
        request.ScopeEnd = m_scopeEnd;
    }
    return request;
}

QString TReplaceDialog::Replacement() const
{
    return m_replace->currentText();
}

void TReplaceDialog::Remember(bool replacementToo)
{
    if (!IsValidFindRequest(m_window, Request()))
        return;
    RememberInHistory(m_window, m_find, THistoryKind::Find);
    if (replacementToo && !m_replace->currentText().isEmpty())
        RememberInHistory(m_window, m_replace, THistoryKind::Replace);
}

void TReplaceDialog::UpdateEnabled()
{
    m_ignoreCase->setEnabled(!m_hex->isChecked());
    m_replaceOne->setEnabled(Editable(m_window));
    m_replaceAll->setEnabled(Editable(m_window));
}

void InstallReplaceActions(HexViewWindow& window)
{
    QMenu* edit = window.EditMenu();
    QAction* replace = nullptr;
    QAction* after = nullptr;
    for (QAction* action : edit->actions())
        if (action->objectName() == QLatin1String("actionFindPrevious"))
            after = action;
    const QList<QAction*> actions = edit->actions();
    const qsizetype at = actions.indexOf(after);
    QAction* before = at >= 0 && at + 1 < actions.size() ? actions[at + 1] : nullptr;
    replace = new QAction(HexViewWindow::tr("&Replace..."), edit);
    replace->setObjectName(QStringLiteral("actionReplace"));
    replace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    replace->setShortcutContext(Qt::WindowShortcut);
    edit->insertAction(before, replace);
    auto* dialog = new TReplaceDialog(window);
    QObject::connect(replace, &QAction::triggered, &window, [dialog] { dialog->Open(); });
    const auto sync = [replace, &window] { replace->setEnabled(Editable(window)); };
    QObject::connect(&window, &HexViewWindow::ReadOnlyViewChanged, replace, sync);
    QObject::connect(&window, &HexViewWindow::DocumentLoaded, replace, sync);
    sync();
}

} // namespace hexview
