#pragma once
// What hexview shows for a character cell beyond the editor's own masking:
// the delete character (0x7F) has no glyph in most fonts and is shown as
// the mask character, like the other control codes.

#include <QChar>
#include <QString>

namespace hexview {

// True for a text that is just the delete character.
bool IsDeleteCharacter(const QString& text);
// The text a character cell shows: the mask character for the delete
// character, the text itself otherwise.
QString ShownCharacterText(const QString& text, QChar mask);

} // namespace hexview
