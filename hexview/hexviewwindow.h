#pragma once
// hexview's main window: one TMPHexEditorEx filling it, a menu bar, a status
// bar. The window itself only owns the editor, the menus and the document
// notifications; every feature area is a file of its own that installs its
// actions into the menus:
//   fileactions.cpp      File: Open..., Recent files, Quit; loading with progress
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

#include "hexview/core/viewoptions.h"
#include "hexeditor/ex/mphexeditorex.h"

#include <QMainWindow>

class QDockWidget;
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>

class QMenu;
class QProgressDialog;

namespace hexview {

class TStatusFields;
class TFirmwareOverlay;

class HexViewWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit HexViewWindow(QWidget* parent = nullptr);
    ~HexViewWindow() override;

    TMPHexEditorEx& Editor() { return *m_editor; }
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

    // Loads path into the editor with a progress dialog. Any error (a missing
    // file, one of 2 GiB or more, a cancelled load) is shown through
    // ShowError and leaves an empty, usable window. True on success.
    bool OpenFile(const QString& path);
    // Loads the document's file again without asking about unsaved changes
    // (the user chose to drop them). False without a file or on error.
    bool ReloadDocument();
    // The file's identity just before the last load (file changed since?).
    const TFileStamp& LoadedFileStamp() const { return m_loadedFileStamp; }

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

    // Asked before OpenFile replaces the document (unsaved changes); false
    // keeps the current document. Set by the save actions.
    std::function<bool()> CanReplaceDocument;

    const QStringList& RecentFiles() const { return m_recentFiles; }
    void SetRecentFiles(const QStringList& list);

signals:
    // A document was loaded or replaced (also after a failed load).
    void DocumentLoaded();
    // The data or the document changed (the editor's OnChange).
    void DataChanged();
    // The caret or the selection moved (the editor's deferred notification).
    void SelectionChanged();
    void ReadOnlyViewChanged(bool readOnly);
    void RecentFilesChanged();

private:
    void InstallEditorHandlers();
    void UpdateTitle();
    void ReportProgress(uint8_t percent, bool& cancel);
    bool LoadFile(const QString& path);

    TMPHexEditorEx* m_editor = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
    QMenu* m_bookmarksMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    std::unique_ptr<TStatusFields> m_status;
    std::unique_ptr<TFirmwareOverlay> m_overlay;
    QProgressDialog* m_progress = nullptr; // only while loading
    QStringList m_recentFiles;
    TFileStamp m_loadedFileStamp;
    std::function<void(std::exception_ptr)> m_previousErrorHandler;
};

// The action groups, one file each.
void InstallFileActions(HexViewWindow& window);
void InstallViewActions(HexViewWindow& window);
// Bytes per group and the wheel step (layoutactions.cpp).
void InstallLayoutActions(HexViewWindow& window);
void InstallHelpActions(HexViewWindow& window);
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
