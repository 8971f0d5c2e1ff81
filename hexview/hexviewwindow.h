#pragma once
// hexview's main window: tabs of documents (one TMPHexEditorEx each, the tab
// bar hidden while there is one), a menu bar, a tool bar, a status bar. The
// window itself only owns the documents (documenttab.h), the menus and the
// document notifications; every feature area is a file of its own that
// installs its actions into the menus and acts on the current document:
//   fileactions.cpp      File: New, Open..., Recent files, Reload, Close,
//                        Quit; loading with progress
//   toolbar.cpp          the tool bar and its View toggle
//   documents.cpp        the tabs; documentloading.cpp: loading into a tab;
//                        tabswitching.cpp: Ctrl+Tab
//   viewactions.cpp      View: layout, translation, unicode, ruler, offsets, font
//   statusbar.cpp        the status bar fields
//   firmwareoverlay.cpp  the boot block overlay and its View toggle
//   options.cpp          applying the command line to the window
//   clipboardactions.cpp Edit: Cut, Copy, Paste, Copy as..., Paste as hex;
//                        File: New from clipboard
//   saveactions.cpp      File: Save, Save As...; documentwatch.cpp: the open
//                        file changed on disk (Reload, asking before a save)
//   clipboardwatch.cpp   what the clipboard offers, without waiting for its owner
//
// Adding a feature (editing, clipboard, saving, printing, settings...): write
// a new file with an Install<Area>Actions(HexViewWindow&) function that adds
// its actions to FileMenu() / EditMenu() / ViewMenu() / BookmarksMenu() and
// listens to DocumentLoaded / DataChanged / SelectionChanged, then call it
// from the constructor's list in hexviewwindow.cpp. Never take over the
// editor's OnChange / OnSelectionChanged / OnProgress / OnDrawCell handlers:
// the window owns them and turns them into the signals below.
//
// Several documents: reach the editor through Editor() when an action runs
// (it is the current tab's, and a load swaps in a new one); never keep a
// TMPHexEditorEx* or reference from install time. What must be set on every
// editor (event filters, component switches) goes through OnEveryEditor.
// Switching tabs emits CurrentDocumentChanged and then DocumentLoaded, so
// each area refreshes as after a load.

#include "hexview/core/viewoptions.h"
#include "hexview/documenttab.h"
#include "hexeditor/ex/mphexeditorex.h"

#include <QMainWindow>

class QDockWidget;
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QProgressDialog;
class QTabWidget;
class QToolBar;

namespace hexview {

class TStatusFields;
class TFirmwareOverlay;
class TDocumentTab;

class HexViewWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit HexViewWindow(QWidget* parent = nullptr);
    ~HexViewWindow() override;

    // The current document's editor.
    TMPHexEditorEx& Editor() { return m_current->Editor(); }
    QMenu* FileMenu() const { return m_fileMenu; }
    QMenu* EditMenu() const { return m_editMenu; }
    QMenu* ViewMenu() const { return m_viewMenu; }
    // Docks a panel on the right, hidden, with its show/hide toggle (named
    // objectName, labelled text) added to the View menu; returns the toggle.
    QAction* AddHiddenDock(QDockWidget* dock, const QString& objectName, const QString& text);
    QMenu* BookmarksMenu() const { return m_bookmarksMenu; }
    QMenu* HelpMenu() const { return m_helpMenu; }
    TStatusFields& StatusFields() { return *m_status; }
    TFirmwareOverlay& Overlay() { return *m_overlay; }
    QToolBar* ToolBar() const { return m_toolBar; }
    QTabWidget* Tabs() const { return m_tabs; }

    // ---- the documents (one per tab) ----
    int DocumentCount() const;
    // In the order of the tabs.
    TDocumentTab& Document(int index) const;
    TDocumentTab& CurrentDocument() const { return *m_current; }
    int CurrentIndex() const;
    bool IsCurrentDocument(const TDocumentTab& tab) const { return m_current == &tab; }
    void SetCurrentDocument(int index);
    void SetCurrentDocument(TDocumentTab& tab);
    // Runs setup on every tab's editor: on each one there is now and on
    // each one made later (before it is shown).
    void OnEveryEditor(const std::function<void(TMPHexEditorEx&)>& setup);

    // File > New: an empty document in a tab of its own, insert mode on so
    // that typing starts at once.
    void NewDocument();
    // Loads path into the current document with a progress dialog, after
    // CanReplaceDocument; a file open in another tab only brings that tab
    // to the front (two tabs never hold the same file). The file is read into a new editor; the document
    // shown stays until the file is complete. An error (a missing file,
    // one of 2 GiB or more) is shown through ShowError and leaves the
    // document as it was; a cancelled load only says "Loading cancelled" in
    // the status bar. True on success.
    bool OpenFile(const QString& path);
    // Opens each file in a tab of its own (the first may take the place of
    // an unused Untitled document), the last one current; a file open in a
    // tab already only brings that tab to the front. Errors are shown and
    // the other files still opened. The number of files opened.
    int OpenFiles(const QStringList& paths);
    // Closes the tab at index after CanReplaceDocument (asked there) for its
    // unsaved changes; the last tab closed leaves an empty Untitled one.
    // False when the user kept it.
    bool CloseDocument(int index);
    // Asks about the unsaved changes of each tab in turn (each brought to
    // the front); false as soon as one is kept.
    bool ConfirmCloseAll();
    // The tab holding path's file (links followed; by name for a file
    // gone from disk), if any.
    TDocumentTab* DocumentOfFile(const QString& path) const;
    // Loads the document's file again without asking about unsaved changes
    // (the user chose to drop them). False without a file or on error.
    bool ReloadDocument();
    // The current file's identity just before its last load (changed since?).
    const TFileStamp& LoadedFileStamp() const;

    // Applies the display options of the command line (before loading), then
    // opens its file and makes its selection. False when something failed
    // (the error was shown).
    bool ApplyOptions(const TViewOptions& options);

    // Viewing only (the editor's ReadOnlyView): set by --read-only.
    bool ReadOnlyView() const;
    void SetReadOnlyView(bool value);

    // Runs an action; an error escaping it goes to ShowError. False on error.
    bool RunGuarded(const std::function<void()>& action);
    // Shows an error text in a box (tests replace ErrorReporter).
    void ShowError(const QString& text);
    std::function<void(const QString&)> ErrorReporter;
    // The text an error box shows for an exception.
    static QString ErrorText(std::exception_ptr error);

    // ---- long operations other than loading (find) ----
    // Runs action with a progress dialog that the editor's OnProgress
    // reports drive (Cancel sets the report's cancel flag). Exceptions of
    // action pass on to the caller.
    void WithProgressDialog(const QString& label, const std::function<void()>& action);
    // A report of the window's own long operations while WithProgressDialog
    // runs (the editor's reports arrive through OnProgress): false once
    // the user has cancelled.
    bool ContinueAfterProgress(int percent);

    // Called on each progress report while loading, after the dialog was
    // updated (a test seam: it may cancel the dialog).
    std::function<void(QProgressDialog& dialog, int percent)> ProgressHook;

    // Asked before OpenFile replaces the current document or its tab is
    // closed (unsaved changes); false keeps it. Set by the save actions.
    std::function<bool()> CanReplaceDocument;

    const QStringList& RecentFiles() const { return m_recentFiles; }
    void SetRecentFiles(const QStringList& list);

signals:
    // A document was loaded or replaced (also after a failed load), or
    // another tab became the current one.
    void DocumentLoaded();
    // Another tab became the current one (DocumentLoaded follows).
    void CurrentDocumentChanged();
    // The data or the document changed (the editor's OnChange).
    void DataChanged();
    // The caret or the selection moved (the editor's deferred notification).
    void SelectionChanged();
    void ReadOnlyViewChanged(bool readOnly);
    void RecentFilesChanged();

private:
    void CreateTabs();
    // A new editor, hidden, set up as model is (display settings and the
    // component's switches) or as the first one was.
    TMPHexEditorEx* CreateEditor(const TMPHexEditorEx* model);
    TDocumentTab* AddDocument(TMPHexEditorEx* editor, int index = -1);
    void RemoveDocument(TDocumentTab* tab);
    void InstallEditorHandlers(TMPHexEditorEx& editor);
    // The window's handlers taken off (the editor may outlive them).
    void ReleaseEditor(TMPHexEditorEx& editor);
    // Released and deleted once the event loop is back.
    void DisposeEditor(TMPHexEditorEx& editor);
    void CurrentTabChanged();
    void UpdateTitle();
    void UpdateTabTitle(TDocumentTab& tab);
    void ReportProgress(uint8_t percent, bool& cancel);
    // Loads path into a new editor set up as model; nullptr on error or
    // cancel (told to the user).
    TMPHexEditorEx* LoadIntoNewEditor(const QString& path, const TMPHexEditorEx& model, TFileStamp& stamp);
    bool LoadFile(TDocumentTab& tab, const QString& path);
    bool OpenInNewTab(const QString& path);

    QTabWidget* m_tabs = nullptr;
    QList<TDocumentTab*> m_documents;
    TDocumentTab* m_current = nullptr;
    bool m_tabChanging = false; // the tab widget's changes are the window's own
    std::vector<std::function<void(TMPHexEditorEx&)>> m_editorSetups;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
    QMenu* m_bookmarksMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    std::unique_ptr<TStatusFields> m_status;
    std::unique_ptr<TFirmwareOverlay> m_overlay;
    QProgressDialog* m_progress = nullptr; // only while loading
    QStringList m_recentFiles;
    std::function<void(std::exception_ptr)> m_previousErrorHandler;
};

// The action groups, one file each.
void InstallFileActions(HexViewWindow& window);
void InstallViewActions(HexViewWindow& window);
// Bytes per group and the wheel step (layoutactions.cpp).
void InstallLayoutActions(HexViewWindow& window);
void InstallHelpActions(HexViewWindow& window);
// The tool bar (toolbar.cpp), after the actions it shows are installed.
void InstallToolBar(HexViewWindow& window);
// Ctrl+Tab / Ctrl+Shift+Tab: the next / previous tab (tabswitching.cpp).
void InstallTabSwitching(HexViewWindow& window);
// Editing, finding and inspecting (editactions.cpp, findactions.cpp,
// datainspector.cpp, selectioncrc.cpp, bookmarkactions.cpp).
void InstallEditActions(HexViewWindow& window);
void InstallFindActions(HexViewWindow& window);
void InstallDataInspector(HexViewWindow& window);
void InstallSelectionCrc(HexViewWindow& window);
void InstallBookmarkActions(HexViewWindow& window);
// Edit: Cut, Copy, Paste, Copy as..., Paste as hex; File: New from clipboard.
void InstallClipboardActions(HexViewWindow& window);
// View: Checksums, Statistics, Entropy strip, Strings, Structure
// (analysisdocks.cpp).
void InstallAnalysisDocks(HexViewWindow& window);

} // namespace hexview
