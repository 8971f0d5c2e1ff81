// View menu: bytes per group and the wheel step. hexview shows single bytes,
// counts offsets in bytes (also in unicode mode) and scrolls three rows per
// wheel notch unless the user chose otherwise;
// the bytes per group travel with the editor's stored settings, the wheel
// step is kept under "View/WheelRows".

#include "hexview/layoutactions.h"

#include "hexview/core/configfile.h"
#include "hexview/hexviewwindow.h"
#include "hexview/settingsactions.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace hexview {

namespace {

const char* const WheelRowsKey = "View/WheelRows";

class TLayoutActions : public QObject
{
public:
    explicit TLayoutActions(HexViewWindow& window) : QObject(&window), m_window(window) {}
    void Install();
    void Sync();

private:
    TMPHexEditorEx& Editor() { return m_window.Editor(); }
    QActionGroup* AddChoices(QMenu* menu, const QString& title, const char* name,
                             const std::vector<std::pair<QString, int>>& choices,
                             const std::function<void(int)>& apply);

    HexViewWindow& m_window;
    QActionGroup* m_group = nullptr;
    QActionGroup* m_wheel = nullptr;
};

QActionGroup* TLayoutActions::AddChoices(QMenu* menu, const QString& title, const char* name,
                                         const std::vector<std::pair<QString, int>>& choices,
                                         const std::function<void(int)>& apply)
{
    // Beside Bytes per row: before the Translation submenu when there is one.
    auto* sub = new QMenu(title, menu);
    sub->setObjectName(QString::fromLatin1(name));
    auto* translation = menu->findChild<QMenu*>(QStringLiteral("menuTranslation"), Qt::FindDirectChildrenOnly);
    if (translation)
        menu->insertMenu(translation->menuAction(), sub);
    else
        menu->addMenu(sub);
    auto* group = new QActionGroup(sub);
    for (const auto& [text, value] : choices) {
        QAction* action = sub->addAction(text);
        action->setCheckable(true);
        action->setData(value);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, apply, value = value] {
            m_window.RunGuarded([&] { apply(value); });
            Sync();
            emit m_window.SelectionChanged();
        });
    }
    connect(sub, &QMenu::aboutToShow, this, &TLayoutActions::Sync);
    return group;
}

void TLayoutActions::Install()
{
    // hexview's defaults; stored settings applied later take their place.
    Editor().SetBytesPerColumn(1);
    // Offsets count bytes in unicode mode too, as the status bar and Go to do.
    Editor().SetRulerBytesPerUnit(1);
    {
        const QVariant stored = TConfigFile().Value(QLatin1String(WheelRowsKey));
        Editor().SetWheelRows(stored.isValid() ? stored.toInt() : 3);
    }
    QMenu* view = m_window.ViewMenu();
    m_group = AddChoices(view, HexViewWindow::tr("Bytes per &group"), "menuBytesPerGroup",
                         {{QStringLiteral("1"), 1}, {QStringLiteral("2"), 2}, {QStringLiteral("4"), 4},
                          {QStringLiteral("8"), 8}},
                         [this](int n) { Editor().SetBytesPerColumn(n); });
    m_wheel = AddChoices(view, HexViewWindow::tr("&Wheel scrolls"), "menuWheelStep",
                         {{HexViewWindow::tr("1 row"), 1}, {HexViewWindow::tr("3 rows"), 3},
                          {HexViewWindow::tr("5 rows"), 5}, {HexViewWindow::tr("A page"), 0}},
                         [this](int rows) {
                             Editor().SetWheelRows(rows);
                             StoreInConfiguration(m_window, [rows](TConfigFile& config) {
                                 config.SetValue(QLatin1String(WheelRowsKey), rows);
                             });
                         });
    connect(&m_window, &HexViewWindow::DocumentLoaded, this, &TLayoutActions::Sync);
    Sync();
}

void TLayoutActions::Sync()
{
    for (QAction* action : m_group->actions()) {
        action->setChecked(action->data().toInt() == Editor().BytesPerColumn());
        // Unicode characters take two bytes: odd groups are refused then.
        action->setEnabled(!Editor().UnicodeChars() || action->data().toInt() % 2 == 0);
    }
    for (QAction* action : m_wheel->actions())
        action->setChecked(action->data().toInt() == Editor().WheelRows());
}

} // namespace

void SwitchUnicodeChars(TMPHexEditorEx& editor, bool on)
{
    if (on && editor.BytesPerColumn() % 2 != 0)
        editor.SetBytesPerColumn(2);
    // Offsets in bytes, not in characters (a ruler unit of -1 follows the
    // two-byte unit of unicode mode).
    if (on && editor.RulerBytesPerUnit() == -1)
        editor.SetRulerBytesPerUnit(1);
    editor.SetUnicodeChars(on);
}

void InstallLayoutActions(HexViewWindow& window)
{
    (new TLayoutActions(window))->Install();
}

} // namespace hexview
