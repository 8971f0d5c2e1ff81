// The editor's translation and unicode settings and their rules.
#include "error_of.h"
#include "editor_fixture.h"

namespace {

class EditorTranslationTest : public EditorTest
{
protected:
    void load(const QByteArray& bytes) { editor.LoadFromFile(writeFile(QStringLiteral("tr.bin"), bytes)); }
};

} // namespace

TEST_F(EditorTranslationTest, SettingsDriveTheConversions)
{
    EXPECT_EQ(editor.TranslateToDisplay(0x0A), '.');
    editor.SetTranslation(tkBCD);
    EXPECT_EQ(editor.TranslateToDisplay(0xC1), 'A');
    EXPECT_EQ(editor.TranslateFromInput('A'), 0xC1);
    editor.SetMaskChar('#');
    EXPECT_EQ(editor.TranslateToDisplay(0x25), '#');
    editor.SetMaskChar(0);
    EXPECT_EQ(editor.TranslateToDisplay(0x25), 0x0A);
    EXPECT_EQ(ErrorOf([&] { editor.SetMaskCharCode(256); }), "Invalid mask character code 256, allowed: 0..255");
    EXPECT_EQ(editor.MaskChar(), 0);
}

TEST_F(EditorTranslationTest, UnicodeRefusalsInOrderChangeNothing)
{
    load(QByteArray(5, 'a'));
    editor.SetBytesPerRow(15);
    editor.SetBytesPerColumn(3);
    EXPECT_EQ(ErrorOf([&] { editor.SetUnicodeChars(true); }), "Invalid bytes per line argument");
    editor.SetBytesPerRow(16);
    EXPECT_EQ(ErrorOf([&] { editor.SetUnicodeChars(true); }), "Invalid bytes per column argument");
    editor.SetBytesPerColumn(2);
    editor.SetTranslation(tkMac);
    EXPECT_EQ(ErrorOf([&] { editor.SetUnicodeChars(true); }), "Cannot use unicode mode with odd-sized files");
    EXPECT_FALSE(editor.UnicodeChars());
    EXPECT_EQ(editor.Translation(), tkMac);
    EXPECT_EQ(editor.BytesPerUnit(), 1);
    EXPECT_EQ(editor.ColCount(), 51);
}

TEST_F(EditorTranslationTest, UnicodeModeRoundTrip)
{
    load(QByteArray("\x41\x00\x0A\x00", 4));
    editor.SetTranslation(tkMac);
    editor.SetUnicodeChars(true);
    EXPECT_EQ(editor.Translation(), tkAsIs);
    EXPECT_EQ(editor.BytesPerUnit(), 2);
    EXPECT_EQ(editor.ColCount(), 43);
    EXPECT_EQ(editor.CharRulerText(), "01234567");
    EXPECT_EQ(editor.UnicodeCharAt(0), u'A');
    EXPECT_EQ(editor.UnicodeCharAt(2), u'.');
    editor.SetUnicodeBigEndian(true);
    EXPECT_EQ(editor.UnicodeCharAt(0), char16_t(0x4100));

    EXPECT_EQ(ErrorOf([&] { editor.SetTranslation(tkMac); }), "Translations cannot be used in unicode mode");
    EXPECT_EQ(ErrorOf([&] { editor.SetBytesPerUnit(4); }), "BytesPerUnit must be set to 2 in unicode mode");
    EXPECT_EQ(ErrorOf([&] { editor.SetBytesPerRow(15); }), "Invalid bytes per line argument");
    EXPECT_EQ(editor.Translation(), tkAsIs);

    editor.SetUnicodeChars(false);
    EXPECT_EQ(editor.Translation(), tkAsIs);
    EXPECT_EQ(editor.BytesPerUnit(), 1);
    EXPECT_EQ(editor.ColCount(), 51);
}

TEST_F(EditorTranslationTest, SwitchingUnicodeKeepsTheCaretOnItsByte)
{
    load(pattern(64));
    const TGridCoord cell = editor.CellAtPosition(22, true);
    ASSERT_TRUE(editor.MoveColRow(cell.X, cell.Y));
    editor.SetUnicodeChars(true);
    EXPECT_TRUE(editor.InCharField());
    EXPECT_EQ(editor.CaretPosition(), 22);
    editor.SetUnicodeChars(false);
    EXPECT_EQ(editor.CaretPosition(), 22);
}
