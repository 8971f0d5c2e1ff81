// Whole-document work a slice at a time: the slice reader (the data's own
// memory while it is one block, a reused buffer otherwise, never gathering),
// and the digest run and string scanner fed slice by slice giving what they
// give over the data in one block.

#include "hexeditor/core/mphdigest.h"
#include "hexeditor/core/mphexception.h"
#include "hexeditor/core/mphslicereader.h"
#include "hexeditor/core/mphstrings.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

QByteArray Noise(int size, unsigned seed)
{
    std::mt19937 rng(seed);
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = char(rng());
    return bytes;
}

const uint8_t* Bytes(const QByteArray& a) { return reinterpret_cast<const uint8_t*>(a.constData()); }

// A step reports the ASCII runs before the UTF-16 ones: compare in offset order.
std::vector<TMPHStringRun> Sorted(std::vector<TMPHStringRun> runs)
{
    std::sort(runs.begin(), runs.end(), [](const TMPHStringRun& a, const TMPHStringRun& b) {
        return a.Offset != b.Offset ? a.Offset < b.Offset : a.Encoding < b.Encoding;
    });
    return runs;
}

// Every digest but CRC-32 (which needs the firmware library's function).
QList<TMPHDigestKind> Kinds()
{
    QList<TMPHDigestKind> kinds = AllDigestKinds();
    kinds.removeAll(TMPHDigestKind::Crc32);
    return kinds;
}

} // namespace

TEST(SliceReaderTest, OneBlockIsUsedInPlaceScatteredDataIsCopiedWithoutGathering)
{
    const QByteArray bytes = Noise(10000, 3);
    TMPHMemoryStream data;
    data.Write(bytes.constData(), bytes.size());
    TMPHSliceReader reader;
    EXPECT_EQ(reader.Read(data, 100, 50), data.Memory() + 100) << "one block: no copy";
    EXPECT_EQ(reader.BufferSize(), 0);

    data.Insert(5000, "xy", 2); // now in pieces
    ASSERT_FALSE(data.IsContiguous());
    QByteArray expected = bytes;
    expected.insert(5000, "xy");
    for (const int64_t at : {int64_t(0), int64_t(4990), int64_t(5001), int64_t(10002 - 7)}) {
        const uint8_t* slice = reader.Read(data, at, 7);
        EXPECT_EQ(std::memcmp(slice, expected.constData() + at, 7), 0) << at;
    }
    EXPECT_EQ(reader.BufferSize(), 7) << "the buffer is reused, not grown per read";
    EXPECT_FALSE(data.IsContiguous()) << "the reads gathered the data";
    EXPECT_THROW(reader.Read(data, 10000, 3), EMPHexEditor);
    EXPECT_THROW(reader.Read(data, -1, 3), EMPHexEditor);
}

TEST(SliceReaderTest, DigestsFedSliceBySliceEqualTheWholeRun)
{
    const QByteArray bytes = Noise(300001, 5);
    TMPHDigestRun whole(Bytes(bytes), bytes.size(), Kinds());
    whole.Step(bytes.size());
    std::mt19937 rng(8);
    TMPHDigestRun sliced(nullptr, bytes.size(), Kinds());
    while (!sliced.Done()) {
        const int64_t n = 1 + int64_t(rng() % 70000);
        // More than remain is cut to the rest.
        sliced.StepWith(Bytes(bytes) + sliced.Processed(), std::min<int64_t>(n, bytes.size() - sliced.Processed()));
    }
    ASSERT_EQ(sliced.Digests().size(), whole.Digests().size());
    for (size_t i = 0; i < whole.Digests().size(); ++i)
        EXPECT_EQ(sliced.Digests()[i].HexResult(), whole.Digests()[i].HexResult()) << i;
    EXPECT_EQ(sliced.Percent(), 100);
}

TEST(SliceReaderTest, StringsScannedSliceBySliceEqualTheWholeScan)
{
    // ASCII and UTF-16LE runs, with the slices cutting through them and
    // through UTF-16 characters.
    std::mt19937 rng(21);
    QByteArray bytes;
    for (int i = 0; i < 300; ++i) {
        const int kind = int(rng() % 3);
        const int length = 1 + int(rng() % 9);
        for (int k = 0; k < length; ++k) {
            const char c = char('a' + rng() % 26);
            if (kind == 0)
                bytes += c;
            else if (kind == 1)
                bytes += QByteArray(1, c) + QByteArray(1, '\0');
            else
                bytes += char(0x80 + rng() % 0x80);
        }
    }
    std::vector<TMPHStringRun> whole;
    TMPHStringScanner(bytes.size(), 3).Step(Bytes(bytes), bytes.size(), whole);
    ASSERT_GT(whole.size(), 20u);
    for (const int64_t sliceSize : {int64_t(1), int64_t(2), int64_t(7), int64_t(64)}) {
        TMPHStringScanner scanner(bytes.size(), 3);
        std::vector<TMPHStringRun> sliced;
        while (!scanner.Done()) {
            // Only the bytes the scanner asks for, copied away from the rest.
            const int64_t need = scanner.SliceNeed(sliceSize);
            const QByteArray slice = bytes.mid(int(scanner.Position()), int(need));
            ASSERT_EQ(slice.size(), need);
            scanner.StepSlice(Bytes(slice), sliceSize, sliced);
        }
        EXPECT_EQ(Sorted(sliced), Sorted(whole)) << "slices of " << sliceSize;
    }
}
