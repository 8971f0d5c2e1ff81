#pragma once
// A new tab's editor is set up as the one it follows: the display settings
// (the settings text: layout, colours, fonts, translation, unicode mode,
// insert mode...) and the component's switches hexview turns on. The
// document itself (data, name, undo steps, bookmarks) is not copied.

class TMPHexEditorEx;

namespace hexview {

// Copies from's settings to to. A setting to refuses (none should, on an
// empty editor) leaves to's own.
void CopyEditorSetup(TMPHexEditorEx& from, TMPHexEditorEx& to);

} // namespace hexview
