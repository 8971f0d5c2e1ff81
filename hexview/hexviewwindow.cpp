#include "hexview/hexviewwindow.h"
#include "hexview/core/celltext.h"
#include "hexview/jumpcentering.h"
#include "hexview/compareactions.h"
#include "hexview/dragdropactions.h"
#include "hexview/fileactions.h"

#include "hexview/firmwareoverlay.h"
#include "hexview/printactions.h"
#include "hexview/replaceactions.h"
#include "hexview/saveactions.h"
#include "hexview/settingsactions.h"
#include "hexview/statusbar.h"
#include "hexview/core/configfile.h"
#include "hexview/core/recentfiles.h"
#include "platform/core/apperror.h"
#include "platform/core/errortext.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <cstdio>

#include <QClipboard>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPointer>
#include <QTimer>

namespace hexview {

namespace {

QPointer<HexViewWindow>& ErrorWindow()
{
    static QPointer<HexViewWindow> window;
    return window;
}

void ShowInErrorWindow(std::exception_ptr error)
{
    const QString text = HexViewWindow::ErrorText(error);
    QPointer<HexViewWindow> window = ErrorWindow();
    if (!window) {
        std::fprintf(stderr, "hexview: %s\n", qPrintable(text));
        return;
    }
    QTimer::singleShot(0, window.data(), [window, text] {
        if (window)
            window->ShowError(text);
    });
}

} // namespace

QString HexViewWindow::ErrorText(std::exception_ptr error)
{
    return ::ExceptionText(error);
}

HexViewWindow::HexViewWindow(QWidget* parent) : QMainWindow(parent)
{
    CreateTabs();
    AddDocument(CreateEditor(nullptr));
    Editor().setFocus();
    resize(900, 640);

    m_fileMenu = menuBar()->addMenu(tr("&File"));
    m_editMenu = menuBar()->addMenu(tr("&Edit"));
    m_viewMenu = menuBar()->addMenu(tr("&View"));
    m_bookmarksMenu = menuBar()->addMenu(tr("&Bookmarks"));
    m_helpMenu = menuBar()->addMenu(tr("&Help"));
    m_toolBar = addToolBar(tr("Tool bar"));
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));

    m_recentFiles = LoadRecentFiles(TConfigFile());
    // Errors raised inside the editor's event handlers (keys, drops, mouse)
    // and other work of the event loop reach the same box as the commands'
    // errors; shown once the handler has returned (a drop's source is not
    // kept waiting by the box).
    // The newest window shows them (windows of tests overlap in time).
    ErrorWindow() = this;
    m_previousErrorHandler = SetApplicationErrorHandler(ShowInErrorWindow);

    m_status = std::make_unique<TStatusFields>(*this);
    m_overlay = std::make_unique<TFirmwareOverlay>(*this);

    // The action groups; new feature areas add their Install call here.
    InstallFileActions(*this);
    InstallEditActions(*this);
    InstallFindActions(*this);
    InstallReplaceActions(*this);
    InstallViewActions(*this);
    InstallLayoutActions(*this);
    InstallDataInspector(*this);
    InstallClipboardActions(*this);
    m_overlay->InstallActions();
    InstallBookmarkActions(*this);
    InstallDragDropActions(*this);
    InstallHelpActions(*this);
    // Saving, printing and the editor's settings (saveactions.cpp,
    // printactions.cpp, settingsactions.cpp).
    InstallSaveActions(*this);
    InstallPrintActions(*this);
    InstallSettingsActions(*this);
    InstallSelectionCrc(*this);
    InstallCompareActions(*this);
    InstallAnalysisDocks(*this);
    InstallJumpCentering(*this);
    InstallDocumentActions(*this);
    InstallTabSwitching(*this);
    InstallToolBar(*this);

    UpdateTitle();
    connect(this, &HexViewWindow::DocumentLoaded, this, &HexViewWindow::UpdateTitle);
    connect(this, &HexViewWindow::DataChanged, this, &HexViewWindow::UpdateTitle);
    emit DocumentLoaded();
}

HexViewWindow::~HexViewWindow()
{
    // Hidden while still whole: handlers of the hide (storing the settings)
    // must not see a window that is half destroyed.
    hide();
    if (ErrorWindow() == this)
        ErrorWindow() = nullptr;
    SetApplicationErrorHandler(std::move(m_previousErrorHandler));
    // The editor empties the clipboard as it goes (when its copy is still
    // there); the window's action groups must not answer that change.
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        for (QObject* child : findChildren<QObject*>())
            clipboard->disconnect(child);
    // The editors outlive the handlers that point into this window's parts,
    // and the tabs' signals must not reach a window half taken down.
    disconnect(m_tabs, nullptr, this, nullptr);
    for (TMPHexEditorEx* editor : m_tabs->findChildren<TMPHexEditorEx*>())
        ReleaseEditor(*editor);
    m_overlay.reset();
}

void HexViewWindow::InstallEditorHandlers(TMPHexEditorEx& editor)
{
    // Each tab's editor reports; only the current one's reports become the
    // window's signals (an editor loading out of sight says nothing).
    TMPHexEditorEx* self = &editor;
    editor.OnChange = [this, self](QObject*) {
        for (TDocumentTab* tab : m_documents) {
            if (tab->HasEditor() && &tab->Editor() == self) {
                UpdateTabTitle(*tab);
                tab->NoteEditorChange();
            }
        }
        if (self == &Editor())
            emit DataChanged();
    };
    editor.OnSelectionChanged = [this, self](QObject*) {
        if (self == &Editor())
            emit SelectionChanged();
    };
    editor.OnProgress = [this](QObject*, TMPHProgressKind, const QString&, uint8_t percent, bool& cancel) {
        ReportProgress(percent, cancel);
    };
    editor.OnDrawCell = [this, self](QObject* sender, QPainter* canvas, int col, int row, QString& text,
                                     const QRect& rect, bool& defaultDraw) {
        // Characters without a glyph (the delete character, the code
        // page's undefined bytes) are shown as the other control codes are.
        if (HasNoGlyph(text))
            text = ShownCharacterText(text, QChar(char16_t(self->MaskChar())));
        if (self == &Editor())
            m_overlay->DrawCell(sender, canvas, col, row, text, rect, defaultDraw);
    };
}

void HexViewWindow::ReleaseEditor(TMPHexEditorEx& editor)
{
    editor.OnChange = nullptr;
    editor.OnSelectionChanged = nullptr;
    editor.OnProgress = nullptr;
    editor.OnDrawCell = nullptr;
}

void HexViewWindow::UpdateTitle()
{
    TMPHexEditorEx& editor = Editor();
    // An asterisk after the name while the data differ from the file.
    setWindowTitle(QStringLiteral("%1 - hexview").arg(m_current->Title()));
    setWindowFilePath(editor.HasFile() ? editor.FileName() : QString());
    UpdateTabTitle(*m_current);
}

void HexViewWindow::ReportProgress(uint8_t percent, bool& cancel)
{
    if (!m_progress)
        return;
    m_progress->setValue(percent);
    if (ProgressHook)
        ProgressHook(*m_progress, percent);
    cancel = m_progress->wasCanceled();
}

void HexViewWindow::WithProgressDialog(const QString& label, const std::function<void()>& action)
{
    QProgressDialog progress(label, tr("Cancel"), 0, 100, this);
    progress.setWindowTitle(QStringLiteral("hexview"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    QProgressDialog* previous = m_progress;
    m_progress = &progress;
    try {
        action();
    } catch (...) {
        m_progress = previous;
        throw;
    }
    m_progress = previous;
}

bool HexViewWindow::ContinueAfterProgress(int percent)
{
    bool cancel = false;
    ReportProgress(uint8_t(std::clamp(percent, 0, 100)), cancel);
    return !cancel;
}

void HexViewWindow::SetRecentFiles(const QStringList& list)
{
    if (list == m_recentFiles)
        return;
    m_recentFiles = list;
    emit RecentFilesChanged();
}

bool HexViewWindow::ReadOnlyView() const
{
    return m_current->Editor().ReadOnlyView();
}

void HexViewWindow::SetReadOnlyView(bool value)
{
    if (value == Editor().ReadOnlyView())
        return;
    Editor().SetReadOnlyView(value);
    emit ReadOnlyViewChanged(value);
}

QAction* HexViewWindow::AddHiddenDock(QDockWidget* dock, const QString& objectName, const QString& text)
{
    addDockWidget(Qt::RightDockWidgetArea, dock);
    dock->hide();
    QAction* toggle = dock->toggleViewAction();
    toggle->setObjectName(objectName);
    toggle->setText(text);
    m_viewMenu->addAction(toggle);
    return toggle;
}

bool HexViewWindow::RunGuarded(const std::function<void()>& action)
{
    QString text;
    try {
        action();
        return true;
    } catch (...) {
        text = ErrorText(std::current_exception());
    }
    // Shown outside the handler: the box runs an event loop.
    ShowError(text);
    return false;
}

void HexViewWindow::ShowError(const QString& text)
{
    const QString shown = WithFullStop(text);
    if (ErrorReporter)
        ErrorReporter(shown);
    else
        QMessageBox::critical(this, QStringLiteral("hexview"), shown);
}

} // namespace hexview
