#pragma once
// The window's fonts. The stored form asks for "MS Sans Serif" (8 point, 11
// pixels) and the editors for "Courier New" (15 pixels); where those faces
// are missing, the stand-ins are chosen on purpose instead of by fontconfig's
// guess, which picks much wider faces: Liberation Sans, metric-compatible with
// the Windows sans faces, and Liberation Mono for "Courier New" (both from the
// fonts-liberation package, a run dependency).

#include <QFont>

class QLineEdit;

// Registers the stand-ins with Qt (QFont::insertSubstitutions); idempotent.
void InstallFontSubstitutes();

// "MS Sans Serif", 11 pixels, regular or bold.
QFont FormFont(bool bold = false);
// "Courier New", 15 pixels.
QFont EditorFont();

// The width a one-line text box really has for its text: its contents
// rectangle as the style gives it, less the text margins and the box's own
// inner margin on each side.
int LineEditTextWidth(const QLineEdit& edit);

// Sets the bold form font on edit such that text (the widest text the box must
// show whole) fits its text width: when the face is too wide for the box, it
// is narrowed (QFont::setStretch) just as far as needed, down to 75 %.
void SetFittingBoldFont(QLineEdit& edit, const QString& text);
