#include "hexview/documentwatch.h"

#include "hexview/documenttab.h"
#include "hexview/hexviewwindow.h"

#include "platform/core/filepages.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace hexview {

namespace {

TChangedFileAnswer AskWithBox(HexViewWindow& window, const QString& text, bool canReload, bool canOverwrite)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("hexview"), text, QMessageBox::NoButton, &window);
    QPushButton* overwrite = canOverwrite ? box.addButton(HexViewWindow::tr("&Overwrite"), QMessageBox::AcceptRole)
                                          : nullptr;
    QPushButton* reload = canReload ? box.addButton(HexViewWindow::tr("&Reload"), QMessageBox::ResetRole) : nullptr;
    QPushButton* cancel = box.addButton(canOverwrite ? QMessageBox::Cancel : QMessageBox::Ignore);
    box.setDefaultButton(cancel);
    box.exec();
    if (overwrite && box.clickedButton() == overwrite)
        return TChangedFileAnswer::cfOverwrite;
    if (reload && box.clickedButton() == reload)
        return TChangedFileAnswer::cfReload;
    return TChangedFileAnswer::cfCancel;
}

} // namespace

std::function<TChangedFileAnswer(HexViewWindow&, const QString&, bool)> AskBeforeOverwritingChangedFile =
    [](HexViewWindow& window, const QString& text, bool canReload) {
        return AskWithBox(window, text, canReload, true);
    };
std::function<TChangedFileAnswer(HexViewWindow&, const QString&, bool)> AskReloadChangedFile =
    [](HexViewWindow& window, const QString& text, bool canReload) {
        return AskWithBox(window, text, canReload, false);
    };

TDocumentWatch::TDocumentWatch(HexViewWindow& window, TDocumentTab& tab)
    : QObject(&tab), m_window(window), m_tab(tab), m_watcher(new QFileSystemWatcher(this))
{
    setObjectName(QStringLiteral("documentWatch"));
    connect(&tab, &TDocumentTab::Loaded, this, [this] {
        m_known = m_tab.Editor().HasFile() ? m_tab.LoadedFileStamp() : TFileStamp{};
        m_announced = m_known;
        // Watched once the new document is on screen; a change in between
        // is found by the look that follows. The path is taken at once, so
        // the window's DocumentLoaded that follows sees the same file.
        m_path = FollowedPath();
        if (!m_watcher->files().isEmpty())
            m_watcher->removePaths(m_watcher->files());
        QTimer::singleShot(0, this, [this] {
            Follow();
            CheckNow();
        });
    });
    // The document in front replaced without a load of its tab (New from
    // clipboard): the old file is no longer its file. A tab switch keeps
    // what this watch knows (a save since the load included).
    connect(&window, &HexViewWindow::DocumentLoaded, this, [this] {
        if (!m_window.IsCurrentDocument(m_tab) || FollowedPath() == m_path)
            return;
        m_known = {};
        m_announced = {};
        Follow();
    });
    // Checked once the event that told about it is over (a box may follow).
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this,
            [this] { QTimer::singleShot(0, this, [this] { CheckNow(); }); });
    Follow();
}

TDocumentWatch* TDocumentWatch::Of(HexViewWindow& window)
{
    return window.DocumentCount() > 0 ? &window.CurrentDocument().Watch() : nullptr;
}

bool TDocumentWatch::ChangedOnDisk() const
{
    return m_tab.Editor().HasFile() && m_known.Exists && FileStampOf(m_tab.Editor().FileName()) != m_known;
}

void TDocumentWatch::Saved(const TFileStamp& stamp)
{
    m_known = stamp;
    m_announced = stamp;
    Follow();
}

// Watches the document's current file (a new inode after every atomic
// replace, so the watch is set again).
QString TDocumentWatch::FollowedPath() const
{
    return m_tab.HasEditor() && m_tab.Editor().HasFile() ? m_tab.Editor().FileName() : QString();
}

void TDocumentWatch::Follow()
{
    m_path = FollowedPath();
    Rearm();
}

void TDocumentWatch::Rearm()
{
    if (!m_watcher->files().isEmpty())
        m_watcher->removePaths(m_watcher->files());
    if (!m_path.isEmpty() && QFileInfo::exists(m_path))
        m_watcher->addPath(m_path);
}

void TDocumentWatch::CheckNow()
{
    if (m_path.isEmpty() || m_asking || !m_known.Exists)
        return;
    Rearm();
    const TFileStamp now = FileStampOf(m_path);
    if (now == m_known || now == m_announced)
        return;
    m_announced = now;
    // The question is about this document: its tab comes to the front.
    m_window.SetCurrentDocument(m_tab);
    const QString name = QFileInfo(m_path).fileName();
    const QString unsaved = m_tab.Editor().Modified() ? HexViewWindow::tr(" Reloading drops your unsaved changes.")
                                                         : QString();
    // A document read from its file on demand keeps the file it opened
    // (also when the name now leads to another one); only when that file
    // itself was rewritten can its unread parts not be had any more.
    const TFilePages* source = m_tab.Editor().DataStorage().DemandFile();
    const bool sourceLost = source != nullptr && !source->Unchanged();
    QString text = now.Exists ? HexViewWindow::tr("%1 was changed on disk by another program.%2").arg(name, unsaved)
                              : HexViewWindow::tr("%1 was removed or renamed on disk. What is shown is "
                                                  "kept; saving writes it under its name again.")
                                    .arg(name);
    if (sourceLost)
        text = HexViewWindow::tr("%1 was rewritten on disk by another program while the document still reads "
                                 "from it: what was not read yet can no longer be shown or saved. Reload it.")
                   .arg(name);
    m_asking = true;
    const TChangedFileAnswer answer = AskReloadChangedFile(m_window, text, now.Exists);
    m_asking = false;
    if (answer == TChangedFileAnswer::cfReload && now.Exists && m_window.IsCurrentDocument(m_tab))
        m_window.ReloadDocument();
}

} // namespace hexview
