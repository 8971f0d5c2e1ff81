// Runs of printable text in binary data, ASCII and UTF-16LE.

#include "hexeditor/core/mphexception.h"
#include "hexeditor/core/mphstrings.h"

#include <gtest/gtest.h>

namespace {

std::vector<TMPHStringRun> Find(const QByteArray& data, int minLength = 4, bool ascii = true, bool utf16 = true)
{
    return FindStrings(reinterpret_cast<const uint8_t*>(data.constData()), data.size(), minLength, ascii, utf16);
}

TMPHStringRun Ascii(int64_t offset, const char* text)
{
    return TMPHStringRun{offset, int64_t(qstrlen(text)), TMPHStringEncoding::Ascii, QString::fromLatin1(text)};
}

TMPHStringRun Wide(int64_t offset, const char* text)
{
    return TMPHStringRun{offset, 2 * int64_t(qstrlen(text)), TMPHStringEncoding::Utf16Le, QString::fromLatin1(text)};
}

QByteArray Utf16(const char* text)
{
    QByteArray out;
    for (const char* p = text; *p; ++p)
        out.append(*p).append('\0');
    return out;
}

} // namespace

TEST(Strings, MinimumLengthIsInclusiveAndRunsAtTheEndCount)
{
    const QByteArray data = QByteArray("abc\x01", 4) + "abcd" + QByteArray(1, '\xff') + "xy\tz";
    const std::vector<TMPHStringRun> runs = Find(data);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], Ascii(4, "abcd")); // exactly four
    EXPECT_EQ(runs[1], Ascii(9, "xy\tz")); // ends with the data, tab counts
    EXPECT_TRUE(Find(data, 5).empty());
    EXPECT_EQ(Find(data, 1).size(), 3u);
}

TEST(Strings, Utf16AtEvenAndOddOffsets)
{
    const QByteArray data = QByteArray("\x01", 1) + Utf16("Boot") + QByteArray("\x02\x03", 2) + Utf16("Zelq");
    // "Boot" starts at the odd offset 1, "Zelq" at 11.
    const std::vector<TMPHStringRun> runs = Find(data);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], Wide(1, "Boot"));
    EXPECT_EQ(runs[1], Wide(11, "Zelq"));
    EXPECT_TRUE(Find(data, 4, true, false).empty()); // ASCII only finds nothing
    // A last character whose zero byte is missing does not count.
    EXPECT_TRUE(Find(Utf16("Zelq").chopped(1)).empty());
}

TEST(Strings, SlicesFindWhatOneScanFinds)
{
    QByteArray data;
    for (int i = 0; i < 50; ++i)
        data += QByteArray("firmware-") + QByteArray::number(i) + QByteArray(i % 3 + 1, '\0') + Utf16("wide text")
                + QByteArray(i % 2 + 1, '\x90');
    const std::vector<TMPHStringRun> whole = Find(data);
    for (int64_t slice : {1, 2, 3, 17}) {
        TMPHStringScanner scanner(data.size());
        std::vector<TMPHStringRun> runs;
        while (!scanner.Step(reinterpret_cast<const uint8_t*>(data.constData()), slice, runs))
            ;
        std::stable_sort(runs.begin(), runs.end(), [](const TMPHStringRun& a, const TMPHStringRun& b) {
            return a.Offset != b.Offset ? a.Offset < b.Offset : a.Encoding < b.Encoding;
        });
        EXPECT_EQ(runs, whole) << "slice " << slice;
    }
    EXPECT_EQ(whole.size(), 100u);
}

TEST(Strings, LongRunsKeepTheirLengthButCutTheirText)
{
    const QByteArray data(5000, 'A');
    const std::vector<TMPHStringRun> runs = Find(data);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].ByteLength, 5000);
    EXPECT_EQ(runs[0].Text.size(), TMPHStringScanner::MaxTextLength);
}

TEST(Strings, EmptyDataAndBadSettings)
{
    EXPECT_TRUE(Find(QByteArray()).empty());
    EXPECT_THROW(TMPHStringScanner(10, 0), EMPHexEditor);
    EXPECT_THROW(TMPHStringScanner(10, 4, false, false), EMPHexEditor);
}
