// The byte search engine: patterns, both directions, wrapping, chunks and
// progress, without an editor.

#include "error_of.h"
#include "hexeditor/core/mphsearch.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <vector>

namespace {

const uint8_t* Bytes(const QByteArray& a) { return reinterpret_cast<const uint8_t*>(a.constData()); }

int64_t Find(const TMPHSearchPattern& p, const QByteArray& data, int64_t start, bool forward, bool wrap = true,
             int64_t chunk = FindChunkSize)
{
    TMPHFindParams params;
    params.Data = Bytes(data);
    params.Size = data.size();
    params.Start = start;
    params.Forward = forward;
    params.Wrap = wrap;
    params.ChunkSize = chunk;
    return FindInData(p, params);
}

// A forward, wrapping search in chunks of 250 with progress reports.
int64_t FindReporting(const TMPHSearchPattern& p, const QByteArray& data, int64_t start,
                      const TMPHFindProgressFunc& progress)
{
    TMPHFindParams params;
    params.Data = Bytes(data);
    params.Size = data.size();
    params.Start = start;
    params.ChunkSize = 250;
    params.Progress = progress;
    return FindInData(p, params);
}

// Filler that contains no byte of the patterns used below.
QByteArray Filler(int size) { return QByteArray(size, '\x55'); }

TMPHSearchPattern::TextEncoding Encoding(TMPHTranslationKind kind = tkAsIs)
{
    TMPHSearchPattern::TextEncoding e;
    e.Translation = kind;
    return e;
}

} // namespace

TEST(SearchPatternTest, HexTextWithAndWithoutSpaces)
{
    for (const char* text : {"E3 00 00 10", "E3000010", "  e3 0000   10 ", "E3\t00 0010"}) {
        const TMPHSearchPattern p = TMPHSearchPattern::FromHexText(QString::fromLatin1(text));
        ASSERT_EQ(p.Length(), 4) << text;
        EXPECT_TRUE(p.IsExact());
        EXPECT_EQ(p.Alternatives(0), std::vector<uint8_t>{0xE3}) << text;
        EXPECT_EQ(p.Alternatives(3), std::vector<uint8_t>{0x10}) << text;
    }
}

TEST(SearchPatternTest, BadHexTextIsRefusedWithAMessage)
{
    EXPECT_EQ(ErrorOf([] { TMPHSearchPattern::FromHexText(QStringLiteral("   ")); }),
              QStringLiteral("Enter the bytes or the text to find"));
    const QString oddDigits = ErrorOf([] { TMPHSearchPattern::FromHexText(QStringLiteral("E3 0 00")); });
    EXPECT_TRUE(oddDigits.startsWith(QStringLiteral("Invalid hex byte string \"E3 0 00\""))) << oddDigits.toStdString();
    EXPECT_NE(ErrorOf([] { TMPHSearchPattern::FromHexText(QStringLiteral("E3 0G")); }), QStringLiteral("<no error>"));
    EXPECT_NE(ErrorOf([] { TMPHSearchPattern::FromHexText(QStringLiteral("0xE3")); }), QStringLiteral("<no error>"));
}

TEST(SearchPatternTest, TextFollowsTheTranslation)
{
    // EBCDIC stores "A" as C1, "1" as F1.
    const TMPHSearchPattern bcd = TMPHSearchPattern::FromText(QStringLiteral("A1"), Encoding(tkBCD), false);
    ASSERT_EQ(bcd.Length(), 2);
    EXPECT_EQ(bcd.Alternatives(0), std::vector<uint8_t>{0xC1});
    EXPECT_EQ(bcd.Alternatives(1), std::vector<uint8_t>{0xF1});
    // Macintosh stores the character C4 (A with diaeresis) as 80.
    const TMPHSearchPattern mac = TMPHSearchPattern::FromText(QString(QChar(0xC4)), Encoding(tkMac), false);
    EXPECT_EQ(mac.Alternatives(0), std::vector<uint8_t>{0x80});
    // 7-bit ASCII cannot store e-acute; control characters are never searchable.
    EXPECT_TRUE(ErrorOf([] { TMPHSearchPattern::FromText(QString(QChar(0xE9)), Encoding(tkASCII), false); })
                    .startsWith(QStringLiteral("The character")));
    EXPECT_NE(ErrorOf([] { TMPHSearchPattern::FromText(QStringLiteral("a\nb"), Encoding(), false); }),
              QStringLiteral("<no error>"));
    EXPECT_EQ(ErrorOf([] { TMPHSearchPattern::FromText(QString(), Encoding(), false); }),
              QStringLiteral("Enter the bytes or the text to find"));
}

TEST(SearchPatternTest, CaseInsensitiveTextMatchesBothCases)
{
    const TMPHSearchPattern p = TMPHSearchPattern::FromText(QStringLiteral("a1") + QChar(0xE9), Encoding(), true);
    ASSERT_EQ(p.Length(), 3);
    EXPECT_FALSE(p.IsExact());
    EXPECT_EQ(p.Alternatives(0), (std::vector<uint8_t>{'a', 'A'}));
    EXPECT_EQ(p.Alternatives(1), std::vector<uint8_t>{'1'});
    EXPECT_EQ(p.Alternatives(2), (std::vector<uint8_t>{0xE9, 0xC9}));
    // Under EBCDIC the two cases are far apart: a = 81, A = C1.
    const TMPHSearchPattern bcd = TMPHSearchPattern::FromText(QStringLiteral("a"), Encoding(tkBCD), true);
    EXPECT_EQ(bcd.Alternatives(0), (std::vector<uint8_t>{0x81, 0xC1}));

    QByteArray data = Filler(100);
    data.replace(40, 3, "xA1");
    data.replace(70, 3, "a1\xC9");
    EXPECT_EQ(Find(p, data, 0, true), 70);
    const TMPHSearchPattern ab = TMPHSearchPattern::FromText(QStringLiteral("hELLo"), Encoding(), true);
    data.replace(10, 5, "HeLlO");
    EXPECT_EQ(Find(ab, data, 0, true), 10);
    EXPECT_EQ(Find(ab, data, 11, true), 10); // wraps round to it
    EXPECT_EQ(Find(ab, data, 99, false), 10);
}

TEST(SearchPatternTest, UnicodeTextUsesCodeUnitsInTheByteOrder)
{
    TMPHSearchPattern::TextEncoding e;
    e.UnicodeChars = true;
    const TMPHSearchPattern little = TMPHSearchPattern::FromText(QStringLiteral("Ab"), e, false);
    ASSERT_EQ(little.Length(), 4);
    QByteArray data = Filler(20);
    data.replace(6, 4, QByteArray("A\0b\0", 4));
    EXPECT_EQ(Find(little, data, 0, true), 6);
    e.UnicodeBigEndian = true;
    const TMPHSearchPattern big = TMPHSearchPattern::FromText(QStringLiteral("Ab"), e, false);
    EXPECT_EQ(Find(big, data, 0, true), -1);
    data.replace(12, 4, QByteArray("\0A\0b", 4));
    EXPECT_EQ(Find(big, data, 0, true), 12);
}

TEST(SearchTest, ForwardBackwardAndWrapping)
{
    QByteArray data = Filler(64);
    data.replace(10, 4, QByteArray("\xE3\x00\x00\x10", 4));
    data.replace(50, 4, QByteArray("\xE3\x00\x00\x10", 4));
    const auto p = TMPHSearchPattern::FromHexText(QStringLiteral("E3 00 00 10"));
    EXPECT_EQ(Find(p, data, 0, true), 10);
    EXPECT_EQ(Find(p, data, 10, true), 10);   // a match at the start counts
    EXPECT_EQ(Find(p, data, 11, true), 50);
    EXPECT_EQ(Find(p, data, 51, true), 10);   // wraps at the end
    EXPECT_EQ(Find(p, data, 51, true, false), -1);
    EXPECT_EQ(Find(p, data, 63, false), 50);
    EXPECT_EQ(Find(p, data, 50, false), 50);
    EXPECT_EQ(Find(p, data, 49, false), 10);
    EXPECT_EQ(Find(p, data, 9, false), 50);   // wraps at the beginning
    EXPECT_EQ(Find(p, data, 9, false, false), -1);
    EXPECT_EQ(Find(p, data, -1, false), 50);  // before the first byte: from the end
    EXPECT_EQ(Find(p, data, 64, true), 10);   // past the last byte: from the start
}

TEST(SearchTest, MatchesAtTheVeryEndsAndNowhere)
{
    const auto p = TMPHSearchPattern::FromHexText(QStringLiteral("AB CD"));
    QByteArray data = Filler(16);
    data.replace(0, 2, "\xAB\xCD");
    data.replace(14, 2, "\xAB\xCD");
    EXPECT_EQ(Find(p, data, 1, true), 14);
    EXPECT_EQ(Find(p, data, 15, true), 0); // 15 cannot start a 2-byte match
    EXPECT_EQ(Find(p, data, 13, false), 0);
    EXPECT_EQ(Find(p, data, 15, false), 14);
    EXPECT_EQ(Find(p, Filler(16), 0, true), -1);
    EXPECT_EQ(Find(p, Filler(16), 8, false), -1);
    // A half match at the end must not be read past the data.
    QByteArray tail = Filler(8);
    tail[7] = '\xAB';
    EXPECT_EQ(Find(p, tail, 0, true), -1);
    EXPECT_EQ(Find(p, tail, 7, false), -1);
}

TEST(SearchTest, OneByteAndEmptyData)
{
    const auto p = TMPHSearchPattern::FromHexText(QStringLiteral("5A"));
    const QByteArray one("\x5A", 1);
    EXPECT_EQ(Find(p, one, 0, true), 0);
    EXPECT_EQ(Find(p, one, 0, false), 0);
    EXPECT_EQ(Find(p, one, 1, true), 0);
    EXPECT_EQ(Find(p, QByteArray("\x00", 1), 0, true), -1);
    EXPECT_EQ(Find(p, QByteArray(), 0, true), -1);
    EXPECT_EQ(Find(TMPHSearchPattern::FromHexText(QStringLiteral("5A 5A")), one, 0, true), -1);
    EXPECT_EQ(Find(TMPHSearchPattern(), one, 0, true), -1);
}

TEST(SearchTest, MatchesAcrossChunkBoundariesInBothDirections)
{
    const int64_t chunk = 64;
    const auto exact = TMPHSearchPattern::FromHexText(QStringLiteral("E3 00 00 10"));
    const auto folded = TMPHSearchPattern::FromText(QStringLiteral("zelq"), Encoding(), true);
    for (int at = chunk - 3; at <= chunk; ++at) {
        QByteArray data = Filler(4 * chunk);
        data.replace(at, 4, QByteArray("\xE3\x00\x00\x10", 4));
        EXPECT_EQ(Find(exact, data, 0, true, true, chunk), at) << at;
        EXPECT_EQ(Find(exact, data, data.size() - 1, false, true, chunk), at) << at;
        data.replace(at + 2 * chunk, 4, "ZeLQ");
        EXPECT_EQ(Find(folded, data, 0, true, true, chunk), at + 2 * chunk) << at;
        EXPECT_EQ(Find(folded, data, data.size() - 1, false, true, chunk), at + 2 * chunk) << at;
    }
}

TEST(SearchTest, ProgressIsReportedPerChunkAndCanCancel)
{
    const auto p = TMPHSearchPattern::FromHexText(QStringLiteral("01 02"));
    const QByteArray data = Filler(1000);
    std::vector<int> reports;
    auto record = [&reports](int percent) {
        reports.push_back(percent);
        return false;
    };
    EXPECT_EQ(FindReporting(p, data, 500, record), -1);
    // Four chunks over the wrapped search: 0 %, 25 %, 50 %, then 100 before the last.
    EXPECT_EQ(reports, (std::vector<int>{0, 25, 50, 100}));

    reports.clear();
    QByteArray hit = data;
    hit.replace(300, 2, "\x01\x02");
    EXPECT_EQ(FindReporting(p, hit, 0, record), 300);
    EXPECT_EQ(reports, (std::vector<int>{0, 25})); // stops at the chunk that holds the match

    int calls = 0;
    auto cancelSecond = [&calls](int) { return ++calls == 2; };
    EXPECT_EQ(ErrorOf([&] { FindReporting(p, data, 0, cancelSecond); }),
              QStringLiteral("Operation cancelled"));
    EXPECT_EQ(calls, 2);
}

TEST(SearchTest, RepeatedBytesFindTheFirstAndLastOverlap)
{
    const auto p = TMPHSearchPattern::FromHexText(QStringLiteral("00 00 00"));
    QByteArray data = Filler(20);
    data.replace(5, 5, QByteArray(5, '\0'));
    EXPECT_EQ(Find(p, data, 0, true), 5);
    EXPECT_EQ(Find(p, data, 6, true), 6);
    EXPECT_EQ(Find(p, data, 19, false), 7);
}

// ---- ranges (search within the selection) and visiting every match ----------------

namespace {

TMPHFindParams InRange(const QByteArray& data, int64_t first, int64_t end, int64_t start, bool forward,
                       int64_t chunk = FindChunkSize)
{
    TMPHFindParams params;
    params.Data = Bytes(data);
    params.Size = data.size();
    params.RangeFirst = first;
    params.RangeEnd = end;
    params.Start = start;
    params.Forward = forward;
    params.ChunkSize = chunk;
    return params;
}

} // namespace

TEST(SearchRangeTest, OnlyMatchesWhollyInsideTheRangeAreFoundAndTheSearchWrapsInsideIt)
{
    //                       0123456789012345678
    const QByteArray data = "ab..ab..ab..ab..ab.";
    const auto p = TMPHSearchPattern::FromText(QStringLiteral("ab"), Encoding(), false);
    // Range [5, 13): the match at 4 starts before it, the one at 12 ends after it.
    EXPECT_EQ(FindInData(p, InRange(data, 5, 13, 0, true)), 8);
    EXPECT_EQ(FindInData(p, InRange(data, 5, 13, 9, true)), 8) << "wraps to the range's start, not the data's";
    EXPECT_EQ(FindInData(p, InRange(data, 5, 13, 18, false)), 8);
    EXPECT_EQ(FindInData(p, InRange(data, 5, 13, 7, false)), 8) << "backward wraps to the range's end";
    auto noWrap = InRange(data, 5, 13, 9, true);
    noWrap.Wrap = false;
    EXPECT_EQ(FindInData(p, noWrap), -1);
    EXPECT_EQ(FindInData(p, InRange(data, 4, 6, 0, true)), 4) << "a match filling the range";
    EXPECT_EQ(FindInData(p, InRange(data, 4, 5, 0, true)), -1) << "a range shorter than the pattern";
    EXPECT_EQ(FindInData(p, InRange(data, 12, 99, 0, true)), 12) << "an end past the data is the data's end";
    // Chunks of 1 inside the range find the same.
    EXPECT_EQ(FindInData(p, InRange(data, 5, 13, 9, true, 1)), 8);
    EXPECT_EQ(FindInData(p, InRange(data, 5, 17, 9, true, 1)), 12);
}

TEST(SearchRangeTest, FindMatchGivesTheMatchLength)
{
    const QByteArray data = "xxE3";
    const auto p = TMPHSearchPattern::FromHexText(QStringLiteral("78 45"));
    const TMPHMatch m = FindMatch(p, InRange(data, 0, -1, 0, true));
    EXPECT_EQ(m.Position, 1);
    EXPECT_EQ(m.Length, 2);
    EXPECT_FALSE(FindMatch(p, InRange(data, 2, -1, 0, true)).Found());
}

TEST(ForEachMatchTest, VisitsMatchesLeftToRightWithoutOverlapsAcrossChunks)
{
    const QByteArray data = "AAAAAxAAyAA";
    const auto p = TMPHSearchPattern::FromText(QStringLiteral("AA"), Encoding(), false);
    for (const int64_t chunk : {int64_t(1), int64_t(2), int64_t(3), FindChunkSize}) {
        std::vector<int64_t> seen;
        auto params = InRange(data, 0, -1, 0, true, chunk);
        const int64_t n = ForEachMatch(p, params, [&](int64_t at, int64_t length) {
            EXPECT_EQ(length, 2);
            seen.push_back(at);
            return true;
        });
        EXPECT_EQ(seen, (std::vector<int64_t>{0, 2, 6, 9})) << "chunk " << chunk;
        EXPECT_EQ(n, 4);
    }
    // Inside a range, and stopped by the visitor.
    std::vector<int64_t> seen;
    ForEachMatch(p, InRange(data, 1, 8, 0, true), [&](int64_t at, int64_t) {
        seen.push_back(at);
        return seen.size() < 2;
    });
    EXPECT_EQ(seen, (std::vector<int64_t>{1, 3}));
}

TEST(ForEachMatchTest, ReportsProgressAndCancels)
{
    const QByteArray data = Filler(1000);
    const auto p = TMPHSearchPattern::FromHexText(QStringLiteral("01"));
    std::vector<int> reports;
    auto params = InRange(data, 0, -1, 0, true, 250);
    params.Progress = [&](int percent) {
        reports.push_back(percent);
        return false;
    };
    EXPECT_EQ(ForEachMatch(p, params, [](int64_t, int64_t) { return true; }), 0);
    EXPECT_EQ(reports, (std::vector<int>{0, 25, 50, 75}));
    params.Progress = [](int percent) { return percent >= 50; };
    EXPECT_EQ(ErrorOf([&] { ForEachMatch(p, params, [](int64_t, int64_t) { return true; }); }),
              QStringLiteral("Operation cancelled"));
}
