// Drag and drop in hexview: the editor takes part in drag and drop (bytes in
// and out, to other windows and file managers); files dropped anywhere else
// on the window open, each in a tab of its own. The offset popup of the editor's offset column and
// ruler switches the offset radix.

#include "hexview/dragdropactions.h"

#include "hexview/core/offsetradix.h"
#include "hexview/hexviewwindow.h"

#include <QActionGroup>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

namespace hexview {

QStringList LocalFilesOf(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files.append(url.toLocalFile());
    return files;
}

namespace {

// Opens the local files dropped on the window outside the editor (on the
// menu bar, the tool bar, the tab bar, the status bar), each in a tab.
class TFileDropFilter final : public QObject
{
public:
    explicit TFileDropFilter(HexViewWindow& window) : QObject(&window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched != &m_window)
            return false;
        switch (e->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(e);
            if (!LocalFilesOf(drag->mimeData()).isEmpty() && (drag->possibleActions() & Qt::CopyAction)) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(e);
            const QStringList files = LocalFilesOf(drop->mimeData());
            if (files.isEmpty()) {
                drop->ignore();
                return true;
            }
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            // Opened once the drop has finished: the source waits for the
            // drop's answer, and opening may ask about unsaved changes.
            QMetaObject::invokeMethod(
                &m_window, [window = &m_window, files] { window->OpenFiles(files); }, Qt::QueuedConnection);
            return true;
        }
        default:
            return false;
        }
    }

private:
    HexViewWindow& m_window;
};

QMenu* BuildOffsetMenu(HexViewWindow& window)
{
    auto* menu = new QMenu(QObject::tr("Offsets"), &window);
    auto* group = new QActionGroup(menu);
    const struct
    {
        const char* text;
        int radix;
    } choices[] = {{"&Hexadecimal", 16}, {"&Decimal", 10}, {"&Octal", 8}};
    for (const auto& choice : choices) {
        QAction* action = menu->addAction(QObject::tr(choice.text));
        action->setCheckable(true);
        action->setData(choice.radix);
        group->addAction(action);
        const int radix = choice.radix;
        QObject::connect(action, &QAction::triggered, &window, [&window, radix] {
            window.RunGuarded([&window, radix] {
                TMPHexEditorEx& editor = window.Editor();
                editor.SetOffsetFormat(OffsetFormatWithRadix(editor.OffsetFormat(), radix));
            });
        });
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu, [&window, group] {
        const int radix = window.Editor().OffsetFormatRecord().Radix;
        for (QAction* action : group->actions())
            action->setChecked(action->data().toInt() == radix);
    });
    return menu;
}

} // namespace

void InstallDragDropActions(HexViewWindow& window)
{
    QMenu* offsetMenu = BuildOffsetMenu(window);
    window.OnEveryEditor([offsetMenu](TMPHexEditorEx& editor) {
        editor.SetOleDragDrop(true);
        // A file manager's own default of a move (for local files) must not
        // cut the bytes: towards other programs only Shift at the drop moves.
        editor.SetForeignMoveNeedsShift(true);
        editor.SetOffsetPopupMenu(offsetMenu);
    });
    window.setAcceptDrops(true);
    window.installEventFilter(new TFileDropFilter(window));
}

} // namespace hexview
