#include "hexview/toolbar.h"

#include "hexview/core/configfile.h"
#include "hexview/hexviewwindow.h"
#include "hexview/settingsactions.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QToolBar>

namespace hexview {

namespace {

// The menu action shown on the tool bar and its icon's theme name.
struct TToolButton
{
    const char* Action;
    const char* Icon;
};
constexpr TToolButton Buttons[] = {
    {"actionOpen", "document-open"}, {"actionSave", "document-save"}, {nullptr, nullptr},
    {"actionUndo", "edit-undo"},     {"actionRedo", "edit-redo"},     {nullptr, nullptr},
    {"actionCut", "edit-cut"},       {"actionCopy", "edit-copy"},     {"actionPaste", "edit-paste"},
    {nullptr, nullptr},              {"actionFind", "edit-find"},     {"actionGotoOffset", "go-jump"},
};

QIcon ThemeIcon(const char* name)
{
    const QString theme = QString::fromLatin1(name);
    QIcon shipped;
    for (int size : {24, 48})
        shipped.addFile(QStringLiteral(":/hexview/toolbar/%1-%2.png").arg(theme).arg(size), QSize(size, size));
    return QIcon::fromTheme(theme, shipped);
}

} // namespace

void InstallToolBar(HexViewWindow& window)
{
    QToolBar* bar = window.ToolBar();
    for (const TToolButton& button : Buttons) {
        if (!button.Action) {
            bar->addSeparator();
            continue;
        }
        auto* action = window.findChild<QAction*>(QString::fromLatin1(button.Action));
        if (!action)
            continue;
        action->setIcon(ThemeIcon(button.Icon));
        bar->addAction(action);
    }
    // Shown and hidden from the View menu only (its own toggle would also
    // follow the window being hidden).
    bar->toggleViewAction()->setVisible(false);
    QAction* toggle = new QAction(HexViewWindow::tr("&Tool bar"), bar);
    toggle->setObjectName(QStringLiteral("actionToolBar"));
    toggle->setCheckable(true);
    const QVariant stored = TConfigFile().Value(ToolBarShownKey);
    const bool shown = !stored.isValid() || stored.toBool();
    toggle->setChecked(shown);
    bar->setVisible(shown);
    window.ViewMenu()->addSeparator();
    window.ViewMenu()->addAction(toggle);
    QObject::connect(toggle, &QAction::triggered, &window, [&window, bar](bool on) {
        bar->setVisible(on);
        StoreInConfiguration(window, [on](TConfigFile& config) { config.SetValue(ToolBarShownKey, on); });
    });
}

} // namespace hexview
