// Exporting, importing and keeping the editor's settings.

#include "hexview/settingsactions.h"

#include "hexview/desktopcolors.h"
#include "hexview/hexviewwindow.h"
#include "platform/core/exceptions.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QPointer>
#include <QSaveFile>
#include <QSettings>
#include <QTimer>

namespace hexview {

namespace {

const QString SettingsKey = QStringLiteral("Editor/Settings");
// A settings text is a few kilobytes; anything far larger is not one.
constexpr qint64 MaxSettingsFileSize = 1 << 20;

QString AskExportWithDialog(HexViewWindow& window)
{
    return QFileDialog::getSaveFileName(&window, HexViewWindow::tr("Export settings"), QString(),
                                        HexViewWindow::tr("Settings (*.txt);;All files (*)"));
}

QString AskImportWithDialog(HexViewWindow& window)
{
    return QFileDialog::getOpenFileName(&window, HexViewWindow::tr("Import settings"), QString(),
                                        HexViewWindow::tr("Settings (*.txt);;All files (*)"));
}

QString ReadSettingsFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileOpenError(HexViewWindow::tr("Cannot open %1 (%2)").arg(path, file.errorString()));
    if (file.size() > MaxSettingsFileSize)
        throw Exception(HexViewWindow::tr("%1 is too large for a settings file").arg(path));
    return QString::fromUtf8(file.readAll());
}

// Stores the settings when the window goes away (closed, or hidden on its
// way to closing) and when the application quits.
class StoreOnClose : public QObject
{
public:
    explicit StoreOnClose(HexViewWindow& window) : QObject(&window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_window && event->type() == QEvent::Hide)
            StoreSettings(m_window);
        return false;
    }

private:
    HexViewWindow& m_window;
};

} // namespace

std::function<QString(HexViewWindow&)> AskSettingsExportFileName = AskExportWithDialog;
std::function<QString(HexViewWindow&)> AskSettingsImportFileName = AskImportWithDialog;

bool ExportSettings(HexViewWindow& window, const QString& path)
{
    if (path.isEmpty())
        return false;
    return window.RunGuarded([&] {
        QSaveFile file(path);
        const QByteArray text = window.Editor().GetSettingsText().toUtf8();
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
            throw EFileOpenError(HexViewWindow::tr("Cannot write %1 (%2)").arg(path, file.errorString()));
    });
}

bool ImportSettings(HexViewWindow& window, const QString& path)
{
    if (path.isEmpty())
        return false;
    return window.RunGuarded([&] { window.Editor().SetSettingsText(ReadSettingsFile(path)); });
}

void LoadStoredSettings(HexViewWindow& window)
{
    TMPHexEditorEx& editor = window.Editor();
    const QString defaults = editor.GetSettingsText();
    QSettings settings;
    QString problem;
    if (settings.status() != QSettings::NoError) {
        problem = HexViewWindow::tr("the file cannot be read");
    } else {
        const QVariant stored = settings.value(SettingsKey);
        if (!stored.isValid())
            return;
        try {
            editor.SetSettingsText(stored.toString());
            return;
        } catch (const Exception& e) {
            problem = e.Message();
        }
    }
    // Unicode mode goes off first: the settings set BytesPerUnit before
    // UnicodeChars, and unicode mode refuses any unit but 2.
    editor.SetUnicodeChars(false);
    editor.SetSettingsText(defaults);
    const QString text = HexViewWindow::tr("The stored editor settings in %1 were not used: %2. "
                                           "The defaults apply")
                             .arg(settings.fileName(), problem);
    QTimer::singleShot(0, &window, [w = QPointer<HexViewWindow>(&window), text] {
        if (w)
            w->ShowError(text);
    });
}

void StoreSettings(HexViewWindow& window)
{
    QSettings settings;
    settings.setValue(SettingsKey, window.Editor().GetSettingsText());
    settings.sync();
}

void InstallSettingsActions(HexViewWindow& window)
{
    QMenu* view = window.ViewMenu();
    view->addSeparator();
    QAction* exportAction = view->addAction(HexViewWindow::tr("E&xport settings..."));
    exportAction->setObjectName(QStringLiteral("actionExportSettings"));
    QAction* importAction = view->addAction(HexViewWindow::tr("&Import settings..."));
    importAction->setObjectName(QStringLiteral("actionImportSettings"));
    QObject::connect(exportAction, &QAction::triggered, &window,
                     [&window] { ExportSettings(window, AskSettingsExportFileName(window)); });
    QObject::connect(importAction, &QAction::triggered, &window,
                     [&window] { ImportSettings(window, AskSettingsImportFileName(window)); });
    LoadStoredSettings(window);
    ApplyDesktopColors(window);
    window.installEventFilter(new StoreOnClose(window));
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &window, [&window] { StoreSettings(window); });
}

} // namespace hexview
