#pragma once
// File > Compare with...: the current document's file beside another file
// in a compare window of its own (comparewindow.h).

#include <QString>
#include <functional>

namespace hexview {

class HexViewWindow;
class TCompareWindow;

// Opens a compare window on left and right (shown, deleted when closed).
TCompareWindow* OpenCompareWindow(HexViewWindow& window, const QString& left, const QString& right);

// Asks for a file to compare (title names what for); empty when cancelled.
// Tests replace it.
extern std::function<QString(HexViewWindow&, const QString& title)> AskCompareFileName;

void InstallCompareActions(HexViewWindow& window);

} // namespace hexview
