// Edit menu: finding bytes or text, and going to an offset.

#include "hexview/findactions.h"

#include "hexview/hexviewwindow.h"
#include "hexview/jumpcentering.h"
#include "hexview/menuactions.h"

#include "hexeditor/core/mphexception.h"
#include "hexeditor/core/mphgotooffset.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
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
    return request.Hex ? request.Text.trimmed() : QStringLiteral("\"%1\"").arg(request.Text);
}

} // namespace

TMPHSearchPattern MakeFindPattern(HexViewWindow& window, const TFindRequest& request)
{
    if (request.Hex)
        return TMPHSearchPattern::FromHexText(request.Text);
    return TMPHSearchPattern::FromText(request.Text, window.Editor().SearchTextEncoding(), request.IgnoreCase);
}

bool FindInWindow(HexViewWindow& window, const TFindRequest& request, bool forward)
{
    TMPHexEditorEx& editor = window.Editor();
    TMPHSearchPattern pattern;
    if (!window.RunGuarded([&] { pattern = MakeFindPattern(window, request); }))
        return false;

    bool found = false;
    const bool large = editor.DataSize() > QuietSearchSize;
    editor.SetFindProgress(large);
    try {
        auto search = [&] { found = editor.FindNext(pattern, forward); };
        if (large)
            window.WithProgressDialog(HexViewWindow::tr("Searching for %1...").arg(Describe(request)), search);
        else
            search();
    } catch (const EMPHexEditor& e) {
        editor.SetFindProgress(false);
        if (e.Message() == MPHStrings::Text(MPHStrings::OperationCancelled)) {
            window.statusBar()->showMessage(HexViewWindow::tr("Search cancelled"), MessageTimeout);
            return false;
        }
        window.ShowError(e.Message());
        return false;
    }
    editor.SetFindProgress(false);
    if (!found) {
        window.statusBar()->showMessage(HexViewWindow::tr("Not found: %1").arg(Describe(request)), MessageTimeout);
        QApplication::beep();
        return false;
    }
    window.statusBar()->clearMessage();
    emit window.SelectionChanged();
    return true;
}

TFindDialog::TFindDialog(HexViewWindow& window) : QDialog(&window)
{
    setObjectName(QStringLiteral("findDialog"));
    setWindowTitle(tr("Find"));
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("findText"));
    m_text->setPlaceholderText(tr("E3 00 00 10"));
    m_hex = new QRadioButton(tr("&Hex bytes"), this);
    m_hex->setObjectName(QStringLiteral("findHex"));
    m_textMode = new QRadioButton(tr("&Text (current translation)"), this);
    m_textMode->setObjectName(QStringLiteral("findTextMode"));
    m_hex->setChecked(true);
    m_ignoreCase = new QCheckBox(tr("&Ignore case"), this);
    m_ignoreCase->setObjectName(QStringLiteral("findIgnoreCase"));
    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("findResult"));

    auto* next = new QPushButton(tr("Find &next"), this);
    next->setObjectName(QStringLiteral("findNext"));
    next->setDefault(true);
    auto* previous = new QPushButton(tr("Find &previous"), this);
    previous->setObjectName(QStringLiteral("findPrevious"));
    auto* close = new QPushButton(tr("Close"), this);
    connect(next, &QPushButton::clicked, this, [this] { emit FindRequested(true); });
    connect(previous, &QPushButton::clicked, this, [this] { emit FindRequested(false); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_textMode, &QRadioButton::toggled, this, &TFindDialog::UpdateEnabled);

    auto* modes = new QHBoxLayout;
    modes->addWidget(m_hex);
    modes->addWidget(m_textMode);
    modes->addWidget(m_ignoreCase);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(next);
    buttons->addWidget(previous);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Find &what:"), this));
    layout->addWidget(m_text);
    layout->addLayout(modes);
    layout->addWidget(m_result);
    layout->addLayout(buttons);
    qobject_cast<QLabel*>(layout->itemAt(0)->widget())->setBuddy(m_text);
    UpdateEnabled();
}

TFindRequest TFindDialog::Request() const
{
    return TFindRequest{m_text->text(), m_hex->isChecked(), m_ignoreCase->isChecked()};
}

void TFindDialog::SetRequest(const TFindRequest& request)
{
    m_text->setText(request.Text);
    (request.Hex ? m_hex : m_textMode)->setChecked(true);
    m_ignoreCase->setChecked(request.IgnoreCase);
    UpdateEnabled();
}

void TFindDialog::UpdateEnabled()
{
    m_ignoreCase->setEnabled(m_textMode->isChecked());
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
            const bool found = FindInWindow(m_window, m_last, forward);
            m_dialog->Result()->setText(found ? QString() : m_window.statusBar()->currentMessage());
        });
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
    m_dialog->Result()->clear();
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
    m_dialog->findChild<QLineEdit*>()->selectAll();
    m_dialog->findChild<QLineEdit*>()->setFocus();
}

void TFindActions::FindAgain(bool forward)
{
    if (!m_hasLast) {
        ShowFindDialog();
        return;
    }
    FindInWindow(m_window, m_last, forward);
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
