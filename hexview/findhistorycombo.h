#pragma once
// The history drop-downs of the Find and Replace dialogs: an editable combo
// box whose list is the stored history (core/findhistory.h).

#include "hexview/core/findhistory.h"

class QComboBox;
class QWidget;

namespace hexview {

class HexViewWindow;

// An editable combo box that keeps its list as it is when the user types
// or picks an entry (the history changes only by RememberInHistory).
QComboBox* NewHistoryCombo(QWidget* parent, const QString& lineEditName);
// Fills the combo's list from the configuration, keeping its current text.
void LoadHistoryInto(QComboBox* combo, THistoryKind kind);
// Puts the combo's text in front of its list and of the stored history.
void RememberInHistory(HexViewWindow& window, QComboBox* combo, THistoryKind kind);

} // namespace hexview
