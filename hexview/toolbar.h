#pragma once
// The tool bar: Open, Save, Undo, Redo, Cut, Copy, Paste, Find, Go to (the
// menus' own actions, so each acts on the current document and is enabled
// as its menu item is). The desktop theme's icons are used; the ones
// shipped in resources/toolbar stand in where the theme has none. View >
// Tool bar shows or hides it; the choice is kept in the configuration
// (key "View/ToolBar") and lasts between runs.

#include <QString>

namespace hexview {

inline const QString ToolBarShownKey = QStringLiteral("View/ToolBar");

} // namespace hexview
