#include "hexview/core/celltext.h"

namespace hexview {

bool IsDeleteCharacter(const QString& text)
{
    return text.size() == 1 && text.at(0).unicode() == 0x7F;
}

bool HasNoGlyph(const QString& text)
{
    // Every category "Other" (control, format, surrogate, private use,
    // unassigned) is not printable.
    return text.size() == 1 && (IsDeleteCharacter(text) || !text.at(0).isPrint());
}

QString ShownCharacterText(const QString& text, QChar mask)
{
    return HasNoGlyph(text) ? QString(mask) : text;
}

} // namespace hexview
