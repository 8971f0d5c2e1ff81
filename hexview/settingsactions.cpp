// Exporting, importing and keeping the editor's settings.

#include "hexview/settingsactions.h"

#include "hexview/desktopcolors.h"
#include "hexview/hexviewwindow.h"
#include "hexview/core/configfile.h"
#include "platform/core/atomicsave.h"
#include "platform/core/boundedread.h"
#include "platform/core/exceptions.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMenu>
#include <QPointer>
#include <QTimer>

namespace hexview {

namespace {

const QString SettingsKey = QStringLiteral("Editor/Settings");
// A settings text is a few kilobytes; anything far larger is not one.
constexpr qint64 MaxSettingsFileSize = MaxConfigFileSize;

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

// Only a regular file of bounded size, opened without blocking: a named
// pipe or a device is refused before a byte is read.
QString ReadSettingsFile(const QString& path)
{
    return QString::fromUtf8(ReadBoundedFile(path, MaxSettingsFileSize));
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
        const QByteArray text = window.Editor().GetSettingsText().toUtf8();
        SaveFileAtomically(path, reinterpret_cast<const uint8_t*>(text.constData()), text.size());
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
    const TConfigFile settings;
    QString problem;
    if (!settings.Problem().isEmpty()) {
        problem = settings.Problem();
    } else {
        const QVariant stored = settings.Value(SettingsKey);
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
                             .arg(settings.Path(), problem);
    QTimer::singleShot(0, &window, [w = QPointer<HexViewWindow>(&window), text] {
        if (w)
            w->ShowError(text);
    });
}

void StoreSettings(HexViewWindow& window)
{
    const QString text = window.Editor().GetSettingsText();
    StoreInConfiguration(window, [&](TConfigFile& config) { config.SetValue(SettingsKey, text); });
}

void StoreInConfiguration(HexViewWindow& window, const std::function<void(TConfigFile&)>& change)
{
    // Said once per window: the file is stored on every open and on closing.
    const char* reported = "configurationProblemShown";
    try {
        TConfigFile config;
        change(config);
        config.Save();
    } catch (const Exception& e) {
        if (window.property(reported).toBool())
            return;
        window.setProperty(reported, true);
        window.ShowError(HexViewWindow::tr("The configuration file %1 was not written: %2")
                             .arg(TConfigFile::DefaultPath(), e.Message()));
    }
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
