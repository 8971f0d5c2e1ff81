// The editor's offset format property and the OnGetOffsetText event.
#include "error_of.h"
#include "editor_fixture.h"

using EditorOffsetsTest = EditorTest;

TEST_F(EditorOffsetsTest, RefusedFormatKeepsThePreviousOne)
{
    EXPECT_EQ(editor.OffsetFormat(), "-!10:0x|");
    EXPECT_EQ(editor.FormatOffset(0), "0x0");
    EXPECT_EQ(ErrorOf([&] { editor.SetOffsetFormat("-!11:0x|"); }),
              "Invalid radix in offset format (11h), allowed: 02h..10h");
    EXPECT_EQ(editor.OffsetFormat(), "-!10:0x|");
    EXPECT_EQ(editor.FormatOffset(0x1234), "0x1234");

    // The previous format follows BytesPerRow, which has moved on to 16 since
    // it was accepted: a refusal must still leave it working.
    editor.SetBytesPerRow(4);
    editor.SetOffsetFormat("R%10:|");
    editor.SetBytesPerRow(16);
    EXPECT_EQ(ErrorOf([&] { editor.SetOffsetFormat("10"); }), "Missing char in offset format: :");
    EXPECT_EQ(editor.OffsetFormat(), "R%10:|");
    EXPECT_EQ(editor.FormatOffset(0x40), "4");
}

TEST_F(EditorOffsetsTest, EmptyFormatAndLowerCase)
{
    editor.SetOffsetFormat("");
    EXPECT_EQ(editor.FormatOffset(0x1234), "");
    EXPECT_EQ(editor.OffsetToText(0x1234), "1234");
    EXPECT_EQ(editor.GutterChars(), 1);
    editor.SetOffsetFormat("4!10:X|H");
    editor.SetHexLowerCase(true);
    EXPECT_EQ(editor.FormatOffset(0xAB), "X00abH");
    EXPECT_EQ(editor.OffsetToText(0xAB), "X00abH");
}

TEST_F(EditorOffsetsTest, HandlerTextAndReentrancy)
{
    editor.LoadFromFile(writeFile(QStringLiteral("o.bin"), pattern(64)));
    std::vector<std::pair<int64_t, bool>> calls;
    QString inner;
    editor.OnGetOffsetText = [&](QObject* sender, int64_t number, QString& text) {
        EXPECT_EQ(sender, &editor);
        calls.emplace_back(number, editor.IsMaxOffset());
        inner = editor.FormatOffset(uint32_t(number)); // not re-entered: the format's text
        text = QStringLiteral("row %1").arg(number);
    };
    EXPECT_EQ(editor.FormatOffset(16), "row 16");
    EXPECT_EQ(inner, "0x10");
    editor.UpdateGutterWidth();
    EXPECT_EQ(editor.GutterChars(), 7); // "row 48" and one more
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], std::make_pair(int64_t(16), false));
    EXPECT_EQ(calls[1], std::make_pair(int64_t(48), true));
    EXPECT_FALSE(editor.IsMaxOffset());

    // A failing handler leaves the mark clear: the next call asks it again.
    editor.OnGetOffsetText = [&](QObject*, int64_t, QString&) { throw EMPHexEditor(QStringLiteral("boom")); };
    EXPECT_THROW(editor.FormatOffset(0), EMPHexEditor);
    editor.OnGetOffsetText = [&](QObject*, int64_t, QString& text) { text = QStringLiteral("again"); };
    EXPECT_EQ(editor.FormatOffset(0), "again");
}
