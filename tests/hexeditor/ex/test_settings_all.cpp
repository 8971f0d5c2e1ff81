// Every listed setting: exported once, and carried over by an export and
// an import (the single repaint is tested in test_settings.cpp).

#include "ex_fixture.h"

#include "hexeditor/core/mphsettingstext.h"

#include <QSet>

namespace {

QStringList NamesIn(const QString& settingsText)
{
    QStringList names;
    for (const QString& line : SplitSettingsLines(settingsText))
        names.append(ParseSettingsLine(line).Name);
    return names;
}

// A value other than the default for every listed setting that can take
// one together with the others.
const char* const ChangedSettings =
    "ShowRuler=True\nDrawGutter3D=False\nCreateBackup=False\nBackupExtension=.old\nOleDragDrop=True\n"
    "ClipboardAsHexText=True\nFlushClipboardAtShutDown=True\nSupportsOtherClipFormats=False\n"
    "UseEditorFontForPrinting=False\nZoomOnWheel=False\nBytesPerRow=20\nBytesPerColumn=4\n"
    "Translation=tkBCD\nOffsetFormat=4!10:X|H\nCaretKind=ckBottom\nFocusFrame=False\nSwapNibbles=True\n"
    "MaskChar=42\nNoSizeChange=True\nAllowInsertMode=False\nDrawGridLines=True\nReadOnlyView=True\n"
    "HideSelection=True\nGraySelectionIfNotFocused=True\nGutterWidth=80\nMaxUndo=5000\n"
    "HexLowerCase=True\nColors.Background=1\nColors.ChangedBackground=2\nColors.ChangedText=3\n"
    "Colors.CursorFrame=4\nColors.NonFocusCursorFrame=5\nColors.Offset=6\nColors.OddColumn=7\n"
    "Colors.EvenColumn=8\nColors.CurrentOffsetBackground=9\nColors.OffsetBackGround=10\n"
    "Colors.CurrentOffset=11\nColors.ActiveFieldBackground=12\nColors.Grid=13\nPrintFont.Charset=0\n"
    "PrintFont.Color=255\nPrintFont.Name=Serif\nPrintFont.Size=8\nPrintFont.Style=fsItalic\n"
    "PrintOptions.MarginLeft=1\nPrintOptions.MarginTop=2\nPrintOptions.MarginRight=3\n"
    "PrintOptions.MarginBottom=4\nPrintOptions.PageHeader=%f\nPrintOptions.PageFooter=%p\n"
    "PrintOptions.Flags=pfCurrentViewOnly\nFont.Charset=2\nFont.Color=65280\nFont.Name=Sans\n"
    "Font.Size=13\nFont.Style=fsBold,fsUnderline\nBytesPerUnit=4\nRulerBytesPerUnit=2\n"
    "ShowPositionIfNotFocused=True\nUnicodeBigEndian=True\nBytesPerBlock=8\n"
    "SeparateBlocksInCharField=False\nFindProgress=True\nRulerNumberBase=8\n";

} // namespace

TEST_F(ExEditorTest, EveryListedSettingIsExportedExactlyOnce)
{
    const QStringList names = NamesIn(editor.GetSettingsText());
    QSet<QString> expected;
    for (const char* name : MPHPublicPropertyNames)
        expected.insert(QString::fromLatin1(name));
    EXPECT_EQ(names.size(), 67);
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()), expected);
}

TEST(SettingsRoundTrip, EveryListedSettingIsCarriedOverByExportAndImport)
{
    TMPHexEditorEx source;
    source.SetSettingsText(QString::fromLatin1(ChangedSettings));
    const QString exported = source.GetSettingsText();
    const QString defaults = TMPHexEditorEx().GetSettingsText();
    // Every line but InsertMode (off while insertion is not allowed) and
    // UnicodeChars differs from the defaults.
    const QStringList changed = SplitSettingsLines(exported);
    const QStringList plain = SplitSettingsLines(defaults);
    ASSERT_EQ(changed.size(), plain.size());
    int same = 0;
    for (qsizetype i = 0; i < changed.size(); ++i)
        same += changed[i] == plain[i] ? 1 : 0;
    EXPECT_EQ(same, 2);

    TMPHexEditorEx target;
    target.SetSettingsText(exported);
    EXPECT_EQ(target.GetSettingsText(), exported);
    EXPECT_EQ(target.PaintLockCount(), 0);
}
