// The byte search pulling its data chunk by chunk (TMPHFindParams::Read):
// the same matches as the search over one block, also across chunk borders
// and at the ends, with reads no larger than a chunk and its overlap, and
// with a failing read passed on to the caller.

#include "hexeditor/core/mphsearch.h"
#include "platform/core/exceptions.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

const uint8_t* Bytes(const QByteArray& a) { return reinterpret_cast<const uint8_t*>(a.constData()); }

// Reads from data and notes the largest read.
struct TRecordingReader
{
    const QByteArray& data;
    int64_t largest = 0;
    int reads = 0;
    TMPHReadFunc Func()
    {
        return [this](int64_t index, int64_t count, uint8_t* out) {
            EXPECT_GE(index, 0);
            EXPECT_LE(index + count, data.size());
            largest = std::max(largest, count);
            ++reads;
            std::memcpy(out, data.constData() + index, size_t(count));
        };
    }
};

TMPHFindParams Params(const QByteArray& data, int64_t start, bool forward, int64_t chunk)
{
    TMPHFindParams params;
    params.Size = data.size();
    params.Start = start;
    params.Forward = forward;
    params.ChunkSize = chunk;
    return params;
}

TMPHMatch FindBlock(const TMPHMatcher& m, const QByteArray& data, TMPHFindParams params)
{
    params.Data = Bytes(data);
    return FindMatch(m, params);
}

TMPHMatch FindPulled(const TMPHMatcher& m, TRecordingReader& reader, TMPHFindParams params)
{
    params.Read = reader.Func();
    return FindMatch(m, params);
}

QByteArray RandomBytes(std::mt19937& rng, int size, int alphabet)
{
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = char(rng() % unsigned(alphabet));
    return bytes;
}

const QByteArray Marker = QByteArray::fromHex("E3000010");

// A matcher without a longest match: the bytes "AB" followed by any number
// of "B".
class TGreedyMatcher : public TMPHMatcher
{
public:
    int64_t MinLength() const override { return 2; }
    int64_t FindForward(const uint8_t* data, int64_t size, int64_t from, int64_t to, int64_t* length) const override
    {
        for (int64_t i = std::max<int64_t>(from, 0); i < std::min(to, size - 1); ++i)
            if (data[i] == 'A' && data[i + 1] == 'B') {
                int64_t end = i + 2;
                while (end < size && data[end] == 'B')
                    ++end;
                *length = end - i;
                return i;
            }
        return -1;
    }
    int64_t FindBackward(const uint8_t* data, int64_t size, int64_t from, int64_t to, int64_t* length) const override
    {
        int64_t last = -1;
        int64_t len = 0;
        for (int64_t hit = FindForward(data, size, from, to, &len); hit >= 0;
             hit = FindForward(data, size, hit + 1, to, &len)) {
            last = hit;
            *length = len;
        }
        return last;
    }
};

} // namespace

TEST(PulledSearchTest, MatchesStraddlingChunkBordersAndAtTheEndsAreFoundBothWays)
{
    const int64_t chunk = 250;
    // The marker across every offset around the first two chunk borders, at
    // the very start and at the very end.
    for (const int64_t at : {int64_t(0), chunk - 3, chunk - 2, chunk - 1, chunk, 2 * chunk - 2, int64_t(996)}) {
        QByteArray data(1000, '\x55');
        data.replace(int(at), int(Marker.size()), Marker);
        const TMPHSearchPattern p = TMPHSearchPattern::FromBytes(Marker);
        TRecordingReader reader{data};
        EXPECT_EQ(FindPulled(p, reader, Params(data, 0, true, chunk)).Position, at) << at;
        EXPECT_EQ(FindPulled(p, reader, Params(data, 999, false, chunk)).Position, at) << at;
        // Wrapped: from just past the marker forward, from just before it
        // backward.
        EXPECT_EQ(FindPulled(p, reader, Params(data, at + 1, true, chunk)).Position, at) << at;
        EXPECT_EQ(FindPulled(p, reader, Params(data, at - 1, false, chunk)).Position, at) << at;
        EXPECT_LE(reader.largest, chunk + Marker.size() - 1) << "no read beyond a chunk and its overlap";
        // Without wrapping the marker behind the start is not found.
        TMPHFindParams noWrap = Params(data, at + 1, true, chunk);
        noWrap.Wrap = false;
        EXPECT_FALSE(FindPulled(p, reader, noWrap).Found()) << at;
    }
}

TEST(PulledSearchTest, AgreesWithTheSearchInOneBlockOnRandomData)
{
    std::mt19937 rng(4711);
    for (int round = 0; round < 400; ++round) {
        const int size = 1 + int(rng() % 300);
        const QByteArray data = RandomBytes(rng, size, 3 + int(rng() % 3));
        const int length = 1 + int(rng() % 5);
        const TMPHSearchPattern p = TMPHSearchPattern::FromBytes(RandomBytes(rng, length, 3));
        const int64_t chunk = 1 + int64_t(rng() % 40);
        TMPHFindParams params = Params(data, int64_t(rng() % unsigned(size + 2)) - 1, rng() % 2 == 0, chunk);
        params.Wrap = rng() % 4 != 0;
        if (rng() % 2 == 0) {
            params.RangeFirst = int64_t(rng() % unsigned(size));
            params.RangeEnd = params.RangeFirst + int64_t(rng() % unsigned(size - params.RangeFirst + 1));
        }
        TRecordingReader reader{data};
        const TMPHMatch pulled = FindPulled(p, reader, params);
        const TMPHMatch block = FindBlock(p, data, params);
        ASSERT_EQ(pulled.Position, block.Position) << "round " << round;
        ASSERT_EQ(pulled.Length, block.Length) << "round " << round;
        ASSERT_LE(reader.largest, chunk + length - 1) << "round " << round;
    }
}

TEST(PulledSearchTest, ForEachMatchAgreesWithTheBlockAndReadsEachWindowOnce)
{
    std::mt19937 rng(99);
    const TMPHSearchPattern::TextEncoding encoding;
    for (int round = 0; round < 200; ++round) {
        const int size = 1 + int(rng() % 400);
        QByteArray data = RandomBytes(rng, size, 4);
        for (char& c : data)
            c = "aAbB"[uchar(c)];
        const TMPHSearchPattern p =
            TMPHSearchPattern::FromText(round % 2 ? QStringLiteral("ab") : QStringLiteral("aBa"), encoding, true);
        TMPHFindParams params = Params(data, 0, true, 1 + int64_t(rng() % 50));
        if (round % 3 == 0) {
            params.RangeFirst = int64_t(rng() % unsigned(size));
            params.RangeEnd = -1;
        }
        std::vector<int64_t> fromBlock, fromPulled;
        params.Data = Bytes(data);
        ForEachMatch(p, params, [&](int64_t at, int64_t len) {
            EXPECT_EQ(len, p.Length());
            fromBlock.push_back(at);
            return true;
        });
        params.Data = nullptr;
        TRecordingReader reader{data};
        params.Read = reader.Func();
        ForEachMatch(p, params, [&](int64_t at, int64_t) {
            fromPulled.push_back(at);
            return true;
        });
        ASSERT_EQ(fromPulled, fromBlock) << "round " << round;
        // One read per chunk, however many matches it holds.
        const int64_t first = std::max<int64_t>(params.RangeFirst, 0);
        const int64_t chunks = (size - first + params.ChunkSize - 1) / params.ChunkSize;
        EXPECT_LE(reader.reads, chunks) << "round " << round;
    }
}

TEST(PulledSearchTest, AFailingReadReachesTheCaller)
{
    const QByteArray data(5000, '\x55');
    TMPHFindParams params = Params(data, 0, true, 1000);
    int reads = 0;
    params.Read = [&](int64_t, int64_t, uint8_t*) {
        if (++reads == 3)
            throw EReadError(QStringLiteral("Cannot read x: the file was changed by another program"));
    };
    const TMPHSearchPattern p = TMPHSearchPattern::FromBytes(Marker);
    try {
        FindMatch(p, params);
        ADD_FAILURE() << "the search ended without the read error";
    } catch (const EReadError& e) {
        EXPECT_TRUE(e.Message().contains("changed by another program"));
    }
    reads = 0;
    EXPECT_THROW(ForEachMatch(p, params, [](int64_t, int64_t) { return true; }), EReadError);
}

TEST(PulledSearchTest, AMatcherWithoutALongestMatchGetsTheWholeRangeInOneRead)
{
    QByteArray data(600, 'x');
    data.replace(295, 12, "ABBBBBBBBBBB"); // longer than a chunk, across a border
    TRecordingReader reader{data};
    const TGreedyMatcher m;
    const TMPHMatch match = FindPulled(m, reader, Params(data, 0, true, 5));
    EXPECT_EQ(match.Position, 295);
    EXPECT_EQ(match.Length, 12) << "the match is not cut at the chunk's window";
    EXPECT_EQ(reader.reads, 1);
    EXPECT_EQ(reader.largest, 600);
}
