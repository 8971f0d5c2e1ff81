// Loading a file into a document: read into a new editor out of sight,
// swapped in when complete, so the document shown stays until then.

#include "hexview/core/configfile.h"
#include "hexview/core/recentfiles.h"
#include "hexview/hexviewwindow.h"
#include "hexview/settingsactions.h"

#include <QFileInfo>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTabWidget>

namespace hexview {

namespace {
constexpr int CancelNoticeTimeout = 10000;
}

bool HexViewWindow::OpenFile(const QString& path)
{
    TDocumentTab* open = DocumentOfFile(path);
    if (open && open != m_current) {
        SetCurrentDocument(*open);
        return true;
    }
    if (CanReplaceDocument && !CanReplaceDocument())
        return false;
    return LoadFile(*m_current, path);
}

bool HexViewWindow::ReloadDocument()
{
    if (!Editor().HasFile())
        return false;
    return LoadFile(*m_current, Editor().FileName());
}

bool HexViewWindow::LoadFile(TDocumentTab& tab, const QString& path)
{
    TFileStamp stamp;
    TMPHexEditorEx* loaded = LoadIntoNewEditor(path, tab.Editor(), stamp);
    if (!loaded)
        return false;
    TMPHexEditorEx* old = &tab.Editor();
    const int index = m_tabs->indexOf(old);
    const bool current = &tab == m_current;
    tab.SetEditor(loaded);
    tab.SetLoadedFileStamp(stamp);
    m_tabChanging = true;
    m_tabs->insertTab(index, loaded, tab.Title());
    if (current)
        m_tabs->setCurrentIndex(index);
    m_tabs->removeTab(index + 1);
    m_tabChanging = false;
    DisposeEditor(*old);
    UpdateTabTitle(tab);
    emit tab.Loaded();
    if (current) {
        loaded->setFocus();
        emit DocumentLoaded();
    }
    return true;
}

TMPHexEditorEx* HexViewWindow::LoadIntoNewEditor(const QString& path, const TMPHexEditorEx& model, TFileStamp& stamp)
{
    // Taken before the load: a change during the load fails it, and one
    // right after it differs from this stamp (so it is noticed).
    stamp = FileStampOf(path);
    QProgressDialog progress(tr("Loading %1...").arg(QFileInfo(path).fileName()), tr("Cancel"), 0, 100, this);
    progress.setWindowTitle(QStringLiteral("hexview"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    TMPHexEditorEx* editor = CreateEditor(&model);
    m_progress = &progress;
    QString error;
    bool cancelled = false;
    try {
        editor->LoadFromFile(path);
    } catch (...) {
        cancelled = progress.wasCanceled();
        // Gone before the error box runs its event loop, where the dialog's
        // delayed showing would otherwise put it on top.
        progress.cancel();
        error = ErrorText(std::current_exception());
    }
    m_progress = nullptr;
    if (!error.isEmpty()) {
        ReleaseEditor(*editor);
        delete editor;
        // Stopping a load is the user's choice, not an error.
        if (cancelled)
            statusBar()->showMessage(tr("Loading cancelled"), CancelNoticeTimeout);
        else
            ShowError(error);
        return nullptr;
    }
    SetRecentFiles(WithRecentFile(m_recentFiles, path));
    StoreInConfiguration(*this, [this](TConfigFile& config) { StoreRecentFiles(config, m_recentFiles); });
    return editor;
}

} // namespace hexview
