// View menu: bytes per row, translation, unicode mode and byte order, ruler
// and its number base, grid lines, offset format, font, and a selection made
// by offsets (until the keyboard and mouse select).

#include "hexview/core/viewoptions.h"
#include "hexview/hexviewwindow.h"
#include "hexview/layoutactions.h"

#include "hexeditor/core/mphtranslation.h"

#include <QAction>
#include <QActionGroup>
#include <QFontDialog>
#include <QInputDialog>
#include <QMenu>

namespace hexview {

namespace {

// The checkable actions, brought in line with the editor after every change
// (a setter may refuse a value).
class TViewActions : public QObject
{
public:
    TViewActions(HexViewWindow& window) : QObject(&window), m_window(window) {}

    void Install();
    void Sync();

private:
    TMPHexEditorEx& Editor() { return m_window.Editor(); }
    // Runs a setter; shows its error and puts the checks back either way.
    void Change(const std::function<void()>& setter)
    {
        m_window.RunGuarded(setter);
        Sync();
        emit m_window.SelectionChanged();
    }
    void AddBytesPerRow(QMenu* menu);
    void AddTranslation(QMenu* menu);
    void AddUnicode(QMenu* menu);
    void AddRuler(QMenu* menu);
    void AddDialogs(QMenu* menu);
    QAction* AddCheck(QMenu* menu, const QString& text, const char* name, std::function<void(bool)> setter);

    HexViewWindow& m_window;
    QActionGroup* m_bytesPerRow = nullptr;
    QActionGroup* m_translation = nullptr;
    QActionGroup* m_rulerBase = nullptr;
    QAction* m_unicode = nullptr;
    QAction* m_bigEndian = nullptr;
    QAction* m_ruler = nullptr;
    QAction* m_gridLines = nullptr;
};

QAction* TViewActions::AddCheck(QMenu* menu, const QString& text, const char* name, std::function<void(bool)> setter)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    connect(action, &QAction::triggered, this, [this, setter](bool checked) { Change([&] { setter(checked); }); });
    return action;
}

void TViewActions::AddBytesPerRow(QMenu* menu)
{
    QMenu* sub = menu->addMenu(HexViewWindow::tr("&Bytes per row"));
    sub->setObjectName(QStringLiteral("menuBytesPerRow"));
    m_bytesPerRow = new QActionGroup(sub);
    for (int n : {4, 8, 16, 24, 32, 48, 64}) {
        QAction* action = sub->addAction(QString::number(n));
        action->setCheckable(true);
        action->setData(n);
        m_bytesPerRow->addAction(action);
        connect(action, &QAction::triggered, this, [this, n] { Change([&] { Editor().SetBytesPerRow(n); }); });
    }
    sub->addSeparator();
    QAction* other = sub->addAction(HexViewWindow::tr("&Other..."));
    connect(other, &QAction::triggered, this, [this] {
        bool ok = false;
        const int n = QInputDialog::getInt(&m_window, HexViewWindow::tr("Bytes per row"),
                                           HexViewWindow::tr("Bytes per row:"), Editor().BytesPerRow(), 1, 1024, 1, &ok);
        if (ok)
            Change([&] { Editor().SetBytesPerRow(n); });
    });
}

void TViewActions::AddTranslation(QMenu* menu)
{
    QMenu* sub = menu->addMenu(HexViewWindow::tr("&Translation"));
    sub->setObjectName(QStringLiteral("menuTranslation"));
    m_translation = new QActionGroup(sub);
    for (int k = tkAsIs; k <= tkCustom; ++k) {
        const auto kind = TMPHTranslationKind(k);
        QAction* action = sub->addAction(
            QStringLiteral("%1 (%2)").arg(TranslationLongName(kind), TranslationShortName(kind)));
        action->setCheckable(true);
        action->setData(k);
        m_translation->addAction(action);
        connect(action, &QAction::triggered, this, [this, kind] { Change([&] { Editor().SetTranslation(kind); }); });
    }
}

void TViewActions::AddUnicode(QMenu* menu)
{
    m_unicode = AddCheck(menu, HexViewWindow::tr("&Unicode characters (UTF-16, 2 bytes each)"), "actionUnicode",
                         [this](bool on) { SwitchUnicodeChars(Editor(), on); });
    m_bigEndian = AddCheck(menu, HexViewWindow::tr("Unicode &big-endian"), "actionBigEndian",
                           [this](bool on) { Editor().SetUnicodeBigEndian(on); });
}

void TViewActions::AddRuler(QMenu* menu)
{
    m_ruler = AddCheck(menu, HexViewWindow::tr("&Ruler"), "actionRuler",
                       [this](bool on) { Editor().SetShowRuler(on); });
    QMenu* sub = menu->addMenu(HexViewWindow::tr("Ruler &number base"));
    sub->setObjectName(QStringLiteral("menuRulerBase"));
    m_rulerBase = new QActionGroup(sub);
    for (int base : {16, 10, 8, 2}) {
        QAction* action = sub->addAction(QString::number(base));
        action->setCheckable(true);
        action->setData(base);
        m_rulerBase->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, base] { Change([&] { Editor().SetRulerNumberBase(base); }); });
    }
}

void TViewActions::AddDialogs(QMenu* menu)
{
    QAction* format = menu->addAction(HexViewWindow::tr("&Offset format..."));
    format->setObjectName(QStringLiteral("actionOffsetFormat"));
    connect(format, &QAction::triggered, this, [this] {
        bool ok = false;
        const QString text =
            QInputDialog::getText(&m_window, HexViewWindow::tr("Offset format"), HexViewWindow::tr("Offset format:"),
                                  QLineEdit::Normal, Editor().OffsetFormat(), &ok);
        if (ok)
            Change([&] { Editor().SetOffsetFormat(text); });
    });
    QAction* font = menu->addAction(HexViewWindow::tr("&Font..."));
    font->setObjectName(QStringLiteral("actionFont"));
    connect(font, &QAction::triggered, this, [this] {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, Editor().font(), &m_window, HexViewWindow::tr("Font"),
                                                  QFontDialog::MonospacedFonts);
        if (ok)
            Change([&] { Editor().setFont(chosen); });
    });
    menu->addSeparator();
    QAction* select = menu->addAction(HexViewWindow::tr("&Select bytes..."));
    select->setObjectName(QStringLiteral("actionSelectRange"));
    connect(select, &QAction::triggered, this, [this] {
        bool ok = false;
        const QString text = QInputDialog::getText(&m_window, HexViewWindow::tr("Select bytes"),
                                                   HexViewWindow::tr("First-last offset (decimal or 0x hex):"),
                                                   QLineEdit::Normal, QString(), &ok);
        int32_t first = 0, last = 0;
        if (!ok)
            return;
        if (!ParseSelectionRange(text, first, last)) {
            m_window.ShowError(HexViewWindow::tr("Invalid selection \"%1\": use FIRST-LAST").arg(text));
            return;
        }
        Change([&] {
            Editor().SetSelStart(first);
            Editor().SetSelEnd(last);
        });
    });
}

void TViewActions::Install()
{
    QMenu* view = m_window.ViewMenu();
    AddBytesPerRow(view);
    AddTranslation(view);
    AddUnicode(view);
    view->addSeparator();
    AddRuler(view);
    m_gridLines = AddCheck(view, HexViewWindow::tr("&Grid lines"), "actionGridLines",
                           [this](bool on) { Editor().SetDrawGridLines(on); });
    view->addSeparator();
    AddDialogs(view);
    connect(&m_window, &HexViewWindow::DocumentLoaded, this, &TViewActions::Sync);
    Sync();
}

void CheckByData(QActionGroup* group, int value)
{
    for (QAction* action : group->actions())
        action->setChecked(action->data().toInt() == value);
}

void TViewActions::Sync()
{
    TMPHexEditorEx& e = Editor();
    CheckByData(m_bytesPerRow, e.BytesPerRow());
    CheckByData(m_translation, int(e.Translation()));
    CheckByData(m_rulerBase, e.RulerNumberBase());
    m_unicode->setChecked(e.UnicodeChars());
    m_bigEndian->setChecked(e.UnicodeBigEndian());
    m_ruler->setChecked(e.ShowRuler());
    m_gridLines->setChecked(e.DrawGridLines());
    m_translation->setEnabled(!e.UnicodeChars());
}

} // namespace

void InstallViewActions(HexViewWindow& window)
{
    auto* actions = new TViewActions(window);
    actions->Install();
}

} // namespace hexview
