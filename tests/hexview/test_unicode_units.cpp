// Unicode character mode: offsets, the status bar and Go to all count bytes;
// the character unit is named where characters are shown.

#include "window_fixture.h"

#include "hexview/core/statustexts.h"
#include "hexview/core/viewoptions.h"
#include "hexview/findactions.h"
#include "hexview/statusbar.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

using namespace hexview;

TEST(StatusTexts, UnicodeCharactersNameTheirUnit)
{
    TStatusValues v;
    v.InCharField = true;
    v.UnicodeChars = true;
    EXPECT_EQ(MakeStatusTexts(v).Field, "Char UTF-16LE (2 bytes)");
    v.BigEndian = true;
    EXPECT_EQ(MakeStatusTexts(v).Field, "Char UTF-16BE (2 bytes)");
    v.InCharField = false;
    EXPECT_EQ(MakeStatusTexts(v).Field, "Hex");
}

namespace {
class UnicodeUnitsTest : public HexViewWindowTest
{
protected:
    void openUnicode()
    {
        QByteArray bytes(64, '\0');
        for (int i = 0; i < 64; i += 2)
            bytes[i] = char('a' + i / 2 % 26);
        ASSERT_TRUE(window->OpenFile(files.Write("u16.bin", bytes)));
        window->findChild<QAction*>("actionUnicode")->trigger();
        ASSERT_TRUE(Editor().UnicodeChars()) << errors.join('\n').toStdString();
    }
};
} // namespace

TEST_F(UnicodeUnitsTest, OffsetsStatusAndGoToCountBytes)
{
    openUnicode();
    // The row of bytes 0x10-0x1F is labelled 0x10, not 0x08.
    EXPECT_EQ(Editor().OffsetToText(0x10), "0x10");
    EXPECT_EQ(Editor().OffsetToText(0x30), "0x30");

    TGotoDialog dialog(*window);
    dialog.Input()->setText("0x10");
    dialog.accept();
    EXPECT_EQ(dialog.Target(), 0x10);
    GoToPosition(*window, dialog.Target());
    EXPECT_EQ(Editor().CaretPosition(), 0x10);
    EXPECT_EQ(window->StatusFields().Offset()->text(), "Offset 0x10 (16)");

    Editor().SetInCharField(true);
    emit window->SelectionChanged();
    EXPECT_EQ(window->StatusFields().Field()->text(), "Char UTF-16LE (2 bytes)");
}

TEST_F(UnicodeUnitsTest, TheCommandLineSwitchCountsBytesToo)
{
    TViewOptions options;
    options.Unicode = true;
    options.FileNames = {files.Write("u16.bin", QByteArray(48, 'x'))};
    ASSERT_TRUE(window->ApplyOptions(options)) << errors.join('\n').toStdString();
    EXPECT_TRUE(Editor().UnicodeChars());
    EXPECT_EQ(Editor().BytesPerColumn(), 2);
    EXPECT_EQ(Editor().OffsetToText(0x20), "0x20");
}
