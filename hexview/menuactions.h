#pragma once
// The one way hexview's action groups add a menu item with a shortcut.

#include <QKeySequence>
#include <QString>

class QAction;
class QMenu;

namespace hexview {

// Adds an item to menu under the object name (tests and the settings find
// items by it) with key as a window-wide shortcut (none when key is empty).
QAction* AddMenuAction(QMenu* menu, const QString& text, const char* name, const QKeySequence& key = {});

// Where File menu items go that belong above Quit: the separator before
// Quit (after whatever was inserted there earlier), or Quit itself without
// one; null when the menu has no Quit (insertAction then appends).
QAction* BeforeQuit(QMenu* file);

} // namespace hexview
