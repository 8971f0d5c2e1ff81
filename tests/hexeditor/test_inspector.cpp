// The data inspector's conversions in both byte orders and back.

#include "error_of.h"
#include "hexeditor/core/mphinspector.h"

#include <gtest/gtest.h>

namespace {

using K = TMPHValueKind;

QString Text(K kind, const QByteArray& bytes, bool bigEndian)
{
    return ValueText(kind, reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size(), bigEndian);
}

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

} // namespace

TEST(InspectorTest, IntegersInBothByteOrders)
{
    const QByteArray b = Hex("FEFF3412785634120000000080");
    EXPECT_EQ(Text(K::Int8, b, false), "-2");
    EXPECT_EQ(Text(K::UInt8, b, true), "254");
    EXPECT_EQ(Text(K::Int16, b, false), "-2");      // FFFE
    EXPECT_EQ(Text(K::Int16, b, true), "-257");     // FEFF
    EXPECT_EQ(Text(K::UInt16, b, false), "65534");
    EXPECT_EQ(Text(K::UInt16, b, true), "65279");
    EXPECT_EQ(Text(K::UInt32, b.mid(2), false), QString::number(0x56781234u));
    EXPECT_EQ(Text(K::UInt32, b.mid(2), true), QString::number(0x34127856u));
    EXPECT_EQ(Text(K::Int32, Hex("00000080"), false), "-2147483648");
    EXPECT_EQ(Text(K::Int32, Hex("00000080"), true), "128");
    EXPECT_EQ(Text(K::UInt64, Hex("0100000000000080"), false), "9223372036854775809");
    EXPECT_EQ(Text(K::Int64, Hex("0100000000000080"), false), "-9223372036854775807");
    EXPECT_EQ(Text(K::Int64, Hex("0100000000000080"), true), "72057594037928064");
    EXPECT_EQ(Text(K::Binary, Hex("A5"), false), "10100101");
}

TEST(InspectorTest, TooFewBytesShowNothing)
{
    EXPECT_EQ(Text(K::Int16, Hex("01"), false), QString());
    EXPECT_EQ(Text(K::Double, Hex("01020304050607"), true), QString());
    EXPECT_EQ(Text(K::UInt8, QByteArray(), false), QString());
    EXPECT_EQ(ValueLengthAt(K::Int64, reinterpret_cast<const uint8_t*>("1234567"), 7), 0);
}

TEST(InspectorTest, FloatsAndTime)
{
    EXPECT_EQ(Text(K::Float, Hex("0000C03F"), false), "1.5");
    EXPECT_EQ(Text(K::Float, Hex("3FC00000"), true), "1.5");
    EXPECT_EQ(Text(K::Double, Hex("400921FB54442D18"), true), "3.1415926535897931");
    EXPECT_EQ(Text(K::Double, Hex("000000000000F07F"), false), "inf");
    EXPECT_EQ(Text(K::UnixTime32, Hex("00000000"), false), "1970-01-01 00:00:00 UTC");
    EXPECT_EQ(Text(K::UnixTime32, Hex("FFFFFF7F"), false), "2038-01-19 03:14:07 UTC");
    EXPECT_EQ(Text(K::UnixTime32, Hex("7FFFFFFF"), true), "2038-01-19 03:14:07 UTC");
    EXPECT_EQ(Text(K::UnixTime32, Hex("7FFFFFFF"), false), "1969-12-31 23:57:51 UTC"); // -129 s
    EXPECT_EQ(Text(K::UnixTime32, Hex("00000080"), false), "1901-12-13 20:45:52 UTC");
}

TEST(InspectorTest, Utf8Characters)
{
    EXPECT_EQ(Text(K::Utf8Char, Hex("41"), false), QStringLiteral("A  U+0041"));
    EXPECT_EQ(Text(K::Utf8Char, Hex("C3A9FF"), false), QString(QChar(0xE9)) + QStringLiteral("  U+00E9"));
    EXPECT_EQ(Text(K::Utf8Char, Hex("F09F9880"), false).right(7), QStringLiteral("U+1F600"));
    EXPECT_EQ(Text(K::Utf8Char, Hex("0A"), false), QStringLiteral("U+000A"));
    for (const char* bad : {"C3", "C328", "C0AF", "EDA080", "FF", "80"})
        EXPECT_EQ(Text(K::Utf8Char, Hex(bad), false), QStringLiteral("invalid UTF-8")) << bad;
    EXPECT_EQ(ValueLengthAt(K::Utf8Char, reinterpret_cast<const uint8_t*>("\xE2\x82\xAC"), 3), 3);
    EXPECT_EQ(ValueLengthAt(K::Utf8Char, reinterpret_cast<const uint8_t*>("\xE2\x82"), 2), 1);
}

TEST(InspectorTest, TypedValuesBecomeBytes)
{
    EXPECT_EQ(ValueBytes(K::Int16, "-2", false), Hex("FEFF"));
    EXPECT_EQ(ValueBytes(K::Int16, "-2", true), Hex("FFFE"));
    EXPECT_EQ(ValueBytes(K::UInt32, "0x12345678", true), Hex("12345678"));
    EXPECT_EQ(ValueBytes(K::UInt32, "305419896", false), Hex("78563412"));
    EXPECT_EQ(ValueBytes(K::Int8, "0xFF", false), Hex("FF")); // a hex bit pattern
    EXPECT_EQ(ValueBytes(K::Int8, "-128", false), Hex("80"));
    EXPECT_EQ(ValueBytes(K::Int64, "-9223372036854775808", true), Hex("8000000000000000"));
    EXPECT_EQ(ValueBytes(K::UInt64, "18446744073709551615", false), Hex("FFFFFFFFFFFFFFFF"));
    EXPECT_EQ(ValueBytes(K::Float, "1.5", true), Hex("3FC00000"));
    EXPECT_EQ(ValueBytes(K::Double, "-inf", false), Hex("000000000000F0FF"));
    EXPECT_EQ(ValueBytes(K::Utf8Char, QString(QChar(0xE9)), false), Hex("C3A9"));
    EXPECT_EQ(ValueBytes(K::Utf8Char, "U+20AC", false), Hex("E282AC"));
    EXPECT_EQ(ValueBytes(K::Utf8Char, " ", false), Hex("20"));
    EXPECT_EQ(ValueBytes(K::UnixTime32, "2038-01-19 03:14:07 UTC", false), Hex("FFFFFF7F"));
    EXPECT_EQ(ValueBytes(K::UnixTime32, "1970-01-02 00:00:00", true), Hex("00015180"));
    EXPECT_EQ(ValueBytes(K::UnixTime32, "-1", false), Hex("FFFFFFFF"));
    EXPECT_EQ(ValueBytes(K::Binary, "101", false), Hex("05"));
}

TEST(InspectorTest, ValuesThatDoNotFitAreRefused)
{
    EXPECT_EQ(ErrorOf([] { ValueBytes(K::Int8, "128", false); }), "128 does not fit into int8 (-128 to 127)");
    EXPECT_EQ(ErrorOf([] { ValueBytes(K::UInt8, "-1", false); }), "-1 does not fit into uint8 (0 to 255)");
    EXPECT_EQ(ErrorOf([] { ValueBytes(K::UInt16, "0x10000", false); }),
              "0x10000 does not fit into uint16 (0 to 65535)");
    EXPECT_EQ(ErrorOf([] { ValueBytes(K::Int8, "-129", false); }), "-129 does not fit into int8 (-128 to 127)");
    EXPECT_EQ(ErrorOf([] { ValueBytes(K::UInt64, "18446744073709551616", false); }),
              "\"18446744073709551616\" is not a valid uint64 value");
    EXPECT_EQ(ErrorOf([] { ValueBytes(K::Int32, "12abc", false); }), "\"12abc\" is not a valid int32 value");
    EXPECT_EQ(ErrorOf([] { ValueBytes(K::Int32, "", false); }), "\"\" is not a valid int32 value");
    EXPECT_EQ(ErrorOf([] { ValueBytes(K::Float, "1e40", false); }), "\"1e40\" is not a valid float value");
    EXPECT_EQ(ErrorOf([] { ValueBytes(K::Double, "1,5", false); }), "\"1,5\" is not a valid double value");
    EXPECT_EQ(ErrorOf([] { ValueBytes(K::Utf8Char, "ab", false); }), "Enter one character or U+ and its code point");
    EXPECT_EQ(ErrorOf([] { ValueBytes(K::Utf8Char, "U+D800", false); }),
              "Enter one character or U+ and its code point");
    EXPECT_TRUE(ErrorOf([] { ValueBytes(K::UnixTime32, "2038-01-19 03:14:08", false); })
                    .contains("outside the 32-bit time range"));
    EXPECT_TRUE(ErrorOf([] { ValueBytes(K::UnixTime32, "yesterday", false); }).contains("is not a time"));
    EXPECT_TRUE(ErrorOf([] { ValueBytes(K::Binary, "102", false); }).contains("is not a byte in binary"));
    EXPECT_TRUE(ErrorOf([] { ValueBytes(K::Binary, "100000000", false); }).contains("is not a byte in binary"));
}

TEST(InspectorTest, EveryKindRoundTripsThroughItsText)
{
    const QByteArray bytes = Hex("C3A9123456789ABCDE");
    for (int k = 0; k < ValueKindCount; ++k) {
        const K kind = K(k);
        for (const bool big : {false, true}) {
            const QString shown = Text(kind, bytes, big);
            const int len = ValueLengthAt(kind, reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size());
            const QString input = kind == K::Utf8Char ? shown.left(1) : shown;
            EXPECT_EQ(ValueBytes(kind, input, big), bytes.left(len)) << ValueKindName(kind).toStdString() << big;
        }
    }
}
