// CRC-32 of memory and of files, and the checksum's display text.

#include "firmware/core/bootimage.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using namespace boot;

// A reproducible byte sequence (64-bit LCG, top byte of each state).
QByteArray LcgBytes(qsizetype n, uint64_t seed)
{
    QByteArray out(n, Qt::Uninitialized);
    uint64_t x = seed;
    for (qsizetype i = 0; i < n; ++i) {
        x = x * 6364136223846793005ULL + 1442695040888963407ULL;
        out[i] = static_cast<char>(x >> 56);
    }
    return out;
}

const uint8_t* Bytes(const QByteArray& a)
{
    return reinterpret_cast<const uint8_t*>(a.constData());
}

uint32_t Crc(const QByteArray& a)
{
    return ~Crc32Update(0xFFFFFFFF, Bytes(a), static_cast<size_t>(a.size()));
}

void WriteFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(data), data.size());
}

TEST(Crc32, ReferenceTableIsTheReflectedPolynomialTable)
{
    const uint32_t* table = Crc32Table();
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        ASSERT_EQ(table[i], c) << "entry " << i;
    }
}

TEST(Crc32, KnownVectorsInEveryLoop)
{
    // Expected values of the standard CRC-32 (as zlib and IEEE 802.3 give them).
    const std::vector<std::pair<QByteArray, uint32_t>> cases = {
        {QByteArray(), 0x00000000},
        {QByteArray("a"), 0xE8B7BE43},
        {QByteArray("abc"), 0x352441C2},
        {QByteArray("123456789"), 0xCBF43926},
        {QByteArray("The quick brown fox jumps over the lazy dog"), 0x414FA339},
        {QByteArray(32, '\0'), 0x190A55AD},
        {QByteArray(32, '\xFF'), 0xFF6CAB0B},
        {LcgBytes(1000003, 1), 0xD275DCFD},
    };
    for (const auto& [data, expected] : cases) {
        SCOPED_TRACE("length " + std::to_string(data.size()));
        const size_t n = static_cast<size_t>(data.size());
        EXPECT_EQ(Crc(data), expected);
        EXPECT_EQ(~Crc32UpdateBytewise(0xFFFFFFFF, Bytes(data), n), expected);
        EXPECT_EQ(~Crc32UpdateSliced(0xFFFFFFFF, Bytes(data), n), expected);
        if (Crc32HasClmul()) {
            EXPECT_EQ(~Crc32UpdateClmul(0xFFFFFFFF, Bytes(data), n), expected);
        }
    }
}

TEST(Crc32, FastLoopsMatchTheReferenceOnRandomData)
{
    // Every length up to well past the 64-byte folding block, plus some large
    // ones, at every alignment within 16 bytes, from random start registers.
    std::mt19937 rng(20240611);
    std::vector<uint8_t> buffer(70000 + 16);
    for (auto& b : buffer)
        b = static_cast<uint8_t>(rng());
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 300; ++n)
        lengths.push_back(n);
    for (size_t n : {511u, 512u, 513u, 1023u, 4096u, 4111u, 65521u, 70000u})
        lengths.push_back(n);

    for (size_t n : lengths) {
        for (size_t align = 0; align < 16; ++align) {
            const uint8_t* p = buffer.data() + align;
            const uint32_t reg = static_cast<uint32_t>(rng());
            const uint32_t expected = Crc32UpdateBytewise(reg, p, n);
            ASSERT_EQ(Crc32UpdateSliced(reg, p, n), expected) << "length " << n << " align " << align;
            ASSERT_EQ(Crc32Update(reg, p, n), expected) << "length " << n << " align " << align;
            if (Crc32HasClmul()) {
                ASSERT_EQ(Crc32UpdateClmul(reg, p, n), expected) << "length " << n << " align " << align;
            }
        }
    }
}

TEST(FileCrc32, FilesOfKnownContent)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    const QString digits = dir.filePath("digits.bin");
    WriteFile(digits, "123456789");
    EXPECT_EQ(FileCrc32(digits), 0xCBF43926u);

    // Several read blocks and a partial last one.
    const QString large = dir.filePath("large.bin");
    WriteFile(large, LcgBytes(3 * 262144 + 17, 7));
    EXPECT_EQ(FileCrc32(large), 0xD75B8DC9u);

    // Write-protected files are read without asking for write access.
    ASSERT_TRUE(QFile::setPermissions(large, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    EXPECT_EQ(FileCrc32(large), 0xD75B8DC9u);

    const QString empty = dir.filePath("empty.bin");
    WriteFile(empty, QByteArray());
    EXPECT_EQ(FileCrc32(empty), 0u);
}

TEST(FileCrc32, UnusablePathsGiveZero)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(FileCrc32(dir.filePath("missing.bin")), 0u);
    EXPECT_EQ(FileCrc32(dir.path()), 0u);
    EXPECT_EQ(FileCrc32(QString()), 0u);
}

TEST(FileCrc32, FileWithoutReadPermissionGivesZeroUnlessTheSystemLetsUsRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString locked = dir.filePath("locked.bin");
    WriteFile(locked, "123456789");
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::Permissions()));
    // The system decides, not the permission bits as we read them: root may
    // read the file and gets its checksum, everybody else gets none.
    EXPECT_EQ(FileCrc32(locked), ::geteuid() == 0 ? 0xCBF43926u : 0u);
}

TEST(ChecksumText, UpperCaseHexWithAtLeastSixDigits)
{
    EXPECT_EQ(ChecksumText(0x00012345), "012345");
    EXPECT_EQ(ChecksumText(0x0000ABCD), "00ABCD");
    EXPECT_EQ(ChecksumText(0x00000001), "000001");
    EXPECT_EQ(ChecksumText(0x00ABCDEF), "ABCDEF");
    EXPECT_EQ(ChecksumText(0x0ABCDEF0), "ABCDEF0");
    EXPECT_EQ(ChecksumText(0xCBF43926), "CBF43926");
    EXPECT_EQ(ChecksumText(0xFFFFFFFF), "FFFFFFFF");
    // Zero means "no checksum": nothing to show.
    EXPECT_TRUE(ChecksumText(0).isEmpty());
}

} // namespace
