// The editor's layout settings, measured font metrics, gutter and ruler.
#include "editor_fixture.h"
#include "error_of.h"

#include <QFontMetrics>
#include <QMetaProperty>

class EditorLayoutTest : public EditorTest
{
protected:
    void load(int size) { editor.LoadFromFile(writeFile(QStringLiteral("layout.bin"), pattern(size))); }
};

TEST_F(EditorLayoutTest, MetricsComeFromTheEditorFont)
{
    EXPECT_EQ(editor.font().family(), "Courier New");
    EXPECT_EQ(editor.font().pointSize(), 11);
    const QFontMetrics metrics(editor.font());
    const int w = editor.CharWidth();
    ASSERT_GT(w, 0);
    EXPECT_EQ(w, metrics.horizontalAdvance(QStringLiteral("w")));
    EXPECT_EQ(editor.CharHeight(), metrics.height() + 2);
    EXPECT_EQ(editor.DefaultRowHeight(), editor.CharHeight());
    EXPECT_EQ(editor.ColWidths(5), 2 * w);
    EXPECT_EQ(editor.ColWidths(0), 4 * w + 21); // "0x0" and one character more

    QFont larger = editor.font();
    larger.setPointSize(22);
    editor.setFont(larger);
    ASSERT_GT(editor.CharWidth(), w);
    EXPECT_EQ(editor.ColWidths(5), 2 * editor.CharWidth());
    EXPECT_EQ(editor.ColWidths(0), 4 * editor.CharWidth() + 21);
}

TEST_F(EditorLayoutTest, GutterGrowsWithTheLargestOffset)
{
    load(256); // largest row offset F0h
    EXPECT_EQ(editor.GutterChars(), 5);
    load(272); // 100h
    EXPECT_EQ(editor.GutterChars(), 6);
    EXPECT_EQ(editor.FormatOffset(0x10), "0x010");
    editor.SetGutterWidth(0);
    EXPECT_EQ(editor.ColWidths(0), 0);
    EXPECT_EQ(ErrorOf([&] { editor.SetGutterWidth(-2); }),
              "Invalid gutter width -2, allowed: -1 (automatic) or 0 and more");
    editor.SetGutterWidth(-1);
    EXPECT_EQ(editor.ColWidths(0), 6 * editor.CharWidth() + 21);
}

TEST_F(EditorLayoutTest, RulerAndUnits)
{
    load(64);
    editor.SetShowRuler(true);
    EXPECT_EQ(editor.RowHeights(0), editor.CharHeight() + 3);
    editor.SetRulerNumberBase(17);
    EXPECT_EQ(editor.RulerNumberBase(), 16);
    editor.SetHexLowerCase(true);
    EXPECT_EQ(editor.CharRulerText(), "0123456789abcdef");
    EXPECT_STREQ(editor.HexDigitTable(), "0123456789abcdef");

    editor.SetSelection(1, 3);
    editor.SetBytesPerUnit(4);
    EXPECT_EQ(editor.SelCount(), 0) << "three bytes are no whole number of units";
    EXPECT_EQ(editor.CharRulerText(), "   0   1   2   3");
    const int w = editor.CharWidth();
    EXPECT_EQ(editor.ColWidths(38), (3 * w) / 2 + 1);
    editor.SetRulerBytesPerUnit(1);
    EXPECT_EQ(editor.ColWidths(38), w + 1);
    editor.SetBytesPerBlock(4);
    EXPECT_EQ(editor.ColWidths(9), 3 * w);
    EXPECT_EQ(editor.ColWidths(38), 2 * w + 1);
    editor.SetSeparateBlocksInCharField(false);
    EXPECT_EQ(editor.ColWidths(38), w + 1);
    EXPECT_EQ(ErrorOf([&] { editor.SetBytesPerUnit(5); }), "Invalid bytes per unit value 5, allowed: 1,2,4,8");
    EXPECT_EQ(editor.BytesPerUnit(), 4);
}

TEST_F(EditorLayoutTest, BytesPerRowKeepsCaretDigitAndSelection)
{
    load(100);
    ASSERT_TRUE(editor.MoveColRow(2 + 2 * 4 + 1, 3)); // second digit of byte 20
    editor.SetSelection(20, 30);
    editor.SetBytesPerRow(8);
    EXPECT_EQ(editor.ColCount(), 27);
    EXPECT_EQ(editor.Col(), 2 + 2 * 4 + 1);
    EXPECT_EQ(editor.Row(), 4);
    EXPECT_EQ(editor.SelFirst(), 20);
    EXPECT_EQ(editor.SelLast(), 30);
    EXPECT_EQ(editor.SelAnchor(), 20);
    EXPECT_EQ(ErrorOf([&] { editor.SetBytesPerRow(257); }), "Invalid bytes per line argument");
    EXPECT_EQ(editor.BytesPerRow(), 8);
}

TEST_F(EditorLayoutTest, PublishedPropertiesInSettingsOrder)
{
    const QStringList expected = {"ShowRuler", "BytesPerRow", "BytesPerColumn", "Translation", "OffsetFormat",
                                  "MaskChar", "GutterWidth", "MaxUndo", "InsertMode", "HexLowerCase",
                                  "BytesPerUnit", "RulerBytesPerUnit", "UnicodeChars", "UnicodeBigEndian",
                                  "BytesPerBlock", "SeparateBlocksInCharField", "FindProgress", "RulerNumberBase"};
    QStringList found;
    const QMetaObject* meta = editor.metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i)
        if (expected.contains(QLatin1String(meta->property(i).name())))
            found.append(QLatin1String(meta->property(i).name()));
    EXPECT_EQ(found, expected);

    ASSERT_TRUE(editor.setProperty("Translation", QStringLiteral("tkMac")));
    EXPECT_EQ(editor.Translation(), tkMac);
    editor.setProperty("MaskChar_AsInteger", 42);
    EXPECT_EQ(editor.property("MaskChar").toInt(), '*');
    editor.setProperty("MaskChar_AsInteger", QStringLiteral("x"));
    EXPECT_EQ(editor.MaskChar(), '.');
}
