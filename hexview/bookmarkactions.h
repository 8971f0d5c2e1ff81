#pragma once
// The Bookmarks menu: the ten bookmarks with their offsets (choosing one
// goes there) and a submenu that sets or clears one at the caret.

#include <QString>
#include <cstdint>

namespace hexview {

class HexViewWindow;

// The menu text of bookmark index: "&3  0x0040 (hex)" or "&3  (not set)".
QString BookmarkCaption(int index, int32_t position, bool inCharField);

void InstallBookmarkActions(HexViewWindow& window);

} // namespace hexview
