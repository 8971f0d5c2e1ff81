// The marker search on a file reads it in chunks; a marker that straddles two
// chunks, or lies at the very end, is found all the same.

#include "firmware/core/bootimage.h"
#include "platform/core/streams.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int64_t kChunk = int64_t(1) << 20;

// A file of size bytes (never 0xE3) with markers at the given offsets.
QString WriteImage(const QTemporaryDir& dir, int64_t size, std::initializer_list<int64_t> markers,
                   const QByteArray& marker = QByteArray("\xE3\x00\x00\x10", 4))
{
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    for (int64_t i = 0; i < size; ++i)
        bytes[static_cast<qsizetype>(i)] = static_cast<char>((i * 13 + (i >> 10)) & 0x7F);
    for (int64_t at : markers)
        bytes.replace(at, marker.size(), marker);
    const QString path = dir.filePath(QStringLiteral("image-%1.bin").arg(qHash(bytes)));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    EXPECT_EQ(f.write(bytes), size);
    return path;
}

int32_t SearchFile(const QString& path)
{
    TFileStream file(path, TFileMode::fmOpenRead);
    file.SetPosition(5); // the search starts at the first byte whatever the position
    const int32_t offset = boot::FindBootMarker(file);
    EXPECT_EQ(file.Position(), file.Size()) << "the stream stands at its end afterwards";
    return offset;
}

} // namespace

TEST(MarkerChunks, MarkersAcrossChunkBoundariesAreFound)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const int64_t size = 3 * kChunk + 123;
    for (int64_t boundary : {kChunk, 2 * kChunk}) {
        for (int64_t back = 0; back <= 4; ++back) {
            SCOPED_TRACE(boundary - back);
            EXPECT_EQ(SearchFile(WriteImage(dir, size, {boundary - back})), boundary - back);
        }
    }
    // The first of two markers, the second in a later chunk.
    EXPECT_EQ(SearchFile(WriteImage(dir, size, {2 * kChunk + 7, kChunk - 2})), kChunk - 2);
    // At the very end, and nowhere.
    EXPECT_EQ(SearchFile(WriteImage(dir, size, {size - 4})), size - 4);
    EXPECT_EQ(SearchFile(WriteImage(dir, size, {})), 0);
}

TEST(MarkerChunks, NearMatchesAcrossABoundaryAreNotMarkers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const int64_t size = 2 * kChunk + 10;
    // E3 00 00 11 split over the boundary: no marker, offset 0.
    EXPECT_EQ(SearchFile(WriteImage(dir, size, {kChunk - 2}, QByteArray("\xE3\x00\x00\x11", 4))), 0);
    // E3 at the end of a chunk followed by 00 00 10 only later: still none.
    EXPECT_EQ(SearchFile(WriteImage(dir, size, {kChunk - 1}, QByteArray("\xE3\x01", 2))), 0);
    // A small file, shorter than a marker.
    EXPECT_EQ(SearchFile(WriteImage(dir, 3, {})), 0);
}
