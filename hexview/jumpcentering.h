#pragma once
// Jumps (Go to offset, bookmarks from the menu or Ctrl+digit) put the caret's
// row in the middle of the view.

namespace hexview {

class HexViewWindow;

// Scrolls the editor so that the caret's row is in the middle of the view.
void CenterCaretRow(HexViewWindow& window);
// Centres after the editor's own bookmark keys (Ctrl+0 ... Ctrl+9).
void InstallJumpCentering(HexViewWindow& window);

} // namespace hexview
