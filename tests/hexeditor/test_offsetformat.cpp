// Offset format: number conversions, the format parser and offset texts.
#include "error_of.h"
#include "hexeditor/core/mphoffsetformat.h"

#include <gtest/gtest.h>

namespace {

TMPHOffsetFormat Parsed(const QString& text, TMPHOffsetUnitSources sources = {})
{
    TMPHOffsetFormat format;
    ParseOffsetFormat(format, text, sources);
    return format;
}

} // namespace

TEST(OffsetFormat, NumberConversions)
{
    EXPECT_EQ(IntToRadix(0, 16, 0), "0");
    EXPECT_EQ(IntToRadix(0xABCDEF, 16, 8), "00ABCDEF");
    EXPECT_EQ(IntToRadix(12345, 10, 2), "12345");
    EXPECT_EQ(IntToRadix(0xFFFFFFFFu, 2, 0), QString(32, QLatin1Char('1')));
    EXPECT_EQ(IntToRadix(255, 1, 0), "FF"); // no number text in radix 1: hexadecimal, no endless loop

    EXPECT_EQ(RadixToInt("1a", 16), 26);
    EXPECT_EQ(RadixToInt("", 16), 0);
    EXPECT_EQ(RadixToInt("100000002", 16), 2); // 32-bit arithmetic
    EXPECT_EQ(ErrorOf([] { RadixToInt("12", 2); }), "Invalid character 2, cannot convert using radix 2h");
    EXPECT_EQ(ErrorOf([] { RadixToInt("1G", 16); }), "Invalid character G, cannot convert using radix 10h");
    // The text is upper-cased before it is read: the refusal names the upper-case character.
    EXPECT_EQ(ErrorOf([] { RadixToInt("9a", 10); }), "Invalid character A, cannot convert using radix Ah");
    EXPECT_EQ(ErrorOf([] { RadixToInt("1g", 16); }), "Invalid character G, cannot convert using radix 10h");
}

TEST(OffsetFormat, WorkedExamples)
{
    TMPHOffsetFormat standard = Parsed("-!10:0x|");
    EXPECT_EQ(standard.Flags, ofAutoDigits | ofUnitFromRuler);
    // 65,536 bytes at 16 per row: largest row offset FFF0h, four digits.
    UpdateAutoDigits(standard, LargestShownOffset(4096 + 2, 16));
    EXPECT_EQ(FormatOffsetText(standard, 0x1234, false), "0x1234");
    EXPECT_EQ(FormatOffsetText(standard, 0x10, false), "0x0010");
    UpdateAutoDigits(standard, LargestShownOffset(3, 16)); // empty data
    EXPECT_EQ(FormatOffsetText(standard, 0, false), "0x0");

    const struct
    {
        const char* format;
        uint32_t offset;
        bool lower;
        QString text;
    } cases[] = {
        {"10:|h", 0x1234, false, "1234h"},       {"10:|h", 0, false, "0h"},
        {"4!A:|", 0x1234, false, "4660"},        {"4!A:|", 5, false, "0005"},
        {"2%8!10:|", 0x1234, false, "0000091A"}, {"2%8!10:|", 0x1234, true, "0000091a"},
        {"0!10:|", 0, false, ""},                {"0!10:|", 0x1F, false, "1F"},
        {"4!10:Ab|Cd", 0xFF, true, "Ab00ffCd"},  {"-!a:|", 99, false, "99"},
        {"102:|", 5, false, "101"},              {"104%10:|", 0x40, false, "10"},
        {"10:a-!%|b|c", 1, false, "a-!%1b|c"},   {"FFF!10:|", 0, false, QString(255, u'0')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatOffsetText(Parsed(c.format), c.offset, c.lower), c.text) << c.format;
}

TEST(OffsetFormat, RefusedFormatsWithTheirArguments)
{
    const std::pair<const char*, const char*> cases[] = {
        {"-!10:0x", "Missing char in offset format: |"},
        {"-!:0x|", "Missing char in offset format: number radix"},
        {"-!10-0x|", "Missing char in offset format: :"},
        {"-!11:0x|", "Invalid radix in offset format (11h), allowed: 02h..10h"},
        {"1:|", "Invalid radix in offset format (1h), allowed: 02h..10h"},
        {"3%-!10:|", "Invalid bytes per unit value 3, allowed: 1,2,4,8"},
        {"R%-!10:|", "Invalid bytes per unit value 16, allowed: 1,2,4,8"}, // BytesPerRow 16
    };
    for (auto [format, message] : cases)
        EXPECT_EQ(ErrorOf([&] { Parsed(format); }), message) << format;

    // The accepted text stays in the record.
    TMPHOffsetFormat format = Parsed("4!A:<|>");
    EXPECT_THROW(ParseOffsetFormat(format, "-!11:0x|", {}), EMPHexEditor);
    EXPECT_EQ(format.Format, "4!A:<|>");
}

TEST(OffsetFormat, UnitFollowsLayoutValues)
{
    TMPHOffsetFormat column = Parsed("c%10:|", {16, 2, 1});
    EXPECT_EQ(column.Flags, ofUnitFromColumn);
    FollowBytesPerColumn(column, 4);
    FollowBytesPerRow(column, 8); // not followed
    FollowRulerUnit(column, 1);   // not followed
    EXPECT_EQ(FormatOffsetText(column, 0x10, false), "4");

    TMPHOffsetFormat ruler = Parsed("%10:|", {16, 2, 8});
    EXPECT_EQ(ruler.UnitSize, 8);
    FollowRulerUnit(ruler, 4);
    EXPECT_EQ(FormatOffsetText(ruler, 0x10, false), "4");

    // Following skips the 1/2/4/8 check; 256 keeps its low 8 bits (0), and a
    // unit of 0 divides by 1 instead of failing.
    TMPHOffsetFormat row = Parsed("r%10:|", {8, 2, 1});
    FollowBytesPerRow(row, 12);
    EXPECT_EQ(FormatOffsetText(row, 0x30, false), "4");
    FollowBytesPerRow(row, 256);
    EXPECT_EQ(FormatOffsetText(row, 0x30, false), "30");
    row.Flags |= ofAutoDigits;
    UpdateAutoDigits(row, 0x1000);
    EXPECT_EQ(row.MinDigits, 4);

    TMPHOffsetFormat fixed = Parsed("2%10:|");
    FollowRulerUnit(fixed, 8);
    EXPECT_EQ(fixed.UnitSize, 2);
}
