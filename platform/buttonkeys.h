#pragma once
// Enter and keypad Enter press a focused push button, as Space does: the
// desktop convention for buttons outside a dialog's default-button handling.

class QAbstractButton;

// From now on Enter (Key_Return) and keypad Enter (Key_Enter) on button, while
// it has the focus and is enabled, click it once per key press.
void PressOnEnter(QAbstractButton* button);
