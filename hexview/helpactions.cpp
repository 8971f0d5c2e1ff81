// Help menu: About.

#include "hexview/hexviewwindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMessageBox>

namespace hexview {

void InstallHelpActions(HexViewWindow& window)
{
    QAction* about = window.HelpMenu()->addAction(HexViewWindow::tr("&About hexview"));
    about->setObjectName(QStringLiteral("actionAbout"));
    about->setMenuRole(QAction::AboutRole);
    QObject::connect(about, &QAction::triggered, &window, [&window] {
        QMessageBox::about(&window, HexViewWindow::tr("About hexview"),
                           HexViewWindow::tr("hexview %1\nThe hex editor component of edit boot for Zelq in a "
                                             "window of its own.\n%2")
                               .arg(QCoreApplication::applicationVersion(), window.Editor().Version()));
    });
}

} // namespace hexview
