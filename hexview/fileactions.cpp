// File menu: New, Open..., Recent files, Reload, Close, Quit.

#include "hexview/fileactions.h"

#include "hexview/hexviewwindow.h"
#include "hexview/menuactions.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

namespace hexview {

namespace {

void RebuildRecentMenu(HexViewWindow& window, QMenu* menu)
{
    menu->clear();
    const QStringList files = window.RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        QObject::connect(action, &QAction::triggered, &window, [&window, path] { window.OpenFiles({path}); });
    }
    menu->setEnabled(!files.isEmpty());
}

void OpenWithDialog(HexViewWindow& window)
{
    const QString start =
        window.Editor().HasFile() ? QFileInfo(window.Editor().FileName()).absolutePath() : QDir::homePath();
    const QStringList paths = QFileDialog::getOpenFileNames(
        &window, HexViewWindow::tr("Open"), start, HexViewWindow::tr("All files (*);;Firmware images (*.bin)"));
    window.OpenFiles(paths);
}

bool AskWithBox(HexViewWindow& window)
{
    const QString name = QFileInfo(window.Editor().FileName()).fileName();
    return QMessageBox::question(&window, QStringLiteral("hexview"),
                                 HexViewWindow::tr("Reload %1 from disk? Your unsaved changes are dropped.").arg(name),
                                 QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Yes;
}

} // namespace

std::function<bool(HexViewWindow&)> AskReloadDroppingChanges = AskWithBox;

bool ReloadWithQuestion(HexViewWindow& window)
{
    if (!window.Editor().HasFile())
        return false;
    if (window.Editor().Modified() && !AskReloadDroppingChanges(window))
        return false;
    return window.ReloadDocument();
}

void InstallDocumentActions(HexViewWindow& window)
{
    QMenu* file = window.FileMenu();
    QAction* before = BeforeQuit(file);
    QAction* reload = new QAction(HexViewWindow::tr("&Reload"), file);
    reload->setObjectName(QStringLiteral("actionReload"));
    reload->setShortcut(QKeySequence::Refresh);
    reload->setToolTip(HexViewWindow::tr("Read the document's file again"));
    QAction* close = new QAction(HexViewWindow::tr("&Close"), file);
    close->setObjectName(QStringLiteral("actionClose"));
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    file->insertSeparator(before);
    file->insertAction(before, reload);
    file->insertAction(before, close);
    QObject::connect(reload, &QAction::triggered, &window, [&window] { ReloadWithQuestion(window); });
    QObject::connect(close, &QAction::triggered, &window, [&window] { window.CloseDocument(window.CurrentIndex()); });
    auto sync = [&window, reload] { reload->setEnabled(window.Editor().HasFile()); };
    QObject::connect(&window, &HexViewWindow::DocumentLoaded, reload, sync);
    QObject::connect(file, &QMenu::aboutToShow, reload, sync);
    sync();
}

void InstallFileActions(HexViewWindow& window)
{
    QMenu* file = window.FileMenu();
    QAction* newDocument = file->addAction(HexViewWindow::tr("&New"));
    newDocument->setObjectName(QStringLiteral("actionNew"));
    newDocument->setShortcut(QKeySequence::New);
    newDocument->setToolTip(HexViewWindow::tr("An empty document in a tab of its own, typing inserts"));
    QObject::connect(newDocument, &QAction::triggered, &window, [&window] { window.NewDocument(); });

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
