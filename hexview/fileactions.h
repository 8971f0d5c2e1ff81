#pragma once
// File menu: New, Open..., Recent files, Reload, Close, Quit.
//
// New opens an empty document in a tab of its own with insert mode on.
// Open..., Recent files and files dropped outside the data open each file
// in a tab of its own (an unused Untitled document gives its tab). Reload
// reads the current document's file again, asking first when that drops
// unsaved changes; Close (Ctrl+W) closes the current tab, asking about its
// unsaved changes as closing the window does.

#include <functional>

namespace hexview {

class HexViewWindow;

// Reloads the current document; with unsaved changes only after
// AskReloadDroppingChanges. Errors are shown. True when reloaded.
bool ReloadWithQuestion(HexViewWindow& window);
// "Reload and drop the unsaved changes?": true to reload. Tests replace it.
extern std::function<bool(HexViewWindow&)> AskReloadDroppingChanges;

// Reload and Close above Quit, once the other File actions are in place.
void InstallDocumentActions(HexViewWindow& window);

} // namespace hexview
