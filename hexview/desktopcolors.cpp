// Applying the desktop's colours to the editor (see core/desktopcolors.h).

#include "hexview/desktopcolors.h"

#include "hexview/core/configfile.h"
#include "hexview/core/desktopcolors.h"
#include "hexview/hexviewwindow.h"
#include "hexview/settingsactions.h"

#include <QPalette>

namespace hexview {

namespace {

// The colours chosen in the last run (TColor values by property name, e.g.
// "Editor/DesktopColors/Offset"), so that the next run can tell them from
// colours the user set.
const QString DesktopColorsGroup = QStringLiteral("Editor/DesktopColors");

struct TColorRole
{
    const char* Name;
    uint32_t TViewColors::*Field;
};
constexpr TColorRole Roles[] = {
    {"Offset", &TViewColors::Offset},
    {"OddColumn", &TViewColors::OddColumn},
    {"EvenColumn", &TViewColors::EvenColumn},
    {"CursorFrame", &TViewColors::CursorFrame},
    {"ChangedText", &TViewColors::ChangedText},
    {"ChangedBackground", &TViewColors::ChangedBackground},
};

uint32_t Rgb(const QColor& color) { return color.rgb() & 0xFFFFFFu; }
uint32_t Rgb(TColor color, const QPalette& palette) { return Rgb(ResolveColor(color, palette)); }
TColor ToTColor(uint32_t rgb) { return ColorToRgb(QColor::fromRgb(QRgb(0xFF000000u | rgb))); }
TColor ColorOf(const QObject& colors, const char* name) { return colors.property(name).toUInt(); }

TViewColors ChooseColors(const TMPHColors& colors, const TMPHColors& own, const QPalette& palette)
{
    TViewColors ownRgb;
    for (const TColorRole& role : Roles)
        ownRgb.*role.Field = Rgb(ColorOf(own, role.Name), palette);
    TDesktopPalette desktop;
    desktop.Base = Rgb(colors.Background(), palette);
    desktop.Text = Rgb(palette.color(QPalette::Text));
    desktop.Link = Rgb(palette.color(QPalette::Link));
    desktop.Highlight = Rgb(palette.color(QPalette::Highlight));
    return DesktopViewColors(ownRgb, desktop);
}

} // namespace

void ApplyDesktopColors(HexViewWindow& window)
{
    TMPHexEditorEx& editor = window.Editor();
    TMPHColors& colors = *editor.Colors();
    const TMPHColors own; // the component's defaults
    const TViewColors chosen = ChooseColors(colors, own, editor.palette());

    // The configuration file is read and written only through its own rules
    // (regular files of bounded size, atomic saves).
    const TConfigFile stored;
    QMap<QString, QVariant> choices;
    for (const TColorRole& role : Roles) {
        const QString key = DesktopColorsGroup + QLatin1Char('/') + QString::fromLatin1(role.Name);
        const TColor current = ColorOf(colors, role.Name);
        const QVariant earlierChoice = stored.Value(key);
        const bool userSet = current != ColorOf(own, role.Name) &&
                             !(earlierChoice.isValid() && earlierChoice.toUInt() == current);
        const TColor value = ToTColor(chosen.*role.Field);
        if (!userSet)
            colors.setProperty(role.Name, value);
        choices.insert(key, value);
    }
    if (!stored.Problem().isEmpty())
        return; // the settings' own load has told the user; nothing is written over it
    StoreInConfiguration(window, [&](TConfigFile& config) {
        for (auto it = choices.cbegin(); it != choices.cend(); ++it)
            config.SetValue(it.key(), it.value());
    });
}

} // namespace hexview
