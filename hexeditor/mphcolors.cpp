// The editor's colour set and the resolution of stored colour values.

#include "hexeditor/mphcolors.h"

#include "hexeditor/mphexeditor.h"

#include <QPalette>

namespace {

// Palette role for a system colour index; the table is documented in the header.
QPalette::ColorRole RoleOfSystemIndex(int index)
{
    switch (index) {
    case 0: case 10: case 11: case 15: return QPalette::Button;
    case 2: case 13: case 27: case 29: return QPalette::Highlight;
    case 3: case 28: return QPalette::Mid;
    case 5: return QPalette::Base;
    case 6: case 21: return QPalette::Shadow;
    case 7: return QPalette::WindowText;
    case 8: case 17: case 19: return QPalette::Text;
    case 9: case 14: return QPalette::HighlightedText;
    case 12: case 16: return QPalette::Dark;
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light;
    case 22: return QPalette::Midlight;
    case 23: return QPalette::ToolTipText;
    case 24: return QPalette::ToolTipBase;
    case 26: return QPalette::Link;
    default: return QPalette::Window;
    }
}

} // namespace

QColor ResolveColor(TColor color, const QPalette& palette)
{
    if (MPHColor::IsSystemColor(color)) {
        const int index = MPHColor::SystemColorIndex(color);
        const QPalette::ColorGroup group = index == 17 ? QPalette::Disabled : QPalette::Active;
        return palette.color(group, RoleOfSystemIndex(index));
    }
    // Any other top byte: the low three bytes are taken as the triple.
    return QColor(MPHColor::Red(color), MPHColor::Green(color), MPHColor::Blue(color));
}

TColor ColorToRgb(const QColor& color)
{
    return MPHColor::Rgb(color.red(), color.green(), color.blue());
}

TMPHColors::TMPHColors(TCustomMPHexEditor* owner) : QObject(owner), m_owner(owner) {}

void TMPHColors::Store(TColor& field, TColor value)
{
    if (field == value)
        return;
    field = value;
    RepaintOwner();
}

void TMPHColors::SetBackground(TColor value)
{
    if (m_background == value)
        return;
    m_background = value;
    ApplyBackgroundToOwner();
    RepaintOwner();
}

void TMPHColors::ApplyBackgroundToOwner()
{
    if (!m_owner)
        return;
    QWidget* port = m_owner->viewport();
    QPalette palette = port->palette();
    palette.setColor(port->backgroundRole(), ResolveColor(m_background, m_owner->palette()));
    port->setPalette(palette);
}

void TMPHColors::RepaintOwner()
{
    if (m_owner)
        m_owner->viewport()->update();
}

void TMPHColors::Assign(const QObject* source)
{
    const auto* other = qobject_cast<const TMPHColors*>(source);
    if (!other)
        return;
    SetBackground(other->m_background);
    SetChangedText(other->m_changedText);
    SetCursorFrame(other->m_cursorFrame);
    SetNonFocusCursorFrame(other->m_nonFocusCursorFrame);
    SetOffset(other->m_offset);
    SetOddColumn(other->m_oddColumn);
    SetEvenColumn(other->m_evenColumn);
    SetChangedBackground(other->m_changedBackground);
    SetCurrentOffsetBackground(other->m_currentOffsetBackground);
    SetCurrentOffset(other->m_currentOffset);
    SetOffsetBackGround(other->m_offsetBackGround);
    SetActiveFieldBackground(other->m_activeFieldBackground);
    SetGrid(other->m_grid);
}
