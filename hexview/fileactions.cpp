// File menu: Open..., Recent files, Quit.

#include "hexview/hexviewwindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

namespace hexview {

namespace {

void RebuildRecentMenu(HexViewWindow& window, QMenu* menu)
{
    menu->clear();
    const QStringList files = window.RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        QObject::connect(action, &QAction::triggered, &window, [&window, path] { window.OpenFile(path); });
    }
    menu->setEnabled(!files.isEmpty());
}

void OpenWithDialog(HexViewWindow& window)
{
    const QString start =
        window.Editor().HasFile() ? QFileInfo(window.Editor().FileName()).absolutePath() : QDir::homePath();
    const QString path = QFileDialog::getOpenFileName(&window, HexViewWindow::tr("Open"), start,
                                                      HexViewWindow::tr("All files (*);;Firmware images (*.bin)"));
    if (!path.isEmpty())
        window.OpenFile(path);
}

} // namespace

void InstallFileActions(HexViewWindow& window)
{
    QMenu* file = window.FileMenu();
    QAction* open = file->addAction(HexViewWindow::tr("&Open..."));
    open->setObjectName(QStringLiteral("actionOpen"));
    open->setShortcut(QKeySequence::Open);
    QObject::connect(open, &QAction::triggered, &window, [&window] { OpenWithDialog(window); });

    QMenu* recent = file->addMenu(HexViewWindow::tr("&Recent files"));
    recent->setObjectName(QStringLiteral("menuRecentFiles"));
    RebuildRecentMenu(window, recent);
    QObject::connect(&window, &HexViewWindow::RecentFilesChanged, recent,
                     [&window, recent] { RebuildRecentMenu(window, recent); });

    // Save, print and the like go between here and Quit.
    file->addSeparator();
    QAction* quit = file->addAction(HexViewWindow::tr("&Quit"));
    quit->setObjectName(QStringLiteral("actionQuit"));
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    QObject::connect(quit, &QAction::triggered, &window, &QWidget::close);
}

} // namespace hexview
