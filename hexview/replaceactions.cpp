// Edit menu: Replace... and its dialog. Finding goes through the Find
// actions' functions; the replacements are the editor's own operations, so
// each is one undo step.

#include "hexview/replaceactions.h"

#include "hexview/core/replaceplan.h"
#include "hexview/hexviewwindow.h"

#include "hexeditor/core/mphexception.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
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

// Whether the selection holds exactly one match of pattern.
bool SelectionIsMatch(TMPHexEditorEx& editor, const TMPHSearchPattern& pattern)
{
    if (editor.SelCount() == 0 || editor.SelCount() != pattern.Length())
        return false;
    return pattern.MatchesAt(editor.DataStorage().GetAddress(editor.SelFirst(), editor.SelCount()));
}

} // namespace

QByteArray ReplacementBytes(HexViewWindow& window, const QString& text, bool hex)
{
    if (text.trimmed().isEmpty() && (hex || text.isEmpty()))
        return QByteArray();
    if (hex)
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
        const TMPHSearchPattern pattern = MakeFindPattern(window, request);
        const QByteArray bytes = ReplacementBytes(window, replacement, request.Hex);
        if (!SelectionIsMatch(editor, pattern))
            return;
        CheckFixedSize(editor, pattern.Length(), bytes.size());
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

int64_t ReplaceAllInWindow(HexViewWindow& window, const TFindRequest& request, const QString& replacement)
{
    if (!Editable(window))
        return 0;
    TMPHexEditorEx& editor = window.Editor();
    int64_t count = 0;
    window.RunGuarded([&] {
        const TMPHSearchPattern pattern = MakeFindPattern(window, request);
        const QByteArray bytes = ReplacementBytes(window, replacement, request.Hex);
        const int32_t size = editor.DataSize();
        if (size == 0)
            return;
        const TReplacePlan plan = PlanReplaceAll(pattern, editor.DataStorage().GetAddress(0, size), size, bytes,
                                                 TMPHexEditorEx::MaxDataSize);
        if (plan.TooLarge)
            throw EMPHexEditor(HexViewWindow::tr("Replacing all matches would make the data larger than %1 bytes")
                                   .arg(TMPHexEditorEx::MaxDataSize));
        if (plan.Count == 0)
            return;
        CheckFixedSize(editor, pattern.Length(), bytes.size());
        editor.Replace(plan.NewBytes.constData(), int32_t(plan.First), int32_t(plan.OldCount),
                       int32_t(plan.NewBytes.size()), HexViewWindow::tr("Replace all"), false);
        count = plan.Count;
    });
    if (count == 0) {
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
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("replaceFind"));
    m_replace = new QLineEdit(this);
    m_replace->setObjectName(QStringLiteral("replaceWith"));
    m_replace->setPlaceholderText(tr("empty: delete the matches"));
    m_hex = new QRadioButton(tr("&Hex bytes"), this);
    m_text = new QRadioButton(tr("&Text (current translation)"), this);
    m_text->setObjectName(QStringLiteral("replaceTextMode"));
    m_hex->setChecked(true);
    m_ignoreCase = new QCheckBox(tr("&Ignore case"), this);
    m_result = new QLabel(this);

    auto* findNext = new QPushButton(tr("Find &next"), this);
    m_replaceOne = new QPushButton(tr("&Replace"), this);
    m_replaceOne->setObjectName(QStringLiteral("replaceOne"));
    m_replaceOne->setDefault(true);
    m_replaceAll = new QPushButton(tr("Replace &all"), this);
    m_replaceAll->setObjectName(QStringLiteral("replaceAll"));
    auto* close = new QPushButton(tr("Close"), this);
    connect(findNext, &QPushButton::clicked, this, [this] {
        const bool found = FindInWindow(m_window, Request(), true);
        m_result->setText(found ? QString() : m_window.statusBar()->currentMessage());
    });
    connect(m_replaceOne, &QPushButton::clicked, this, [this] {
        const bool found = ReplaceInWindow(m_window, Request(), Replacement());
        m_result->setText(found ? QString() : m_window.statusBar()->currentMessage());
    });
    connect(m_replaceAll, &QPushButton::clicked, this, [this] {
        ReplaceAllInWindow(m_window, Request(), Replacement());
        m_result->setText(m_window.statusBar()->currentMessage());
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_text, &QRadioButton::toggled, this, &TReplaceDialog::UpdateEnabled);
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
    modes->addWidget(m_ignoreCase);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {findNext, m_replaceOne, m_replaceAll, close})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(modes);
    layout->addWidget(m_result);
    layout->addLayout(buttons);
    UpdateEnabled();
}

void TReplaceDialog::Open()
{
    // A few selected bytes are offered as what to find, as Find does.
    TMPHexEditorEx& editor = m_window.Editor();
    if (m_find->text().isEmpty() && editor.SelCount() > 0 && editor.SelCount() <= 32) {
        m_hex->setChecked(true);
        m_find->setText(QString::fromLatin1(editor.SelectionAsText().toHex(' ').toUpper()));
    }
    m_result->clear();
    show();
    raise();
    activateWindow();
    m_find->selectAll();
    m_find->setFocus();
}

TFindRequest TReplaceDialog::Request() const
{
    return TFindRequest{m_find->text(), m_hex->isChecked(), m_text->isChecked() && m_ignoreCase->isChecked()};
}

QString TReplaceDialog::Replacement() const
{
    return m_replace->text();
}

void TReplaceDialog::UpdateEnabled()
{
    m_ignoreCase->setEnabled(m_text->isChecked());
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
