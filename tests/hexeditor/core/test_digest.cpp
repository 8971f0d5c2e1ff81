// Checksums and digests of byte spans: known values, and the same result
// whatever the slices the span is fed in.

#include "hexeditor/core/mphdigest.h"
#include "hexeditor/core/mphexception.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Bitwise CRC-32 (IEEE 802.3) register update, independent of the tool's.
uint32_t BitwiseCrc32(uint32_t reg, const uint8_t* data, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        reg ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 1) ? (reg >> 1) ^ 0xEDB88320u : reg >> 1;
    }
    return reg;
}

QString HexOf(TMPHDigestKind kind, const QByteArray& bytes)
{
    TMPHDigest digest(kind, BitwiseCrc32);
    digest.Add(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    return digest.HexResult();
}

QByteArray Noise(int size)
{
    std::mt19937 rng(7);
    QByteArray data(size, '\0');
    for (char& c : data)
        c = char(rng());
    return data;
}

} // namespace

TEST(Digest, KnownValues)
{
    const QByteArray check("123456789");
    EXPECT_EQ(HexOf(TMPHDigestKind::Crc32, check), QStringLiteral("cbf43926"));
    EXPECT_EQ(HexOf(TMPHDigestKind::Adler32, QByteArray("Wikipedia")), QStringLiteral("11e60398"));
    EXPECT_EQ(HexOf(TMPHDigestKind::Md5, QByteArray()), QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
    EXPECT_EQ(HexOf(TMPHDigestKind::Sha1, QByteArray("abc")),
              QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d"));
    EXPECT_EQ(HexOf(TMPHDigestKind::Sha256, QByteArray("abc")),
              QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    EXPECT_EQ(HexOf(TMPHDigestKind::Sha512, QByteArray("abc")),
              QStringLiteral("ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
                             "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f"));
}

TEST(Digest, EmptyInputGivesTheInitialValues)
{
    EXPECT_EQ(HexOf(TMPHDigestKind::Crc32, QByteArray()), QStringLiteral("00000000"));
    EXPECT_EQ(HexOf(TMPHDigestKind::Adler32, QByteArray()), QStringLiteral("00000001"));
}

TEST(Digest, KeysAndNamesRoundTrip)
{
    for (TMPHDigestKind kind : AllDigestKinds()) {
        TMPHDigestKind found = TMPHDigestKind::Md5;
        ASSERT_TRUE(DigestKindFromKey(DigestKindKey(kind).toUpper(), found)) << DigestKindKey(kind).toStdString();
        EXPECT_EQ(found, kind);
    }
    TMPHDigestKind unused;
    EXPECT_FALSE(DigestKindFromKey(QStringLiteral("sha3"), unused));
    EXPECT_FALSE(DigestKindFromKey(QString(), unused));
    EXPECT_EQ(DigestKindName(TMPHDigestKind::Sha256), QStringLiteral("SHA-256"));
}

TEST(Digest, CrcWithoutFunctionIsRefused)
{
    EXPECT_THROW(TMPHDigest(TMPHDigestKind::Crc32), EMPHexEditor);
    EXPECT_NO_THROW(TMPHDigest(TMPHDigestKind::Sha1));
}

TEST(DigestRun, SlicesGiveTheWholeSpansResult)
{
    const QByteArray data = Noise(700001);
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
    for (int64_t slice : {int64_t(1), int64_t(7), int64_t(4096), int64_t(300000), int64_t(1) << 40}) {
        TMPHDigestRun run(bytes, data.size(), AllDigestKinds(), BitwiseCrc32);
        int steps = 0;
        int lastPercent = -1;
        while (!run.Step(slice)) {
            EXPECT_GE(run.Percent(), lastPercent);
            lastPercent = run.Percent();
            ++steps;
            if (slice == 1 && steps > 2000)
                break; // enough to see that tiny slices add up; finish in one go
        }
        if (!run.Done())
            run.Step(int64_t(1) << 40);
        ASSERT_TRUE(run.Done());
        EXPECT_EQ(run.Percent(), 100);
        for (const TMPHDigest& digest : run.Digests())
            EXPECT_EQ(digest.HexResult(), HexOf(digest.Kind(), data))
                << DigestKindKey(digest.Kind()).toStdString() << " slice " << slice;
    }
}

TEST(DigestRun, EmptySpanIsDoneAtOnce)
{
    TMPHDigestRun run(nullptr, 0, {TMPHDigestKind::Sha256}, BitwiseCrc32);
    EXPECT_TRUE(run.Done());
    EXPECT_EQ(run.Percent(), 100);
    EXPECT_TRUE(run.Step(100));
    EXPECT_EQ(run.Digests()[0].HexResult(),
              QStringLiteral("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
}
