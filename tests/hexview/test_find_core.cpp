// The widget-free parts of Find: regular expressions over the bytes, Find
// all's results and their text, and the find and replace histories.

#include "hexview/core/byteregex.h"
#include "hexview/core/configfile.h"
#include "hexview/core/findhistory.h"
#include "hexview/core/findresults.h"

#include "app/test_folder.h"
#include "hexeditor/core/mphexception.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <cstring>
#include <vector>

using namespace hexview;

namespace {

const uint8_t* Bytes(const QByteArray& a) { return reinterpret_cast<const uint8_t*>(a.constData()); }

QString ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const EMPHexEditor& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

TMPHFindParams Whole(const QByteArray& data, int64_t chunk = FindChunkSize)
{
    TMPHFindParams params;
    params.Data = Bytes(data);
    params.Size = data.size();
    params.ChunkSize = chunk;
    return params;
}

std::vector<TFoundMatch> All(const TMPHMatcher& matcher, const QByteArray& data, int64_t chunk = FindChunkSize)
{
    return FindAllMatches(matcher, Whole(data, chunk)).Matches;
}

} // namespace

TEST(ByteRegex, MatchesAreByteOffsetsAlsoForHighAndZeroBytes)
{
    // Bytes above 0x7F and zeros are single characters: offsets stay exact.
    const QByteArray data("\xFF\xFE\x00" "ab\xE3\x00\x00\x10" "cd\xE9" "ab", 14);
    const TByteRegex marker(QStringLiteral("\\xE3\\x00\\x00\\x10"), false);
    EXPECT_EQ(All(marker, data), (std::vector<TFoundMatch>{{5, 4}}));
    const TByteRegex letters(QStringLiteral("[a-d]+"), false);
    EXPECT_EQ(All(letters, data), (std::vector<TFoundMatch>{{3, 2}, {9, 2}, {12, 2}}));
    // A Latin-1 character in the pattern stands for its byte.
    const TByteRegex latin(QString::fromUtf8("d\u00E9"), false);
    EXPECT_EQ(All(latin, data), (std::vector<TFoundMatch>{{10, 2}}));
    // "." takes any byte, line ends and zeros included.
    const TByteRegex any(QStringLiteral("b.\\x00"), false);
    EXPECT_EQ(All(any, data), (std::vector<TFoundMatch>{{4, 3}}));
}

TEST(ByteRegex, ChunkedSearchesFindWhatOneScanFinds)
{
    QByteArray data;
    for (int i = 0; i < 300; ++i)
        data += (i % 7 == 0) ? QByteArray("key=12345;") : QByteArray("..x..");
    const TByteRegex regex(QStringLiteral("key=[0-9]+;"), false);
    const std::vector<TFoundMatch> whole = All(regex, data);
    ASSERT_EQ(whole.size(), 43u);
    for (const int64_t chunk : {1, 3, 10, 64})
        EXPECT_EQ(All(regex, data, chunk), whole) << "chunk " << chunk;

    // Forward and backward from the middle, with wrapping, in chunks.
    TMPHFindParams params = Whole(data, 5);
    params.Start = whole[10].Position + 1;
    EXPECT_EQ(FindMatch(regex, params).Position, whole[11].Position);
    params.Forward = false;
    EXPECT_EQ(FindMatch(regex, params).Position, whole[10].Position);
    EXPECT_EQ(FindMatch(regex, params).Length, 10);
    params.Start = whole[0].Position - 1;
    EXPECT_EQ(FindMatch(regex, params).Position, whole.back().Position) << "backward wraps to the last";
}

TEST(ByteRegex, CaseEmptyMatchesAndTheRangeAsSubject)
{
    const QByteArray data("xAbCx..abc");
    EXPECT_EQ(All(TByteRegex(QStringLiteral("abc"), true), data), (std::vector<TFoundMatch>{{1, 3}, {7, 3}}));
    EXPECT_EQ(All(TByteRegex(QStringLiteral("abc"), false), data), (std::vector<TFoundMatch>{{7, 3}}));
    // A pattern that could match nothing only finds non-empty runs.
    EXPECT_EQ(All(TByteRegex(QStringLiteral("x*"), false), data), (std::vector<TFoundMatch>{{0, 1}, {4, 1}}));
    // Inside a range, ^ is the range's start.
    TMPHFindParams params = Whole(data);
    params.RangeFirst = 7;
    EXPECT_EQ(FindMatch(TByteRegex(QStringLiteral("^abc$"), false), params).Position, 7);
}

TEST(ByteRegex, BadPatternsGetAClearError)
{
    EXPECT_EQ(ErrorOf([] { TByteRegex(QStringLiteral("ab(c"), false); }),
              QStringLiteral("Invalid regular expression at character 5: missing closing parenthesis"));
    EXPECT_EQ(ErrorOf([] { TByteRegex(QStringLiteral("a[z-a]"), false); }).left(46),
              QStringLiteral("Invalid regular expression at character 5: ran"));
    EXPECT_EQ(ErrorOf([] { TByteRegex(QString::fromUtf8("ab\u20AC"), false); }),
              QString::fromUtf8("Invalid regular expression at character 3: \"\u20AC\" is no byte; write bytes above "
                                "0x7F as \\xHH"));
    EXPECT_EQ(ErrorOf([] { TByteRegex(QString(), false); }), QStringLiteral("Enter the regular expression to find"));
}

TEST(ByteRegex, EscapedReplacementBytes)
{
    EXPECT_EQ(EscapedBytes(QStringLiteral("a\\x00\\xfFb\\\\")), QByteArray("a\x00\xFF" "b\\", 5));
    EXPECT_EQ(EscapedBytes(QString::fromUtf8("\u00E9")), QByteArray("\xE9"));
    EXPECT_EQ(EscapedBytes(QString()), QByteArray());
    for (const char* bad : {"\\x0", "\\xg0", "\\n", "a\\", "\\x+1"})
        EXPECT_EQ(ErrorOf([&] { EscapedBytes(QString::fromLatin1(bad)); }).left(33),
                  QStringLiteral("Invalid replacement at character "))
            << bad;
    EXPECT_EQ(ErrorOf([] { EscapedBytes(QString::fromUtf8("ok\u20AC")); }).left(35),
              QStringLiteral("Invalid replacement at character 3:"));
}

TEST(FindResults, TheListStopsAtItsLimitAndSaysSo)
{
    const QByteArray data(10, 'a');
    const auto p = TMPHSearchPattern::FromBytes("a");
    const TFindAllResult some = FindAllMatches(p, Whole(data), 4);
    EXPECT_EQ(some.Matches.size(), 4u);
    EXPECT_TRUE(some.Truncated);
    const TFindAllResult all = FindAllMatches(p, Whole(data), 10);
    EXPECT_EQ(all.Matches.size(), 10u);
    EXPECT_FALSE(all.Truncated);
}

TEST(FindResults, ContextShowsTheBytesAroundTheMatch)
{
    const QByteArray data("0123456789ABCDEF\xE3\x00\x00\x10xyz", 23);
    const TMatchContext c = MatchContext(Bytes(data), data.size(), {16, 4}, 3);
    EXPECT_EQ(c.Hex, QStringLiteral("44 45 46 [E3 00 00 10] 78 79 7A"));
    EXPECT_EQ(c.Text, QStringLiteral("DEF....xyz"));
    // At the start and end of the data, and a long match cut short.
    EXPECT_EQ(MatchContext(Bytes(data), data.size(), {0, 2}, 2).Hex, QStringLiteral("[30 31] 32 33"));
    EXPECT_EQ(MatchContext(Bytes(data), data.size(), {21, 2}, 2).Hex, QStringLiteral("10 78 [79 7A]"));
    const TMatchContext longOne = MatchContext(Bytes(data), data.size(), {0, 20}, 1);
    EXPECT_EQ(longOne.Hex, QStringLiteral("[30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46 ...] 78"));
    EXPECT_EQ(longOne.Text, QStringLiteral("0123456789ABCDEF...x"));
    EXPECT_EQ(MatchesAsText(Bytes(data), data.size(), {{1, 1}, {16, 4}}),
              QStringLiteral("0x00000001\t1\t30 [31] 32 33 34 35 36 37 38 39\t0123456789\n"
                             "0x00000010\t4\t38 39 41 42 43 44 45 46 [E3 00 00 10] 78 79 7A\t89ABCDEF....xyz\n"));
}

TEST(FindResults, ContextReadThroughAReaderReadsOnlyTheBytesShown)
{
    QByteArray data(300, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(i * 7);
    int64_t bytesRead = 0;
    const TMPHReadFunc read = [&](int64_t index, int64_t count, uint8_t* out) {
        ASSERT_GE(index, 0);
        ASSERT_LE(index + count, data.size());
        bytesRead += count;
        std::memcpy(out, data.constData() + index, size_t(count));
    };
    // Inside, at both ends, and a match of 200 bytes cut short.
    for (const TFoundMatch m : {TFoundMatch{100, 4}, TFoundMatch{0, 3}, TFoundMatch{297, 3}, TFoundMatch{50, 200}}) {
        bytesRead = 0;
        const TMatchContext fromReader = MatchContext(read, data.size(), m);
        const TMatchContext fromBlock = MatchContext(Bytes(data), data.size(), m);
        EXPECT_EQ(fromReader.Hex, fromBlock.Hex) << m.Position;
        EXPECT_EQ(fromReader.Text, fromBlock.Text) << m.Position;
        EXPECT_LE(bytesRead, 2 * ContextBytes + ShownMatchBytes) << m.Position;
    }
}

TEST(FindHistory, NewestFirstWithoutDuplicatesAndBounded)
{
    QStringList list;
    for (int i = 0; i < 25; ++i)
        list = WithHistoryEntry(list, QString::number(i));
    EXPECT_EQ(list.size(), MaxFindHistory);
    EXPECT_EQ(list.front(), "24");
    EXPECT_EQ(list.back(), "5");
    list = WithHistoryEntry(list, QStringLiteral("10"));
    EXPECT_EQ(list.front(), "10");
    EXPECT_EQ(list.count(QStringLiteral("10")), 1);
    EXPECT_EQ(list.size(), MaxFindHistory);
    EXPECT_EQ(WithHistoryEntry(list, QString()), list);
    EXPECT_EQ(WithHistoryEntry(list, QString(MaxFindHistoryText + 1, 'x')), list) << "overlong texts stay out";
}

TEST(FindHistory, StoredInTheConfigurationFileAndBoundedWhenRead)
{
    TTestFolder folder;
    const QString path = folder.dir.filePath(QStringLiteral("hexview.conf"));
    {
        TConfigFile config(path);
        StoreFindHistory(config, THistoryKind::Find, {QStringLiteral("E3 00 00 10"), QStringLiteral("Zelq")});
        StoreFindHistory(config, THistoryKind::Replace, {QStringLiteral("00")});
        config.Save();
    }
    TConfigFile again(path);
    EXPECT_EQ(LoadFindHistory(again, THistoryKind::Find), (QStringList{"E3 00 00 10", "Zelq"}));
    EXPECT_EQ(LoadFindHistory(again, THistoryKind::Replace), (QStringList{"00"}));

    // A hand-edited file with duplicates and too many entries is cut to size.
    QStringList many;
    for (int i = 0; i < 50; ++i)
        many << QString::number(i % 30);
    again.SetValue(QStringLiteral("Find/History"), many);
    QStringList loaded = LoadFindHistory(again, THistoryKind::Find);
    EXPECT_EQ(loaded.size(), MaxFindHistory);
    EXPECT_EQ(loaded.front(), "0");
    EXPECT_EQ(loaded.removeDuplicates(), 0);
}
