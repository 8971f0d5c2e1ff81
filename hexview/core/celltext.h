#pragma once
// What hexview shows for a character cell beyond the editor's own masking:
// characters that no font draws (the delete character 0x7F, the code
// points a code page leaves undefined such as 0x81 in Windows-1252, which
// arrive as C1 control codes, lone surrogate halves, format and
// unassigned characters) are shown as the mask character, like the other
// control codes, instead of a missing-glyph box.

#include <QChar>
#include <QString>

namespace hexview {

// True for a text that is just the delete character.
bool IsDeleteCharacter(const QString& text);
// True for a text of one character that has no glyph to draw (the delete
// character included); printable characters and the space are drawn.
bool HasNoGlyph(const QString& text);
// The text a character cell shows: the mask character for a character
// without a glyph, the text itself otherwise.
QString ShownCharacterText(const QString& text, QChar mask);

} // namespace hexview
