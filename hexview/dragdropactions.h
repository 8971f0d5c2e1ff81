#pragma once
// hexview's drag and drop and the offset popup (dragdropactions.cpp).

#include <QStringList>

class QMimeData;

namespace hexview {

class HexViewWindow;

// The editor drags and takes drops; a file dropped elsewhere on the window
// opens; the offset column's popup switches the offset radix.
void InstallDragDropActions(HexViewWindow& window);

// The local files named by dropped data, in their order.
QStringList LocalFilesOf(const QMimeData* data);

} // namespace hexview
