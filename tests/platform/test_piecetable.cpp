// The piece table and the scattered memory stream built on it, against a
// plain byte vector: random inserts, removals, overwrites and reads at any
// position, across piece boundaries, with gathering in between.

#include "platform/core/piecetable.h"
#include "platform/core/streams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes randomBytes(std::mt19937_64& rng, int64_t count)
{
    Bytes bytes(static_cast<size_t>(count));
    for (auto& b : bytes)
        b = uint8_t(rng());
    return bytes;
}

// A position in 0..size, often near the ends and in small documents.
int64_t somewhere(std::mt19937_64& rng, int64_t size)
{
    switch (rng() % 4) {
    case 0: return std::min<int64_t>(size, int64_t(rng() % 3));
    case 1: return std::max<int64_t>(0, size - int64_t(rng() % 3));
    default: return size == 0 ? 0 : int64_t(rng() % uint64_t(size + 1));
    }
}

// A count: mostly small (typing), sometimes large.
int64_t someCount(std::mt19937_64& rng)
{
    return rng() % 8 == 0 ? int64_t(rng() % 200000) : int64_t(rng() % 40) + 1;
}

Bytes readAll(const TMemoryStream& s)
{
    Bytes out(size_t(s.SizeConst()));
    s.PeekBytes(0, out.data(), s.SizeConst());
    return out;
}

} // namespace

TEST(PieceTable, RandomEditsMatchAVector)
{
    std::mt19937_64 rng(11);
    Bytes base = randomBytes(rng, 3 << 20);
    Bytes model = base;
    TPieceTable table(int64_t(base.size()));
    for (int step = 0; step < 6000; ++step) {
        const int64_t size = int64_t(model.size());
        ASSERT_EQ(table.Size(), size);
        const int op = int(rng() % 4);
        const int64_t at = somewhere(rng, size);
        if (op == 0) {
            const Bytes add = randomBytes(rng, someCount(rng));
            table.Insert(at, add.data(), int64_t(add.size()));
            model.insert(model.begin() + at, add.begin(), add.end());
        } else if (op == 1 && at < size) {
            const int64_t n = std::min(someCount(rng), size - at);
            table.Remove(at, n);
            model.erase(model.begin() + at, model.begin() + at + n);
        } else if (op == 2 && at < size) {
            const int64_t n = std::min(someCount(rng), size - at);
            const Bytes over = randomBytes(rng, n);
            table.Write(base.data(), at, over.data(), n);
            std::copy(over.begin(), over.end(), model.begin() + at);
        } else if (at < size) {
            const int64_t n = std::min(someCount(rng), size - at);
            Bytes got(static_cast<size_t>(n));
            table.Read(base.data(), at, got.data(), n);
            ASSERT_TRUE(std::equal(got.begin(), got.end(), model.begin() + at)) << "step " << step << " at " << at;
            ASSERT_EQ(table.ByteAt(base.data(), at), model[size_t(at)]);
        }
    }
    // The pieces in order reproduce the whole sequence.
    Bytes joined;
    int64_t expected = 0;
    for (const TPieceTable::TPiece& p : table.Pieces()) {
        ASSERT_EQ(p.Position, expected);
        ASSERT_GT(p.Length, 0);
        const uint8_t* at = table.Address(base.data(), p);
        joined.insert(joined.end(), at, at + p.Length);
        expected += p.Length;
    }
    EXPECT_EQ(joined, model);
}

TEST(PieceTable, TypingAtOnePlaceExtendsOnePiece)
{
    std::vector<uint8_t> base(1000, 7);
    TPieceTable table(1000);
    for (int i = 0; i < 500; ++i) {
        const uint8_t b = uint8_t(i);
        table.Insert(100 + i, &b, 1);
    }
    EXPECT_EQ(table.PieceCount(), 3) << "base head, the typed run, base tail";
    EXPECT_EQ(table.ByteAt(base.data(), 100 + 499), uint8_t(499));
    EXPECT_EQ(table.ByteAt(base.data(), 600), 7);
    table.Insert(0, nullptr, 3);
    EXPECT_EQ(table.ByteAt(base.data(), 1), 0) << "a null buffer inserts zeros";
}

TEST(ScatteredStream, RandomEditsMatchAVectorWithGathersInBetween)
{
    std::mt19937_64 rng(5);
    for (const int64_t start : {int64_t(0), int64_t(100), int64_t(2) << 20}) {
        TMemoryStream s;
        Bytes model = randomBytes(rng, start);
        s.SetSize(start);
        if (start > 0)
            std::memcpy(s.Memory(), model.data(), model.size());
        for (int step = 0; step < 3000; ++step) {
            const int64_t size = int64_t(model.size());
            const int op = int(rng() % 8);
            const int64_t at = somewhere(rng, size);
            if (op <= 1) {
                const Bytes add = randomBytes(rng, someCount(rng));
                s.Insert(at, op == 0 ? add.data() : nullptr, int64_t(add.size()));
                model.insert(model.begin() + at, add.size(), 0);
                if (op == 0)
                    std::copy(add.begin(), add.end(), model.begin() + at);
            } else if (op == 2 && at < size) {
                const int64_t n = std::min(someCount(rng), size - at);
                s.Remove(at, n);
                model.erase(model.begin() + at, model.begin() + at + n);
            } else if (op == 3) {
                // Overwrite, possibly past the end (growing the stream).
                const Bytes over = randomBytes(rng, someCount(rng));
                s.SetPosition(at);
                s.WriteBuffer(over.data(), int64_t(over.size()));
                if (at + int64_t(over.size()) > size)
                    model.resize(size_t(at) + over.size());
                std::copy(over.begin(), over.end(), model.begin() + at);
            } else if (op == 4) {
                const int64_t n = rng() % 2 ? size + someCount(rng) : std::max<int64_t>(0, size - someCount(rng));
                s.SetSize(n);
                model.resize(size_t(n), 0);
            } else if (op == 5 && rng() % 20 == 0) {
                const Bytes flat(s.Memory(), s.Memory() + s.Size());
                ASSERT_EQ(flat, model) << "gather at step " << step;
                ASSERT_TRUE(s.IsContiguous());
            } else if (at < size) {
                const int64_t n = std::min(someCount(rng), size - at);
                Bytes got(static_cast<size_t>(n));
                s.SetPosition(at);
                s.ReadBuffer(got.data(), n);
                ASSERT_TRUE(std::equal(got.begin(), got.end(), model.begin() + at)) << "step " << step;
                ASSERT_EQ(s.PeekByte(at), model[size_t(at)]);
            }
            ASSERT_EQ(s.Size(), int64_t(model.size())) << "step " << step;
        }
        EXPECT_EQ(readAll(s), model);
        const Bytes flat(s.Memory(), s.Memory() + s.Size());
        EXPECT_EQ(flat, model);
    }
}

TEST(ScatteredStream, GatheringLeavesZerosPastTheEndAndGrowsTheBlockWhenNeeded)
{
    TMemoryStream s;
    s.SetSize(4096);
    std::memset(s.Memory(), 0xAB, 4096);
    // Shrink in the middle: the old tail of the block must read as zero
    // once the stream grows again after gathering.
    s.Remove(100, 1000);
    EXPECT_FALSE(s.IsContiguous());
    s.SetSize(3000);
    ASSERT_EQ(s.Memory()[2999], 0xAB);
    EXPECT_TRUE(s.IsContiguous());
    s.SetSize(4096);
    EXPECT_EQ(s.Memory()[2999], 0xAB);
    EXPECT_EQ(s.Memory()[3000], 0);
    EXPECT_EQ(s.Memory()[4095], 0);
    // Growing while scattered adds zeros too.
    s.Insert(0, "z", 1);
    s.SetSize(5000);
    EXPECT_EQ(s.PeekByte(4096), 0);
    EXPECT_EQ(s.PeekByte(4999), 0);
    EXPECT_EQ(s.Memory()[0], 'z');

    // Growth in the middle beyond the block's capacity.
    const int64_t capacity = s.Capacity();
    s.Insert(10, nullptr, capacity);
    EXPECT_EQ(s.PeekByte(9), 0xAB);
    EXPECT_EQ(s.PeekByte(10), 0);
    EXPECT_EQ(s.PeekByte(10 + capacity), 0xAB);
    const uint8_t* flat = s.Memory();
    EXPECT_EQ(flat[9], 0xAB);
    EXPECT_EQ(flat[10 + capacity - 1], 0);
    EXPECT_EQ(flat[10 + capacity], 0xAB);
}

TEST(ScatteredStream, UndoingAnInsertionMakesTheStreamContiguousAgain)
{
    TMemoryStream s;
    s.SetSize(1 << 20);
    s.Memory()[0] = 1;
    s.Insert(0, "xy", 2);
    EXPECT_FALSE(s.IsContiguous());
    EXPECT_EQ(s.PieceCount(), 2);
    s.Remove(0, 2);
    EXPECT_TRUE(s.IsContiguous()) << "only the block's start is left";
    EXPECT_EQ(s.PeekByte(0), 1);
    EXPECT_EQ(s.Size(), 1 << 20);
}

TEST(ScatteredStream, SavingWritesThePiecesInOrderWithoutGathering)
{
    TMemoryStream s;
    s.SetSize(10);
    std::memcpy(s.Memory(), "0123456789", 10);
    s.Insert(5, "ab", 2);
    s.Remove(0, 1);
    TMemoryStream target;
    s.SaveToStream(target);
    EXPECT_FALSE(s.IsContiguous());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(target.Memory()), size_t(target.Size())), "1234ab56789");
}

TEST(ScatteredStream, BadPositionsAreRefusedAndChangeNothing)
{
    TMemoryStream s;
    s.SetSize(10);
    EXPECT_THROW(s.Insert(11, "x", 1), EStreamError);
    EXPECT_THROW(s.Insert(-1, "x", 1), EStreamError);
    EXPECT_THROW(s.Remove(5, 6), EStreamError);
    EXPECT_THROW(s.Remove(-1, 1), EStreamError);
    EXPECT_EQ(s.Size(), 10);
    EXPECT_TRUE(s.IsContiguous());
}

TEST(ScatteredStream, InsertingItsOwnBytesAtTheEndSurvivesTheBlockMoving)
{
    TMemoryStream s;
    s.SetSize(1000);
    std::memset(s.Memory(), 0x5C, 1000);
    s.SetPosition(7);
    // Growing past the heap block's capacity moves it to a mapped block.
    for (int i = 0; i < 12; ++i)
        s.Insert(s.Size(), s.Memory(), s.Size());
    EXPECT_EQ(s.Size(), int64_t(1000) << 12);
    EXPECT_TRUE(s.IsContiguous());
    EXPECT_EQ(s.Position(), 7) << "inserting keeps the position";
    const uint8_t* flat = s.Memory();
    EXPECT_TRUE(std::all_of(flat, flat + s.Size(), [](uint8_t b) { return b == 0x5C; }));
}
