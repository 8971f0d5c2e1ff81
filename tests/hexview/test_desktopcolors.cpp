// hexview's editor colours on light and dark desktop palettes.

#include "hexview/core/desktopcolors.h"
#include "hexview/core/tint.h"
#include "window_fixture.h"

#include "hexeditor/mphcolors.h"

#include <QApplication>
#include <QPalette>

using namespace hexview;

namespace {

// The component's default colours as RGB.
TViewColors ComponentColors()
{
    TViewColors c;
    c.Offset = 0x000000;
    c.OddColumn = 0x0000FF;
    c.EvenColumn = 0x000080;
    c.CursorFrame = 0x000080;
    c.ChangedText = 0x800000;
    c.ChangedBackground = 0xFFFFA8;
    return c;
}

// A dark palette that leaves the link colour at Qt's light default (blue),
// as a hand-made dark palette often does.
TDesktopPalette DarkPalette()
{
    TDesktopPalette p;
    p.Base = 0x232629;
    p.Text = 0xEFF0F1;
    p.Link = 0x0000FF;
    p.Highlight = 0x1D4F91;
    return p;
}

void ExpectReadable(const TViewColors& c, uint32_t base)
{
    EXPECT_GE(ContrastRatio(c.Offset, base), TextContrast);
    EXPECT_GE(ContrastRatio(c.OddColumn, base), TextContrast);
    EXPECT_GE(ContrastRatio(c.EvenColumn, base), TextContrast);
    EXPECT_GE(ContrastRatio(c.CursorFrame, base), FrameContrast);
    EXPECT_GE(ContrastRatio(c.ChangedText, c.ChangedBackground), TextContrast);
    EXPECT_NE(c.OddColumn, c.EvenColumn);
}

} // namespace

TEST(DesktopColors, ReadableOnKeepsReadableColoursAndMovesOthersAwayFromTheBackground)
{
    EXPECT_EQ(ReadableOn(0x0000FF, 0xFFFFFF, TextContrast), 0x0000FFu);
    // Blue on a dark grey: lightened, just enough.
    const uint32_t lighter = ReadableOn(0x0000FF, 0x232629, TextContrast);
    EXPECT_GE(ContrastRatio(lighter, 0x232629), TextContrast);
    EXPECT_GT(Luminance(lighter), Luminance(0x0000FF));
    EXPECT_NE(lighter, 0xFFFFFFu);
    // Yellow on white: darkened.
    const uint32_t darker = ReadableOn(0xFFFF00, 0xFFFFFF, TextContrast);
    EXPECT_GE(ContrastRatio(darker, 0xFFFFFF), TextContrast);
    EXPECT_LT(Luminance(darker), Luminance(0xFFFF00));
    // A contrast no mix reaches ends at white or black.
    EXPECT_EQ(ReadableOn(0x808080, 0x000000, 21.0), 0xFFFFFFu);
    EXPECT_TRUE(IsDarkBackground(0x232629));
    EXPECT_FALSE(IsDarkBackground(0xFFFFFF));
}

TEST(DesktopColors, ALightPaletteKeepsTheComponentsColours)
{
    const TViewColors c = DesktopViewColors(ComponentColors(), TDesktopPalette{});
    const TViewColors own = ComponentColors();
    EXPECT_EQ(c.Offset, own.Offset);
    EXPECT_EQ(c.OddColumn, own.OddColumn);
    EXPECT_EQ(c.EvenColumn, own.EvenColumn);
    EXPECT_EQ(c.CursorFrame, own.CursorFrame);
    EXPECT_EQ(c.ChangedText, own.ChangedText);
    EXPECT_EQ(c.ChangedBackground, own.ChangedBackground);
}

TEST(DesktopColors, ADarkPaletteGetsReadableColoursFromThePalette)
{
    const TDesktopPalette dark = DarkPalette();
    const TViewColors c = DesktopViewColors(ComponentColors(), dark);
    ExpectReadable(c, dark.Base);
    EXPECT_EQ(c.Offset, dark.Text);
    // Changed bytes no longer glare: their cell stays dark.
    EXPECT_TRUE(IsDarkBackground(c.ChangedBackground));
    EXPECT_NE(c.ChangedBackground, dark.Base);
    // A palette whose link colour reads already gives it unchanged.
    TDesktopPalette withLink = dark;
    withLink.Link = 0x3DAEE9;
    EXPECT_EQ(DesktopViewColors(ComponentColors(), withLink).OddColumn, 0x3DAEE9u);
}

// ---- the window ---------------------------------------------------------------

namespace {

// Sets the application's palette for one test and restores it after.
class PaletteScope
{
public:
    explicit PaletteScope(const QPalette& palette) : m_saved(QApplication::palette())
    {
        QApplication::setPalette(palette);
    }
    ~PaletteScope() { QApplication::setPalette(m_saved); }

private:
    QPalette m_saved;
};

QPalette DarkQPalette()
{
    QPalette p;
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        p.setColor(role, QColor(0x23, 0x26, 0x29));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, QColor(0xEF, 0xF0, 0xF1));
    return p;
}

double EditorContrast(TMPHexEditorEx& editor, TColor color)
{
    const QPalette& palette = editor.palette();
    const uint32_t back = ResolveColor(editor.Colors()->Background(), palette).rgb() & 0xFFFFFF;
    return ContrastRatio(ResolveColor(color, palette).rgb() & 0xFFFFFF, back);
}

} // namespace

class DesktopColorsWindowTest : public HexViewWindowTest
{
protected:
    // A new window, as the next run of the program builds it.
    void Restart()
    {
        window->close();
        window = std::make_unique<HexViewWindow>();
        window->ErrorReporter = [this](const QString& text) { errors << text; };
        QCoreApplication::processEvents();
    }
};

TEST_F(DesktopColorsWindowTest, OnADarkPaletteTheEditorsTextReads)
{
    // The component's own colours on that palette would not.
    TMPHColors own;
    PaletteScope dark(DarkQPalette());
    Restart();
    TMPHexEditorEx& editor = Editor();
    EXPECT_LT(EditorContrast(editor, own.Offset()), TextContrast);
    EXPECT_LT(EditorContrast(editor, own.EvenColumn()), TextContrast);
    const TMPHColors& colors = *editor.Colors();
    EXPECT_GE(EditorContrast(editor, colors.Offset()), TextContrast);
    EXPECT_GE(EditorContrast(editor, colors.OddColumn()), TextContrast);
    EXPECT_GE(EditorContrast(editor, colors.EvenColumn()), TextContrast);
    EXPECT_GE(EditorContrast(editor, colors.CursorFrame()), FrameContrast);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(DesktopColorsWindowTest, ColoursTheUserSetStayAndTheOthersFollowThePalette)
{
    // Light run: the component's colours, except one the user imports.
    TMPHColors own;
    EXPECT_EQ(Editor().Colors()->OddColumn(), own.OddColumn());
    Editor().SetSettingsText(QStringLiteral("Colors.Offset=%1\n").arg(0x3366CC));
    Restart();
    EXPECT_EQ(Editor().Colors()->Offset(), TColor(0x3366CC));

    // Dark run: the stored light colours were hexview's own choice, so they
    // change; the user's colour stays.
    {
        PaletteScope dark(DarkQPalette());
        Restart();
        EXPECT_EQ(Editor().Colors()->Offset(), TColor(0x3366CC));
        EXPECT_NE(Editor().Colors()->OddColumn(), own.OddColumn());
        EXPECT_GE(EditorContrast(Editor(), Editor().Colors()->OddColumn()), TextContrast);
    }
    // And back on the light palette the dark choices go again.
    Restart();
    EXPECT_EQ(Editor().Colors()->OddColumn(), own.OddColumn());
    EXPECT_EQ(Editor().Colors()->Offset(), TColor(0x3366CC));
}
