#pragma once
// Edit menu: Undo and Redo (their captions name the step, e.g. "Undo Change
// byte(s)"), Select all and the insert mode switch.

#include <QString>

class QAction;

namespace hexview {

class HexViewWindow;

// The caption of the Undo / Redo item for a step text (empty: no step).
QString UndoCaption(const QString& stepText);
QString RedoCaption(const QString& stepText);

void InstallEditActions(HexViewWindow& window);

} // namespace hexview
