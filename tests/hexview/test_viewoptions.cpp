// The command line: values reach the struct, bad values are refused with the
// editor's own messages, all without a window.

#include "hexview/core/viewoptions.h"

#include <gtest/gtest.h>

using namespace hexview;

namespace {

TParsedCommandLine Parse(QStringList args)
{
    args.prepend(QStringLiteral("hexview"));
    return ParseViewCommandLine(args);
}

} // namespace

TEST(ViewOptions, NoArgumentsGiveTheEditorDefaultsAndNoFile)
{
    const TParsedCommandLine r = Parse({});
    ASSERT_EQ(r.Outcome, TParsedCommandLine::Run) << r.Text.toStdString();
    EXPECT_TRUE(r.Options.FileNames.isEmpty());
    EXPECT_FALSE(r.Options.BytesPerRow.has_value());
    EXPECT_FALSE(r.Options.Translation.has_value());
    EXPECT_FALSE(r.Options.Ruler);
    EXPECT_FALSE(r.Options.Unicode);
    EXPECT_FALSE(r.Options.ReadOnly);
    EXPECT_TRUE(r.Options.FirmwareOverlay);
}

TEST(ViewOptions, EveryOptionReachesTheStruct)
{
    const TParsedCommandLine r =
        Parse({"--bytes-per-row", "0x20", "--translation", "dos", "--offset-format", "-!10:0x|", "--ruler-base", "10",
               "--big-endian", "--read-only", "--select", "0x10-31", "--no-overlay", "image.bin"});
    ASSERT_EQ(r.Outcome, TParsedCommandLine::Run) << r.Text.toStdString();
    EXPECT_EQ(r.Options.FileNames, QStringList{"image.bin"});
    EXPECT_EQ(r.Options.BytesPerRow, 32);
    EXPECT_EQ(r.Options.Translation, tkDos8);
    EXPECT_EQ(r.Options.OffsetFormat, "-!10:0x|");
    EXPECT_EQ(r.Options.RulerBase, 10);
    EXPECT_TRUE(r.Options.Ruler) << "a ruler base shows the ruler";
    EXPECT_TRUE(r.Options.BigEndian);
    EXPECT_TRUE(r.Options.ReadOnly);
    EXPECT_EQ(r.Options.SelFirst, 16);
    EXPECT_EQ(r.Options.SelLast, 31);
    EXPECT_FALSE(r.Options.FirmwareOverlay);
}

TEST(ViewOptions, LayoutValuesAreCheckedWithTheEditorsMessages)
{
    struct Case {
        QStringList args;
        QString message;
    } cases[] = {
        {{"--bytes-per-row", "0"}, "Invalid bytes per line argument"},
        {{"--bytes-per-row", "-4"}, "Invalid bytes per line argument"},
        {{"--unicode", "--bytes-per-row", "15"}, ""}, // the editor's unicode rule, whatever its words
        {{"--unicode", "--translation", "MAC"}, "Translations cannot be used in unicode mode"},
        {{"--offset-format", "-!1G:"}, ""},
    };
    for (const Case& c : cases) {
        const TParsedCommandLine r = Parse(c.args);
        EXPECT_EQ(r.Outcome, TParsedCommandLine::Error) << c.args.join(' ').toStdString();
        if (!c.message.isEmpty())
            EXPECT_EQ(r.Text, c.message) << c.args.join(' ').toStdString();
        else
            EXPECT_FALSE(r.Text.isEmpty()) << c.args.join(' ').toStdString();
    }
    // Unicode mode with the as-is translation is fine.
    EXPECT_EQ(Parse({"--unicode", "--translation", "WIN"}).Outcome, TParsedCommandLine::Run);
}

TEST(ViewOptions, MalformedValuesAreNamedInTheError)
{
    for (const QStringList& args : {QStringList{"--bytes-per-row", "sixteen"}, QStringList{"--translation", "klingon"},
                                    QStringList{"--ruler-base", "17"}, QStringList{"--ruler-base", "1"},
                                    QStringList{"--select", "10"}, QStringList{"--select", "20-10"},
                                    QStringList{"--select", "-1-5"}, QStringList{"--bytes-per-row", "99999999999"}}) {
        const TParsedCommandLine r = Parse(args);
        EXPECT_EQ(r.Outcome, TParsedCommandLine::Error) << args.join(' ').toStdString();
        EXPECT_TRUE(r.Text.contains(args[1])) << r.Text.toStdString();
        EXPECT_TRUE(r.Text.contains(args[0])) << r.Text.toStdString();
    }
}

TEST(ViewOptions, UnknownOptionsAreErrorsAndSeveralFilesAreOpened)
{
    EXPECT_EQ(Parse({"--colour"}).Outcome, TParsedCommandLine::Error);
    EXPECT_EQ(Parse({"--bytes-per-row"}).Outcome, TParsedCommandLine::Error);
    const TParsedCommandLine two = Parse({"a.bin", "--ruler", "b.bin"});
    ASSERT_EQ(two.Outcome, TParsedCommandLine::Run) << two.Text.toStdString();
    EXPECT_EQ(two.Options.FileNames, (QStringList{"a.bin", "b.bin"})) << "in the order given";
    EXPECT_TRUE(two.Options.Ruler);
    // --diff still takes exactly two.
    EXPECT_EQ(Parse({"--diff", "a.bin", "b.bin", "c.bin"}).Outcome, TParsedCommandLine::Error);
}

TEST(ViewOptions, HelpListsTheOptionsAndVersionNamesTheProgram)
{
    const TParsedCommandLine help = Parse({"--help"});
    ASSERT_EQ(help.Outcome, TParsedCommandLine::ShowHelp);
    EXPECT_TRUE(help.Text.startsWith("Usage: hexview [options] [FILE...]")) << help.Text.toStdString();
    for (const char* option : {"--bytes-per-row", "--translation", "--offset-format", "--ruler", "--unicode",
                               "--big-endian", "--read-only", "--version"})
        EXPECT_TRUE(help.Text.contains(QLatin1String(option))) << option;
    const TParsedCommandLine version = Parse({"--version"});
    ASSERT_EQ(version.Outcome, TParsedCommandLine::ShowVersion);
    EXPECT_TRUE(version.Text.startsWith("hexview "));
}

TEST(ViewOptions, ToolkitOptionsAreLeftToTheToolkitAndListedInTheFullHelp)
{
    const TParsedCommandLine r = Parse({"-reverse", "-platform", "xcb", "--style=Fusion", "-qwindowgeometry",
                                        "900x600+0+0", "--ruler", "data.bin", "-stylesheet=a.qss"});
    ASSERT_EQ(r.Outcome, TParsedCommandLine::Run) << r.Text.toStdString();
    EXPECT_EQ(r.Options.FileNames, QStringList{QStringLiteral("data.bin")}) << "a toolkit option's value is not the file";
    EXPECT_TRUE(r.Options.Ruler);
    // After "--" everything is a file name, also what looks like an option.
    const TParsedCommandLine named = Parse({"--", "-reverse"});
    ASSERT_EQ(named.Outcome, TParsedCommandLine::Run) << named.Text.toStdString();
    EXPECT_EQ(named.Options.FileNames, QStringList{QStringLiteral("-reverse")});
    // Look-alikes of our own are still refused.
    EXPECT_EQ(Parse({"-rulers"}).Outcome, TParsedCommandLine::Error);

    const TParsedCommandLine all = Parse({"--help-all"});
    ASSERT_EQ(all.Outcome, TParsedCommandLine::ShowHelp);
    EXPECT_TRUE(all.Text.contains("--bytes-per-row"));
    EXPECT_TRUE(all.Text.contains("-reverse"));
    EXPECT_FALSE(Parse({"--help"}).Text.contains("-reverse")) << "the short help keeps to our own options";
}

TEST(ViewOptions, TranslationNamesInEveryForm)
{
    EXPECT_EQ(TranslationFromName("WIN"), tkAsIs);
    EXPECT_EQ(TranslationFromName("asc"), tkASCII);
    EXPECT_EQ(TranslationFromName("Macintosh"), tkMac);
    EXPECT_EQ(TranslationFromName("tkBCD"), tkBCD);
    EXPECT_EQ(TranslationFromName("cust"), tkCustom);
    EXPECT_FALSE(TranslationFromName("").has_value());
    EXPECT_FALSE(TranslationFromName("DOS8").has_value());
}

TEST(ViewOptions, SelectionRanges)
{
    int32_t first = -1, last = -1;
    EXPECT_TRUE(ParseSelectionRange("32-44", first, last));
    EXPECT_EQ(first, 32);
    EXPECT_EQ(last, 44);
    EXPECT_TRUE(ParseSelectionRange(" 0x30 - 0x3A ", first, last));
    EXPECT_EQ(first, 48);
    EXPECT_EQ(last, 58);
    EXPECT_TRUE(ParseSelectionRange("7-7", first, last));
    EXPECT_EQ(first, 7);
    EXPECT_EQ(last, 7);
    for (const char* bad : {"", "-", "5-", "a-b", "3-2", "1-2-3", "0-2147483648"})
        EXPECT_FALSE(ParseSelectionRange(QString::fromLatin1(bad), first, last)) << bad;
}
