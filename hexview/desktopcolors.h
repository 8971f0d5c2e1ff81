#pragma once
// hexview's default editor colours from the desktop's palette
// (core/desktopcolors.h chooses them).

namespace hexview {

class HexViewWindow;

// Gives the editor hexview's colours for the current palette, in place of
// the component's fixed ones and of the colours this function chose in an
// earlier run (recorded in the settings); any other colour is the user's
// (from imported or stored settings) and stays.
void ApplyDesktopColors(HexViewWindow& window);

} // namespace hexview
