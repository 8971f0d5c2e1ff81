// Settings by name: export, import, the public list and the paint lock.

#include "ex_fixture.h"

#include "hexeditor/core/mphsettingstext.h"
#include "platform/core/exceptions.h"

#include <QApplication>
#include <QPainter>

namespace {

QStringList NamesOf(const QString& settingsText)
{
    QStringList names;
    for (const QString& line : SplitSettingsLines(settingsText))
        names.append(ParseSettingsLine(line).Name);
    return names;
}

QString ValueOf(const QString& settingsText, const QString& name)
{
    for (const QString& line : SplitSettingsLines(settingsText)) {
        const TMPHSettingsLine parsed = ParseSettingsLine(line);
        if (parsed.Name == name)
            return parsed.Value;
    }
    return QStringLiteral("<absent>");
}

template <typename F>
QString MessageOf(F&& call)
{
    try {
        call();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

// The settings in the order the editor declares them: its own first, then
// those of the plain editor, then its font.
const QStringList DeclaredOrder = {
    "CreateBackup", "BackupExtension", "OleDragDrop", "ClipboardAsHexText",
    "FlushClipboardAtShutDown", "SupportsOtherClipFormats",
    "PrintOptions.MarginLeft", "PrintOptions.MarginTop", "PrintOptions.MarginRight",
    "PrintOptions.MarginBottom", "PrintOptions.PageHeader", "PrintOptions.PageFooter",
    "PrintOptions.Flags",
    "PrintFont.Charset", "PrintFont.Color", "PrintFont.Name", "PrintFont.Size", "PrintFont.Style",
    "UseEditorFontForPrinting", "ZoomOnWheel",
    "ShowRuler", "BytesPerRow", "BytesPerColumn", "Translation", "OffsetFormat", "MaskChar",
    "GutterWidth", "SwapNibbles", "MaxUndo", "InsertMode", "HexLowerCase", "BytesPerUnit",
    "RulerBytesPerUnit", "UnicodeChars", "UnicodeBigEndian", "BytesPerBlock",
    "SeparateBlocksInCharField", "FindProgress", "RulerNumberBase",
    "Font.Charset", "Font.Color", "Font.Name", "Font.Size", "Font.Style",
};

// Counts the painting passes that reach the editor's cells (the first data
// cell is drawn once per pass).
class PaintCountingEditor : public TMPHexEditorEx
{
public:
    PaintCountingEditor()
    {
        OnDrawCell = [this](QObject*, QPainter*, int col, int row, QString&, const QRect&, bool&) {
            if (col == 2 && row == 2)
                ++passes;
        };
    }
    int passes = 0;
};

} // namespace

TEST_F(ExEditorTest, DefaultExportHasTheDocumentedLines)
{
    const QString text = editor.GetSettingsText();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")));
    for (const char* line : {"CreateBackup=True", "BackupExtension=.bak", "ZoomOnWheel=True",
                             "PrintOptions.MarginLeft=20", "PrintOptions.Flags=pfSelectionBold,pfMonochrome",
                             "UseEditorFontForPrinting=True", "BytesPerRow=16", "Translation=tkAsIs",
                             "MaskChar=46", "PrintOptions.PageHeader=", "Font.Style="}) {
        EXPECT_TRUE(SplitSettingsLines(text).contains(QString::fromLatin1(line))) << line;
    }
    EXPECT_EQ(ValueOf(text, QStringLiteral("Font.Name")), editor.font().family());
    EXPECT_EQ(ValueOf(text, QStringLiteral("Font.Size")), QString::number(editor.font().pointSize()));
}

TEST_F(ExEditorTest, ExportListsOnlyListedNamesOnceInDeclarationOrder)
{
    const QStringList names = NamesOf(editor.GetSettingsText());
    for (const QString& name : names)
        EXPECT_TRUE(IsListedPropertyName(name)) << name.toStdString();
    EXPECT_EQ(names.size(), QSet<QString>(names.begin(), names.end()).size());
    // Every name the editor declares today, in this order; settings that
    // other parts of the editor declare may stand between them.
    qsizetype at = 0;
    for (const QString& expected : DeclaredOrder) {
        const qsizetype found = names.indexOf(expected, at);
        ASSERT_GE(found, 0) << expected.toStdString() << " missing or out of order";
        at = found + 1;
    }
    EXPECT_FALSE(names.contains(QStringLiteral("Version")));
    EXPECT_FALSE(names.contains(QStringLiteral("MaskChar_AsInteger")));
    EXPECT_FALSE(names.contains(QStringLiteral("BookmarkBitmap")));
}

TEST_F(ExEditorTest, ImportSetsValuesThroughTheSetters)
{
    editor.SetSettingsText(QStringLiteral("bytesperrow=8\r\nTRANSLATION=TKMAC\nprintoptions.flags=PFSELECTIONONLY,pfIncludeRuler\r"
                                          "PrintOptions.PageHeader=Page %p of %f\n"
                                          "MaskChar=65\nFont.Size=20\nfont.style=fsItalic,fsBold\n"
                                          "PrintFont.Name=Serif\nCreateBackup=false\nBackupExtension=.old"));
    EXPECT_EQ(editor.BytesPerRow(), 8);
    EXPECT_EQ(editor.ColCount(), 3 * 8 + 3);
    EXPECT_EQ(editor.Translation(), tkMac);
    EXPECT_EQ(editor.PrintOptions()->Flags(), pfSelectionOnly | pfIncludeRuler);
    EXPECT_EQ(editor.PrintOptions()->PageHeader(), QStringLiteral("Page %p of %f"));
    EXPECT_EQ(editor.MaskChar(), 'A');
    EXPECT_EQ(editor.font().pointSize(), 20);
    EXPECT_TRUE(editor.font().bold());
    EXPECT_TRUE(editor.font().italic());
    EXPECT_EQ(editor.PrintFont()->Name(), QStringLiteral("Serif"));
    EXPECT_TRUE(editor.UseEditorFontForPrinting());
    EXPECT_FALSE(editor.CreateBackup());
    EXPECT_EQ(editor.BackupExtension(), QStringLiteral(".old"));
}

TEST_F(ExEditorTest, UnlistedBlankAndMalformedLinesAreSkipped)
{
    const QString before = editor.GetSettingsText();
    EXPECT_EQ(MessageOf([&] {
                  editor.SetSettingsText(QStringLiteral("Align=alClient\n\nno equals sign\n=5\nVersion=x\n"
                                                        "Visible=False\nMaskChar_AsInteger=65\nColors=1\n"
                                                        "PrintOptions=1\nFont.Pitch=fpFixed\nBytesPerRow 8\n"));
              }),
              QStringLiteral("<no error>"));
    EXPECT_EQ(editor.GetSettingsText(), before);
    EXPECT_EQ(editor.MaskChar(), '.');
}

TEST_F(ExEditorTest, FailingLineStopsTheImportAfterTheLinesBeforeIt)
{
    const QString text = QStringLiteral("BytesPerRow=8\nBytesPerUnit=3\nBytesPerColumn=4\n");
    EXPECT_EQ(MessageOf([&] { editor.SetSettingsText(text); }),
              QStringLiteral("Invalid bytes per unit value 3, allowed: 1,2,4,8"));
    EXPECT_EQ(editor.BytesPerRow(), 8);
    EXPECT_EQ(editor.BytesPerUnit(), 1);
    EXPECT_EQ(editor.BytesPerColumn(), 2);
    EXPECT_EQ(editor.PaintLockCount(), 0);
}

TEST_F(ExEditorTest, ValuesThatDoNotConvertRaiseTheConversionError)
{
    bool convertError = false;
    try {
        editor.SetSettingsText(QStringLiteral("ShowRuler=True\nTranslation=tkKlingon\nHexLowerCase=True"));
    } catch (const EConvertError& e) {
        convertError = true;
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid value \"tkKlingon\" for the setting Translation"));
    }
    EXPECT_TRUE(convertError);
    EXPECT_TRUE(editor.ShowRuler());
    EXPECT_EQ(editor.Translation(), tkAsIs);
    EXPECT_FALSE(editor.HexLowerCase());
    EXPECT_EQ(editor.PaintLockCount(), 0);

    EXPECT_EQ(MessageOf([&] { editor.SetSettingsText(QStringLiteral("MaxUndo=lots")); }),
              QStringLiteral("Invalid value \"lots\" for the setting MaxUndo"));
    EXPECT_EQ(MessageOf([&] { editor.SetSettingsText(QStringLiteral("MaskChar=300")); }),
              QStringLiteral("Invalid mask character code 300, allowed: 0..255"));
    EXPECT_EQ(editor.MaskChar(), '.');
}

TEST_F(ExEditorTest, QueryHandlerCanHideANameInBothDirectionsButAddNone)
{
    QStringList asked;
    editor.OnQueryPublicProperty = [&](QObject* sender, const QString& name, bool& isPublic) {
        EXPECT_EQ(sender, &editor);
        EXPECT_TRUE(isPublic);
        asked.append(name);
        if (name.compare(QStringLiteral("Font.Name"), Qt::CaseInsensitive) == 0)
            isPublic = false;
        if (name == QStringLiteral("Align"))
            isPublic = true;
    };
    const QString text = editor.GetSettingsText();
    EXPECT_FALSE(NamesOf(text).contains(QStringLiteral("Font.Name")));
    EXPECT_TRUE(NamesOf(text).contains(QStringLiteral("Font.Size")));
    EXPECT_FALSE(asked.contains(QStringLiteral("Version")));

    const QString family = editor.font().family();
    editor.SetSettingsText(QStringLiteral("font.name=Serif\nFont.Size=17\nAlign=alClient"));
    EXPECT_EQ(editor.font().family(), family);
    EXPECT_EQ(editor.font().pointSize(), 17);
    EXPECT_FALSE(asked.contains(QStringLiteral("Align")));
    EXPECT_FALSE(editor.IsPublicProperty(QStringLiteral("Align")));
    EXPECT_TRUE(editor.IsPublicProperty(QStringLiteral("font.size")));
}

TEST_F(ExEditorTest, ExportImportRoundTripRestoresChangedSettings)
{
    TTestEditorEx source;
    source.SetSettingsText(QStringLiteral(
        "CreateBackup=False\nBackupExtension=.prev\nOleDragDrop=True\nClipboardAsHexText=True\n"
        "FlushClipboardAtShutDown=True\nSupportsOtherClipFormats=False\nZoomOnWheel=False\n"
        "PrintOptions.MarginLeft=5\nPrintOptions.MarginTop=6\nPrintOptions.MarginRight=7\n"
        "PrintOptions.MarginBottom=8\nPrintOptions.PageHeader=H %f\nPrintOptions.PageFooter=F %p\n"
        "PrintOptions.Flags=pfSelectionOnly,pfUseBackgroundColor,pfCurrentViewOnly\n"
        "PrintFont.Charset=0\nPrintFont.Color=255\nPrintFont.Size=9\nPrintFont.Style=fsUnderline\n"
        "ShowRuler=True\nBytesPerRow=24\nBytesPerColumn=4\nTranslation=tkDos8\nOffsetFormat=4!10:X|H\n"
        "MaskChar=42\nGutterWidth=90\nSwapNibbles=True\nMaxUndo=4096\nHexLowerCase=True\n"
        "BytesPerUnit=2\nRulerBytesPerUnit=4\nBytesPerBlock=8\nSeparateBlocksInCharField=False\n"
        "FindProgress=True\nRulerNumberBase=10\nFont.Size=13\nFont.Style=fsBold\nFont.Color=128\n"
        "UseEditorFontForPrinting=False\n"));
    const QString exported = source.GetSettingsText();
    EXPECT_EQ(ValueOf(exported, QStringLiteral("UseEditorFontForPrinting")), QStringLiteral("False"));
    EXPECT_EQ(ValueOf(exported, QStringLiteral("OffsetFormat")), QStringLiteral("4!10:X|H"));

    editor.SetSettingsText(exported);
    EXPECT_EQ(editor.GetSettingsText(), exported);
    EXPECT_EQ(editor.BytesPerRow(), 24);
    EXPECT_EQ(editor.PrintFont()->Size(), 9);
    EXPECT_NE(editor.GetSettingsText(), TMPHexEditorEx().GetSettingsText());
}

TEST_F(ExEditorTest, SettingsFromOutsideUnicodeModeImportIntoAnEditorInIt)
{
    TTestEditorEx source;
    source.SetSettingsText(QStringLiteral("BytesPerRow=20\nTranslation=tkDos8\n"));
    const QString plain = source.GetSettingsText();
    ASSERT_EQ(ValueOf(plain, QStringLiteral("UnicodeChars")), QStringLiteral("False"));
    ASSERT_EQ(ValueOf(plain, QStringLiteral("BytesPerUnit")), QStringLiteral("1"));

    editor.SetUnicodeChars(true);
    ASSERT_EQ(editor.BytesPerUnit(), 2);
    editor.SetSettingsText(plain);
    EXPECT_FALSE(editor.UnicodeChars());
    EXPECT_EQ(editor.BytesPerUnit(), 1);
    EXPECT_EQ(editor.Translation(), tkDos8);
    EXPECT_EQ(editor.GetSettingsText(), plain);

    // And back: the unicode settings go in in their own order.
    source.SetUnicodeChars(true);
    const QString unicode = source.GetSettingsText();
    editor.SetSettingsText(unicode);
    EXPECT_TRUE(editor.UnicodeChars());
    EXPECT_EQ(editor.GetSettingsText(), unicode);
}

TEST(SettingsPaintLock, ImportRepaintsOnceAtTheEnd)
{
    PaintCountingEditor editor;
    editor.Loaded();
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("data.bin")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(256, 'x'));
    file.close();
    editor.LoadFromFile(file.fileName());
    editor.resize(600, 300);
    editor.show();
    QApplication::processEvents();
    editor.passes = 0;

    editor.LockPaint();
    editor.viewport()->repaint();
    EXPECT_EQ(editor.passes, 0);
    editor.LockPaint();
    editor.UnlockPaint();
    editor.viewport()->repaint();
    EXPECT_EQ(editor.passes, 0);
    editor.UnlockPaint();
    editor.UnlockPaint(); // never below zero
    EXPECT_EQ(editor.PaintLockCount(), 0);
    QApplication::processEvents();
    EXPECT_EQ(editor.passes, 1);

    editor.passes = 0;
    TMPHexEditorEx other;
    // DrawGutter3D repaints at once when it changes: the lock holds that back too.
    other.SetSettingsText(QStringLiteral("ShowRuler=True\nBytesPerRow=8\nHexLowerCase=True\nFont.Size=14\n"
                                         "DrawGutter3D=False\nColors.Background=255\nCaretKind=ckFull"));
    editor.SetSettingsText(other.GetSettingsText());
    EXPECT_EQ(editor.passes, 0);
    QApplication::processEvents();
    EXPECT_EQ(editor.passes, 1);
    EXPECT_EQ(editor.GetSettingsText(), other.GetSettingsText());
}

TEST_F(ExEditorTest, ColoursAndPaintingSettingsByName)
{
    editor.SetSettingsText(QStringLiteral("colors.background=255\nCOLORS.GRID=65280\nCaretKind=CKLEFT\n"
                                          "DrawGridLines=True\nFocusFrame=False"));
    EXPECT_EQ(editor.Colors()->Background(), 255u);
    EXPECT_EQ(editor.Colors()->Grid(), 65280u);
    EXPECT_EQ(editor.CaretKind(), ckLeft);
    EXPECT_TRUE(editor.DrawGridLines());
    EXPECT_FALSE(editor.FocusFrame());
    const QString text = editor.GetSettingsText();
    EXPECT_EQ(ValueOf(text, QStringLiteral("Colors.Background")), QStringLiteral("255"));
    EXPECT_EQ(ValueOf(text, QStringLiteral("CaretKind")), QStringLiteral("ckLeft"));
    // System colours keep their index form.
    EXPECT_EQ(ValueOf(TMPHexEditorEx().GetSettingsText(), QStringLiteral("Colors.ActiveFieldBackground")),
              QString::number(0xFF000005u));
    EXPECT_EQ(MessageOf([&] { editor.SetSettingsText(QStringLiteral("Colors.Offset=-1")); }),
              QStringLiteral("Invalid value \"-1\" for the setting Colors.Offset"));
}
