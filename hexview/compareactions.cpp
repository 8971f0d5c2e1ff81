#include "hexview/compareactions.h"

#include "hexview/comparewindow.h"
#include "hexview/hexviewwindow.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

namespace hexview {

namespace {

QString AskWithFileDialog(HexViewWindow& window, const QString& title)
{
    TMPHexEditorEx& editor = window.Editor();
    const QString start = editor.HasFile() ? QFileInfo(editor.FileName()).absolutePath() : QDir::homePath();
    return QFileDialog::getOpenFileName(&window, title, start,
                                        HexViewWindow::tr("All files (*);;Firmware images (*.bin)"));
}

// The document's file (as saved: the compare window reads both from disk)
// against one the user picks; without a file, both are asked for.
void CompareWithDialog(HexViewWindow& window)
{
    TMPHexEditorEx& editor = window.Editor();
    QString left = editor.HasFile() ? editor.FileName() : QString();
    if (left.isEmpty())
        left = AskCompareFileName(window, HexViewWindow::tr("Compare: first file"));
    if (left.isEmpty())
        return;
    const QString right =
        AskCompareFileName(window, HexViewWindow::tr("Compare %1 with").arg(QFileInfo(left).fileName()));
    if (!right.isEmpty())
        OpenCompareWindow(window, left, right);
}

// Below File > Recent files.
QAction* InsertionPoint(QMenu* file)
{
    const QList<QAction*> actions = file->actions();
    for (qsizetype i = 0; i + 1 < actions.size(); ++i) {
        if (actions[i]->menu() && actions[i]->menu()->objectName() == QStringLiteral("menuRecentFiles"))
            return actions[i + 1];
    }
    return nullptr;
}

} // namespace

std::function<QString(HexViewWindow&, const QString&)> AskCompareFileName = AskWithFileDialog;

TCompareWindow* OpenCompareWindow(HexViewWindow& window, const QString& left, const QString& right)
{
    auto* compare = new TCompareWindow();
    compare->setAttribute(Qt::WA_DeleteOnClose);
    // Closed with the main window.
    QObject::connect(&window, &QObject::destroyed, compare, &QWidget::close);
    compare->ErrorReporter = window.ErrorReporter;
    compare->show();
    compare->OpenFiles(left, right);
    return compare;
}

void InstallCompareActions(HexViewWindow& window)
{
    QMenu* file = window.FileMenu();
    QAction* compare = new QAction(HexViewWindow::tr("Co&mpare with..."), file);
    compare->setObjectName(QStringLiteral("actionCompareWith"));
    compare->setToolTip(HexViewWindow::tr("Show this file beside another one with their differences marked"));
    file->insertAction(InsertionPoint(file), compare);
    QObject::connect(compare, &QAction::triggered, &window, [&window] { CompareWithDialog(window); });
}

} // namespace hexview
