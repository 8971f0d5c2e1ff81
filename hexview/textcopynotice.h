#pragma once
// Copy and Cut with a status bar notice when the text form of the copy was
// cut short by a zero byte.

namespace hexview {

class HexViewWindow;

enum class TClipboardCopy { Copy, Cut };

// Copies (or cuts) the selection through the editor; when the clipboard's
// plain text stops before the end of the selection, says so in the status bar.
void CopyWithTextNotice(HexViewWindow& window, TClipboardCopy kind);

} // namespace hexview
