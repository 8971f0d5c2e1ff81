// Print options, the print font and the font settings objects.

#include "ex_fixture.h"

#include "platform/core/exceptions.h"

namespace {

template <typename F>
QString ConvertErrorOf(F&& call)
{
    try {
        call();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

TEST(PrintOptions, NewEditorHasTheDocumentedDefaults)
{
    TMPHexEditorEx editor;
    const TMPHPrintOptions* options = editor.PrintOptions();
    EXPECT_EQ(options->MarginLeft(), 20);
    EXPECT_EQ(options->MarginTop(), 15);
    EXPECT_EQ(options->MarginRight(), 25);
    EXPECT_EQ(options->MarginBottom(), 25);
    EXPECT_TRUE(options->PageHeader().isEmpty());
    EXPECT_TRUE(options->PageFooter().isEmpty());
    EXPECT_EQ(int(options->Flags()), 0x06);
    EXPECT_EQ(options->Flags(), pfSelectionBold | pfMonochrome);
    EXPECT_TRUE(editor.UseEditorFontForPrinting());
    EXPECT_EQ(editor.PrintFont()->Font(), editor.font());
    EXPECT_EQ(editor.FontForPrinting(), editor.font());
}

TEST(PrintOptions, FlagBitsFollowTheFlagOrder)
{
    const TMPHPrintFlag order[] = {pfSelectionOnly, pfSelectionBold, pfMonochrome,
                                   pfUseBackgroundColor, pfCurrentViewOnly, pfIncludeRuler};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(int(order[i]), 1 << i);
}

TEST(PrintOptions, AssigningBetweenEditorsCopiesAllSevenValuesIntoSeparateObjects)
{
    TMPHexEditorEx first;
    TMPHexEditorEx second;
    TMPHPrintOptions* a = first.PrintOptions();
    a->SetMarginLeft(1);
    a->SetMarginTop(2);
    a->SetMarginRight(3);
    a->SetMarginBottom(4);
    a->SetPageHeader(QStringLiteral("head"));
    a->SetPageFooter(QStringLiteral("foot"));
    a->SetFlags(pfSelectionOnly | pfIncludeRuler);

    second.SetPrintOptions(a);
    const TMPHPrintOptions* b = second.PrintOptions();
    EXPECT_NE(b, a);
    EXPECT_EQ(b->MarginLeft(), 1);
    EXPECT_EQ(b->MarginTop(), 2);
    EXPECT_EQ(b->MarginRight(), 3);
    EXPECT_EQ(b->MarginBottom(), 4);
    EXPECT_EQ(b->PageHeader(), QStringLiteral("head"));
    EXPECT_EQ(b->PageFooter(), QStringLiteral("foot"));
    EXPECT_EQ(b->Flags(), pfSelectionOnly | pfIncludeRuler);

    a->SetMarginLeft(99);
    a->SetPageHeader(QStringLiteral("changed"));
    EXPECT_EQ(b->MarginLeft(), 1);
    EXPECT_EQ(b->PageHeader(), QStringLiteral("head"));
}

TEST(PrintOptions, AssigningAnotherKindOfObjectNamesBothClasses)
{
    TMPHPrintOptions options;
    options.SetMarginLeft(7);
    TMPHFont font{QFont()};
    EXPECT_EQ(ConvertErrorOf([&] { options.Assign(&font); }),
              QStringLiteral("Cannot assign a TMPHFont to a TMPHPrintOptions"));
    EXPECT_EQ(ConvertErrorOf([&] { options.Assign(nullptr); }),
              QStringLiteral("Cannot assign a nil to a TMPHPrintOptions"));
    EXPECT_EQ(options.MarginLeft(), 7);
}

TEST(PrintFont, IsACopyTakenOnceAtConstruction)
{
    TMPHexEditorEx editor;
    const QFont original = editor.font();
    QFont bigger = original;
    bigger.setPointSize(original.pointSize() + 5);
    editor.setFont(bigger);
    EXPECT_EQ(editor.PrintFont()->Font(), original);
    EXPECT_EQ(editor.FontSettings()->Size(), original.pointSize() + 5);
}

TEST(PrintFont, AssigningItTurnsOffTheEditorFontButAttributeChangesDoNot)
{
    TMPHexEditorEx editor;
    TMPHFont other{QFont(QStringLiteral("Serif"), 20)};
    other.SetColor(0xFF);
    editor.SetPrintFont(&other);
    EXPECT_FALSE(editor.UseEditorFontForPrinting());
    EXPECT_EQ(editor.PrintFont()->Size(), 20);
    EXPECT_EQ(editor.PrintFont()->Color(), 0xFFu);
    EXPECT_EQ(editor.FontForPrinting().pointSize(), 20);

    editor.SetUseEditorFontForPrinting(true);
    EXPECT_EQ(editor.PrintFont()->Size(), 20);
    EXPECT_EQ(editor.FontForPrinting(), editor.font());

    editor.PrintFont()->SetSize(9);
    EXPECT_TRUE(editor.UseEditorFontForPrinting());
    EXPECT_EQ(editor.PrintFont()->Size(), 9);
}

TEST(FontSettings, AttributesMapOntoTheFont)
{
    TMPHFont font{QFont(QStringLiteral("Monospace"), 10)};
    font.SetStyle(fsBold | fsStrikeOut);
    EXPECT_TRUE(font.Font().bold());
    EXPECT_FALSE(font.Font().italic());
    EXPECT_TRUE(font.Font().strikeOut());
    EXPECT_EQ(font.Style(), fsBold | fsStrikeOut);
    font.SetStyle({});
    EXPECT_EQ(font.Style(), TMPHFontStyles());

    font.SetSize(-14); // negative: pixels
    EXPECT_EQ(font.Font().pixelSize(), 14);
    EXPECT_EQ(font.Size(), -14);
    font.SetSize(12);
    EXPECT_EQ(font.Font().pointSize(), 12);

    font.SetName(QStringLiteral("Sans"));
    EXPECT_EQ(font.Name(), QStringLiteral("Sans"));
    EXPECT_EQ(font.Charset(), TMPHFont::DefaultCharset);
}

TEST(FontSettings, RefusedValuesChangeNothing)
{
    TMPHFont font{QFont(QStringLiteral("Monospace"), 10)};
    EXPECT_EQ(ConvertErrorOf([&] { font.SetSize(0); }),
              QStringLiteral("Invalid font size 0, allowed: -1000..-1 (pixels) or 1..1000 (points)"));
    EXPECT_NE(ConvertErrorOf([&] { font.SetSize(1001); }), QStringLiteral("<no error>"));
    EXPECT_NE(ConvertErrorOf([&] { font.SetSize(-1001); }), QStringLiteral("<no error>"));
    EXPECT_EQ(ConvertErrorOf([&] { font.SetCharset(256); }),
              QStringLiteral("Invalid font character set 256, allowed: 0..255"));
    EXPECT_NE(ConvertErrorOf([&] { font.SetCharset(-1); }), QStringLiteral("<no error>"));
    EXPECT_EQ(ConvertErrorOf([&] { font.SetName(QStringLiteral("  ")); }),
              QStringLiteral("A font name cannot be empty"));
    EXPECT_EQ(font.Size(), 10);
    EXPECT_EQ(font.Charset(), TMPHFont::DefaultCharset);
    EXPECT_EQ(font.Name(), QStringLiteral("Monospace"));
}

TEST(FontSettings, TheEditorsFontObjectChangesTheEditorsFont)
{
    TMPHexEditorEx editor;
    editor.Loaded();
    const int widthBefore = editor.CharWidth();
    editor.FontSettings()->SetSize(editor.FontSettings()->Size() * 2);
    EXPECT_EQ(editor.font().pointSize(), editor.FontSettings()->Size());
    EXPECT_GT(editor.CharWidth(), widthBefore);
}
