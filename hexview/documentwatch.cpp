#include "hexview/documentwatch.h"

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

TDocumentWatch::TDocumentWatch(HexViewWindow& window)
    : QObject(&window), m_window(window), m_watcher(new QFileSystemWatcher(this))
{
    setObjectName(QStringLiteral("documentWatch"));
    connect(&window, &HexViewWindow::DocumentLoaded, this, [this] {
        m_known = m_window.Editor().HasFile() ? m_window.LoadedFileStamp() : TFileStamp{};
        m_announced = m_known;
        // Watched once the new document is on screen; a change in between
        // is found by the look that follows.
        m_path.clear();
        Rearm();
        QTimer::singleShot(0, this, [this] {
            Follow();
            CheckNow();
        });
    });
    // Checked once the event that told about it is over (a box may follow).
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this,
            [this] { QTimer::singleShot(0, this, [this] { CheckNow(); }); });
    Follow();
}

TDocumentWatch* TDocumentWatch::Of(HexViewWindow& window)
{
    return window.findChild<TDocumentWatch*>(QStringLiteral("documentWatch"), Qt::FindDirectChildrenOnly);
}

bool TDocumentWatch::ChangedOnDisk() const
{
    return m_window.Editor().HasFile() && m_known.Exists && FileStampOf(m_window.Editor().FileName()) != m_known;
}

void TDocumentWatch::Saved(const TFileStamp& stamp)
{
    m_known = stamp;
    m_announced = stamp;
    Follow();
}

// Watches the document's current file (a new inode after every atomic
// replace, so the watch is set again).
void TDocumentWatch::Follow()
{
    m_path = m_window.Editor().HasFile() ? m_window.Editor().FileName() : QString();
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
    const QString name = QFileInfo(m_path).fileName();
    const QString unsaved = m_window.Editor().Modified() ? HexViewWindow::tr(" Reloading drops your unsaved changes.")
                                                         : QString();
    // A document read from its file on demand keeps the file it opened
    // (also when the name now leads to another one); only when that file
    // itself was rewritten can its unread parts not be had any more.
    const TFilePages* source = m_window.Editor().DataStorage().DemandFile();
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
    if (answer == TChangedFileAnswer::cfReload && now.Exists)
        m_window.ReloadDocument();
}

} // namespace hexview
