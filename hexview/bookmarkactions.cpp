// The Bookmarks menu.

#include "hexview/bookmarkactions.h"

#include "hexview/hexviewwindow.h"
#include "hexview/jumpcentering.h"

#include <QAction>
#include <QMenu>

namespace hexview {

QString BookmarkCaption(int index, int32_t position, bool inCharField)
{
    if (position < 0)
        return HexViewWindow::tr("&%1  (not set)").arg(index);
    return HexViewWindow::tr("&%1  0x%2 (%3)")
        .arg(index)
        .arg(QString::number(position, 16).toUpper().rightJustified(4, QLatin1Char('0')))
        .arg(inCharField ? HexViewWindow::tr("characters") : HexViewWindow::tr("hex"));
}

namespace {

// The key hints only: Ctrl(+Shift)+digit belong to the editor's key handling.
QString WithKeyHint(const QString& caption, const QString& keys) { return caption + QLatin1Char('\t') + keys; }

void RebuildMenu(HexViewWindow& window)
{
    QMenu* menu = window.BookmarksMenu();
    // clear() keeps submenus alive (they are children of the menu): drop the
    // old one so that only the current items exist.
    for (QMenu* old : menu->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
        delete old;
    menu->clear();
    TMPHexEditorEx& editor = window.Editor();
    const TMPHBookmarks& marks = editor.Bookmarks();
    for (int i = 0; i < 10; ++i) {
        const int32_t position = marks.At(i).mPosition;
        QAction* go = menu->addAction(
            WithKeyHint(BookmarkCaption(i, position, marks.At(i).mInCharField), QStringLiteral("Ctrl+%1").arg(i)));
        go->setObjectName(QStringLiteral("actionGotoBookmark%1").arg(i));
        go->setEnabled(position >= 0);
        QObject::connect(go, &QAction::triggered, &window, [&window, i] {
            if (!window.Editor().GotoBookmark(i))
                window.ShowError(HexViewWindow::tr("Bookmark %1 pointed past the end of the data and was cleared").arg(i));
            else
                CenterCaretRow(window);
            emit window.SelectionChanged();
        });
    }
    menu->addSeparator();
    QMenu* set = menu->addMenu(HexViewWindow::tr("&Set or clear at caret"));
    set->setObjectName(QStringLiteral("menuSetBookmark"));
    const bool hasData = editor.DataSize() > 0;
    for (int i = 0; i < 10; ++i) {
        QAction* toggle = set->addAction(
            WithKeyHint(HexViewWindow::tr("Bookmark &%1").arg(i), QStringLiteral("Ctrl+Shift+%1").arg(i)));
        toggle->setObjectName(QStringLiteral("actionSetBookmark%1").arg(i));
        toggle->setEnabled(hasData);
        QObject::connect(toggle, &QAction::triggered, &window, [&window, i] {
            TMPHexEditorEx& e = window.Editor();
            window.RunGuarded([&e, i] { e.SetBookmark(i, e.CaretPosition(), e.InCharField()); });
        });
    }
}

} // namespace

void InstallBookmarkActions(HexViewWindow& window)
{
    QMenu* menu = window.BookmarksMenu();
    QObject::connect(menu, &QMenu::aboutToShow, &window, [&window] { RebuildMenu(window); });
    RebuildMenu(window);
}

} // namespace hexview
