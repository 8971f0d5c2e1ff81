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

QAction* BeforeQuit(QMenu* file)
{
    const QList<QAction*> actions = file->actions();
    for (qsizetype i = 0; i < actions.size(); ++i) {
        if (actions[i]->objectName() == QStringLiteral("actionQuit"))
            return i > 0 && actions[i - 1]->isSeparator() ? actions[i - 1] : actions[i];
    }
    return nullptr;
}

} // namespace hexview
