#include "hexview/menuactions.h"

#include <QAction>
#include <QMenu>

namespace hexview {

QAction* AddMenuAction(QMenu* menu, const QString& text, const char* name, const QKeySequence& key)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

} // namespace hexview
