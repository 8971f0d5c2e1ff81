#pragma once
// The open document's file on disk: what it was when it was loaded or last
// saved here (device, inode, size, modification time), a QFileSystemWatcher
// telling the user as soon as another program changes or removes it (with
// Reload), and the question before a save would overwrite such a change.
// Every tab's document has its own watch; a change to the file of a tab in
// the background brings that tab to the front before asking.

#include "platform/core/filestamp.h"

#include <QObject>
#include <QString>
#include <functional>

class QFileSystemWatcher;

namespace hexview {

class HexViewWindow;
class TDocumentTab;

enum class TChangedFileAnswer { cfOverwrite, cfReload, cfCancel };

class TDocumentWatch : public QObject
{
public:
    // Made by the tab, whose child it is.
    TDocumentWatch(HexViewWindow& window, TDocumentTab& tab);

    // The watch of the window's current document.
    static TDocumentWatch* Of(HexViewWindow& window);

    // Whether the file differs from what was loaded or saved here (also when
    // it is gone). False for a document without a file.
    bool ChangedOnDisk() const;
    // The file now holds what this window saved: stamp from the save.
    void Saved(const TFileStamp& stamp);
    // Checks the file now, as a change notification does.
    void CheckNow();

private:
    // The file the tab's document has now (empty without one).
    QString FollowedPath() const;
    void Follow();
    void Rearm();

    HexViewWindow& m_window;
    TDocumentTab& m_tab;
    QFileSystemWatcher* m_watcher;
    QString m_path;
    TFileStamp m_known;
    // The state the user was last told about (not told twice).
    TFileStamp m_announced;
    bool m_asking = false;
};

// Before a save over a file that changed on disk: Overwrite, Reload or
// Cancel. canReload is false when the file is gone. Tests replace it.
extern std::function<TChangedFileAnswer(HexViewWindow&, const QString& text, bool canReload)>
    AskBeforeOverwritingChangedFile;
// The file changed or disappeared while open: Reload or Cancel (keep what
// is shown). Tests replace it.
extern std::function<TChangedFileAnswer(HexViewWindow&, const QString& text, bool canReload)> AskReloadChangedFile;

} // namespace hexview
