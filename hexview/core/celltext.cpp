#include "hexview/core/celltext.h"

namespace hexview {

bool IsDeleteCharacter(const QString& text)
{
    return text.size() == 1 && text.at(0).unicode() == 0x7F;
}

QString ShownCharacterText(const QString& text, QChar mask)
{
    return IsDeleteCharacter(text) ? QString(mask) : text;
}

} // namespace hexview
