// Memory streams and the exact-transfer and copy operations of every stream.

#include "platform/core/streams.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

QByteArray pattern(int64_t size, int seed = 7)
{
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    uint32_t x = static_cast<uint32_t>(seed) * 2654435761u + 1;
    for (auto& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<char>(x >> 24);
    }
    return bytes;
}

QByteArray contentOf(TMemoryStream& s)
{
    return QByteArray(reinterpret_cast<const char*>(s.Memory()), static_cast<qsizetype>(s.Size()));
}

bool aligned64(const void* p)
{
    return (reinterpret_cast<uintptr_t>(p) & 63) == 0;
}

int64_t residentBytes()
{
    long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr)
        return -1;
    const int got = std::fscanf(f, "%ld %ld", &pages, &resident);
    std::fclose(f);
    return got == 2 ? int64_t(resident) * ::sysconf(_SC_PAGESIZE) : -1;
}

// A stream over a byte array that moves at most `step` bytes per call and
// accepts at most `limit` bytes in all; it may also understate its size.
class TrickleStream : public TStream
{
public:
    QByteArray data;
    int64_t position = 0;
    int64_t step = 3;
    int64_t limit = INT64_MAX;
    bool hideSize = false;

    int64_t Read(void* buffer, int64_t count) override
    {
        const int64_t n = std::min({count, step, std::max<int64_t>(0, data.size() - position)});
        std::memcpy(buffer, data.constData() + position, static_cast<size_t>(n));
        position += n;
        return n;
    }
    int64_t Write(const void* buffer, int64_t count) override
    {
        const int64_t n = std::min({count, step, std::max<int64_t>(0, limit - position)});
        if (position + n > data.size())
            data.resize(position + n);
        std::memcpy(data.data() + position, buffer, static_cast<size_t>(n));
        position += n;
        return n;
    }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override
    {
        const int64_t base = origin == TSeekOrigin::soBeginning ? 0
            : origin == TSeekOrigin::soCurrent                  ? position
                                                                : (hideSize ? 0 : data.size());
        position = base + offset;
        return position;
    }
    void SetSize(int64_t newSize) override { data.resize(newSize); }
};

} // namespace

TEST(MemoryStream, GrowsThroughHeapAndMappedBlocksKeepingContentAndAlignment)
{
    const QByteArray bytes = pattern(5 << 20);
    TMemoryStream s;
    EXPECT_EQ(s.Memory(), nullptr);
    int64_t written = 0;
    int64_t step = 1;
    while (written < bytes.size()) {
        const int64_t n = std::min<int64_t>(step, bytes.size() - written);
        ASSERT_EQ(s.Write(bytes.constData() + written, n), n);
        written += n;
        step = step * 3 + 1;
        ASSERT_TRUE(aligned64(s.Memory())) << "at size " << s.Size();
        ASSERT_GE(s.Capacity(), s.Size());
    }
    EXPECT_EQ(s.Position(), bytes.size());
    EXPECT_EQ(contentOf(s), bytes);
}

TEST(MemoryStream, SmallAppendsRarelyMoveTheBlock)
{
    TMemoryStream s;
    const char byte = 'x';
    int moves = 0;
    const uint8_t* last = nullptr;
    for (int i = 0; i < 3'000'000; ++i) {
        s.WriteBuffer(&byte, 1);
        if (s.Memory() != last) {
            ++moves;
            last = s.Memory();
        }
    }
    // Growing by half again each time: a few dozen moves, not one per append.
    EXPECT_LT(moves, 40);

    // Room left over after growth is used without moving.
    const uint8_t* before = s.Memory();
    const int64_t spare = s.Capacity() - s.Size();
    ASSERT_GT(spare, 0);
    std::vector<char> fill(static_cast<size_t>(spare), 'y');
    s.WriteBuffer(fill.data(), spare);
    EXPECT_EQ(s.Memory(), before);
}

TEST(MemoryStream, ShrinkingKeepsTheBlockAndRegrownBytesAreZero)
{
    for (const int64_t size : {int64_t(1000), int64_t(8) << 20}) {
        SCOPED_TRACE(size);
        TMemoryStream s;
        const QByteArray bytes = pattern(size);
        s.WriteBuffer(bytes.constData(), size);
        const uint8_t* block = s.Memory();
        const int64_t capacity = s.Capacity();

        // Small and large cuts take different paths.
        s.SetSize(size - 10);
        s.SetSize(size / 3);
        EXPECT_EQ(s.Position(), size / 3) << "position follows the end inwards";
        EXPECT_EQ(s.Memory(), block);
        EXPECT_EQ(s.Capacity(), capacity);

        s.SetSize(size);
        EXPECT_EQ(s.Memory(), block);
        EXPECT_EQ(contentOf(s).left(size / 3), bytes.left(size / 3));
        EXPECT_EQ(contentOf(s).mid(size / 3), QByteArray(size - size / 3, '\0')) << "old bytes came back";

        s.Clear();
        EXPECT_EQ(s.Memory(), nullptr);
        EXPECT_EQ(s.Size(), 0);
        EXPECT_EQ(s.Capacity(), 0);
        EXPECT_EQ(s.Position(), 0);
    }
}

TEST(MemoryStream, LargeBlocksOnlyOccupyMemoryUpToTheirSize)
{
    const int64_t size = int64_t(64) << 20;
    const int64_t before = residentBytes();
    ASSERT_GT(before, 0);
    TMemoryStream s;
    s.SetSize(size);
    EXPECT_TRUE(aligned64(s.Memory()));
    EXPECT_EQ(s.Memory()[0], 0);
    EXPECT_EQ(s.Memory()[size - 1], 0);
    s.Seek(0, TSeekOrigin::soEnd);
    s.WriteBuffer("z", 1); // grows the capacity well past the size
    EXPECT_GT(s.Capacity(), size + (size / 4));
    const int64_t grown = residentBytes() - before;
    EXPECT_GE(grown, size - (int64_t(4) << 20)) << "size is faulted in ahead";
    EXPECT_LE(grown, size + (int64_t(8) << 20)) << "spare capacity must not be resident";
}

// A block grown to just what it needs (an insert gathered, a load, an undo
// entry) keeps its last, partly used 2 MiB in small pages: a few bytes more
// cost a page of memory, not a huge page. Growing such a block again moves
// it as one piece and keeps every byte.
TEST(MemoryStream, BlocksGrownByAFewBytesOccupyAFewPagesMoreAndGrowOnIntact)
{
    const int64_t size = int64_t(64) << 20;
    const QByteArray bytes = pattern(4096);
    TMemoryStream s;
    s.SetSize(size);
    for (int64_t at = 0; at < size; at += bytes.size())
        std::memcpy(s.Memory() + at, bytes.constData(), size_t(bytes.size()));
    const int64_t before = residentBytes();
    ASSERT_GT(before, 0);
    s.Insert(size - 100, "abc", 3);
    ASSERT_EQ(s.Memory()[size - 100], 'a') << "gathered into a block of size + 3";
    EXPECT_EQ(s.Capacity() % (int64_t(2) << 20), 0);
    const int64_t grown = residentBytes() - before;
    EXPECT_LE(grown, int64_t(256) << 10) << "3 bytes more took " << grown << " bytes of memory";

    s.SetSize(size * 3 / 2); // moves the block past its gathered capacity
    const uint8_t* block = s.Memory();
    EXPECT_EQ(std::memcmp(block, bytes.constData(), size_t(bytes.size())), 0);
    EXPECT_EQ(std::memcmp(block + size - 100, "abc", 3), 0);
    EXPECT_EQ(std::memcmp(block + size - 97, bytes.constData() + (size - 100) % bytes.size(), 100), 0);
    EXPECT_EQ(block[size + 3], 0);
    EXPECT_EQ(block[size * 3 / 2 - 1], 0);
}

TEST(MemoryStream, SeekReadAndWriteBeyondTheEnd)
{
    TMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    char buf[8] = {};
    EXPECT_EQ(s.Seek(-2, TSeekOrigin::soEnd), 4);
    EXPECT_EQ(s.Read(buf, 8), 2);
    EXPECT_EQ(QByteArray(buf, 2), "ef");
    EXPECT_EQ(s.Read(buf, 8), 0);

    EXPECT_EQ(s.Seek(4, TSeekOrigin::soCurrent), 10);
    EXPECT_EQ(s.Read(buf, 8), 0);
    EXPECT_EQ(s.Size(), 6) << "seeking alone does not grow";
    s.WriteBuffer("Z", 1);
    EXPECT_EQ(contentOf(s), QByteArray("abcdef\0\0\0\0Z", 11));

    EXPECT_THROW(s.Seek(-1, TSeekOrigin::soBeginning), EStreamError);
    EXPECT_THROW(s.Seek(INT64_MAX, TSeekOrigin::soEnd), EStreamError);
    EXPECT_EQ(s.Position(), 11) << "a refused seek leaves the position";
    EXPECT_THROW(s.SetSize(-1), EStreamError);
}

TEST(MemoryStream, RefusedGrowthLeavesTheStreamAsItWas)
{
    TMemoryStream s;
    s.WriteBuffer("keep", 4);
    const uint8_t* block = s.Memory();
    try {
        s.SetSize(int64_t(1) << 60);
        FAIL() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Message(), "Out of memory while expanding memory stream");
    }
    s.SetPosition(INT64_MAX - 1);
    EXPECT_THROW(s.Write("ab", 2), EStreamError);
    EXPECT_EQ(s.Size(), 4);
    EXPECT_EQ(s.Memory(), block);
    EXPECT_EQ(contentOf(s), "keep");
}

TEST(MemoryStream, WritingItsOwnBytesSurvivesTheBlockMoving)
{
    TMemoryStream s;
    const QByteArray bytes = pattern(100000);
    s.WriteBuffer(bytes.constData(), bytes.size());
    for (int i = 0; i < 5; ++i) {
        const int64_t size = s.Size();
        s.WriteBuffer(s.Memory(), size); // doubles: the block must move
    }
    ASSERT_EQ(s.Size(), bytes.size() * 32);
    for (int i = 0; i < 32; ++i)
        ASSERT_EQ(contentOf(s).mid(i * bytes.size(), bytes.size()), bytes) << "copy " << i;
}

TEST(Stream, ExactTransfersLoopOverPartialOnesAndFailOnShortOnes)
{
    TrickleStream t;
    t.data = pattern(100);
    char buf[100];
    t.ReadBuffer(buf, 100); // 3 bytes per call
    EXPECT_EQ(QByteArray(buf, 100), t.data);
    try {
        t.ReadBuffer(buf, 1);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }

    TrickleStream full;
    full.limit = 10;
    try {
        full.WriteBuffer(buf, 11);
        FAIL() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "Stream write error");
    }

    TMemoryStream m;
    m.WriteBuffer("abc", 3);
    m.SetPosition(1);
    EXPECT_THROW(m.ReadBuffer(buf, 3), EReadError);
}

TEST(Stream, CopyFromEveryKindOfSourceIntoEveryKindOfTarget)
{
    const QByteArray bytes = pattern(3 << 20);

    // Count 0 takes the whole source from its start, wherever it stands.
    TMemoryStream source;
    source.WriteBuffer(bytes.constData(), bytes.size());
    TMemoryStream memory;
    memory.WriteBuffer("head", 4);
    EXPECT_EQ(memory.CopyFrom(source, 0), bytes.size());
    EXPECT_EQ(contentOf(memory), "head" + bytes);
    EXPECT_EQ(source.Position(), bytes.size());

    // Memory into a generic stream, then a part of it back into memory.
    TrickleStream trickle;
    trickle.step = 1 << 16;
    source.SetPosition(1000);
    EXPECT_EQ(trickle.CopyFrom(source, 5000), 5000);
    EXPECT_EQ(trickle.data, bytes.mid(1000, 5000));
    EXPECT_EQ(source.Position(), 6000);

    trickle.SetPosition(10);
    TMemoryStream back;
    back.WriteBuffer("0123456789", 10);
    back.SetPosition(2);
    EXPECT_EQ(back.CopyFrom(trickle, 100), 100);
    EXPECT_EQ(back.Position(), 102);
    EXPECT_EQ(contentOf(back), "01" + bytes.mid(1010, 100));

    // Generic to generic goes through a buffer.
    TrickleStream target;
    EXPECT_EQ(target.CopyFrom(trickle, 0), 5000);
    EXPECT_EQ(target.data, trickle.data);
}

TEST(Stream, CopyFromAShortSourceFailsKeepingWhatArrived)
{
    TMemoryStream memory;
    memory.WriteBuffer("0123456789", 10);
    memory.SetPosition(8);
    TrickleStream shortSource;
    shortSource.data = "abcde";
    EXPECT_THROW(memory.CopyFrom(shortSource, 20), EReadError);
    EXPECT_EQ(contentOf(memory), "01234567abcde");
    EXPECT_EQ(memory.Position(), 13);

    // A memory source without enough bytes is refused before anything is written.
    TMemoryStream small;
    small.WriteBuffer("xyz", 3);
    small.SetPosition(1);
    TrickleStream target;
    EXPECT_THROW(target.CopyFrom(small, 3), EReadError);
    EXPECT_TRUE(target.data.isEmpty());
    EXPECT_EQ(small.Position(), 1);
}

TEST(Stream, CopyFromItselfReadsThenWritesThroughOnePosition)
{
    TMemoryStream s;
    s.WriteBuffer("abcd", 4);
    s.SetPosition(0);
    EXPECT_EQ(s.CopyFrom(s, 2), 2);
    EXPECT_EQ(contentOf(s), "abab");
    EXPECT_EQ(s.Position(), 4);
}

TEST(MemoryStream, LoadAndSave)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray bytes = pattern(2'500'000);
    const QString path = dir.filePath("data.bin");
    {
        TFileStream out(path, TFileMode::fmCreate);
        TMemoryStream m;
        m.WriteBuffer(bytes.constData(), bytes.size());
        m.SetPosition(17);
        m.SaveToStream(out);
        EXPECT_EQ(m.Position(), 17);
    }
    TMemoryStream loaded;
    loaded.WriteBuffer("old", 3);
    loaded.LoadFromFile(path);
    EXPECT_EQ(contentOf(loaded), bytes);
    EXPECT_EQ(loaded.Position(), 0);

    // A failed load loses nothing.
    EXPECT_THROW(loaded.LoadFromFile(dir.filePath("missing.bin")), EFileOpenError);
    EXPECT_EQ(contentOf(loaded), bytes);

    // The whole stream is read, even past a size it understated.
    TrickleStream vague;
    vague.data = pattern(300000, 3);
    vague.step = 4096;
    vague.hideSize = true;
    vague.position = 1234;
    loaded.LoadFromStream(vague);
    EXPECT_EQ(contentOf(loaded), vague.data);

    TMemoryStream copy;
    copy.LoadFromStream(loaded);
    EXPECT_EQ(contentOf(copy), vague.data);
    EXPECT_EQ(loaded.Position(), loaded.Size());
}
