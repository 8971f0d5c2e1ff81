// Checksums and digests of byte spans: known values, and the same result
// whatever the slices the span is fed in.

#include "hexeditor/core/mphdigest.h"
#include "hexeditor/core/mphexception.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <random>
#include <vector>

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

// 1 MiB of i % 251: its length is no multiple of the pattern's.
QByteArray Pattern()
{
    QByteArray data(1 << 20, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(i % 251);
    return data;
}

// The digest of data fed in pieces of the given sizes, in turn.
std::string HexInPieces(TMPHDigestKind kind, const QByteArray& data, const std::vector<size_t>& pieces)
{
    TMPHDigest digest(kind);
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
    size_t done = 0;
    for (size_t i = 0; done < size_t(data.size()); ++i) {
        const size_t n = std::min(pieces[i % pieces.size()], size_t(data.size()) - done);
        digest.Add(bytes + done, n);
        done += n;
    }
    return digest.HexResult().toStdString();
}

const QList<TMPHDigestKind> kHashKinds = {TMPHDigestKind::Md5, TMPHDigestKind::Sha1, TMPHDigestKind::Sha256,
                                          TMPHDigestKind::Sha512};

QCryptographicHash::Algorithm QtAlgorithm(TMPHDigestKind kind)
{
    switch (kind) {
    case TMPHDigestKind::Md5: return QCryptographicHash::Md5;
    case TMPHDigestKind::Sha1: return QCryptographicHash::Sha1;
    case TMPHDigestKind::Sha256: return QCryptographicHash::Sha256;
    default: return QCryptographicHash::Sha512;
    }
}

// Values as md5sum, sha1sum, sha256sum and sha512sum print them.
struct TKnownHash
{
    TMPHDigestKind Kind;
    const char* Empty;
    const char* Abc;
    const char* Pattern;
};

const TKnownHash kKnownHashes[] = {
    {TMPHDigestKind::Md5, "d41d8cd98f00b204e9800998ecf8427e", "900150983cd24fb0d6963f7d28e17f72",
     "8f293a2f6c19b345152f7a49bb4c643c"},
    {TMPHDigestKind::Sha1, "da39a3ee5e6b4b0d3255bfef95601890afd80709", "a9993e364706816aba3e25717850c26c9cd0d89d",
     "c2fc4cb20f1301a6b0dd211c19e69a13925dbe40"},
    {TMPHDigestKind::Sha256, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
     "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
     "631b84027d6b9e52b539c4e8373622d23032dfadc64d60af87339c9037e4f769"},
    {TMPHDigestKind::Sha512,
     "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
     "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e",
     "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
     "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f",
     "67dad569eefc986a3b2424f5516d5a0284bb53d7b52d75f5ed881a6830a95765"
     "ccc82bc48752fb693422579f11dc9a400561ec1885af9eeef703dbbd312d4fd0"},
};

// Every hash kind against the known values, fed at once and in uneven pieces.
void ExpectKnownHashes()
{
    const QByteArray pattern = Pattern();
    for (const TKnownHash& known : kKnownHashes) {
        const std::string key = DigestKindKey(known.Kind).toStdString();
        EXPECT_EQ(HexOf(known.Kind, QByteArray()).toStdString(), known.Empty) << key;
        EXPECT_EQ(HexOf(known.Kind, QByteArray("abc")).toStdString(), known.Abc) << key;
        EXPECT_EQ(HexInPieces(known.Kind, QByteArray("abc"), {1, 2}), known.Abc) << key;
        EXPECT_EQ(HexOf(known.Kind, pattern).toStdString(), known.Pattern) << key;
        EXPECT_EQ(HexInPieces(known.Kind, pattern, {1, 63, 65, 127, 129, 4099, 65536 + 7}), known.Pattern) << key;
    }
}

// Takes libcrypto's algorithms away from this thread while it lives: its
// library context holds only the provider that offers nothing.
class TNoLibcryptoDigests
{
public:
    TNoLibcryptoDigests()
        : m_context(OSSL_LIB_CTX_new()), m_provider(OSSL_PROVIDER_load(m_context, "null")),
          m_previous(OSSL_LIB_CTX_set0_default(m_context))
    {
    }
    ~TNoLibcryptoDigests()
    {
        OSSL_LIB_CTX_set0_default(m_previous);
        OSSL_PROVIDER_unload(m_provider);
        OSSL_LIB_CTX_free(m_context);
    }
    bool Active() const { return m_provider && m_previous; }

private:
    OSSL_LIB_CTX* m_context;
    OSSL_PROVIDER* m_provider;
    OSSL_LIB_CTX* m_previous;
};

bool LibcryptoHas(const char* name)
{
    EVP_MD* md = EVP_MD_fetch(nullptr, name, nullptr);
    EVP_MD_free(md);
    ERR_clear_error();
    return md != nullptr;
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

TEST(Digest, EveryHashKindGivesTheKnownValuesInAnyPieces)
{
    ASSERT_TRUE(LibcryptoHas("SHA256"));
    ExpectKnownHashes();
}

// The values are those Qt's hashing gave before libcrypto computed them.
TEST(Digest, SameBytesAsQtsHashingWhateverTheLength)
{
    const QByteArray noise = Noise((1 << 20) + 3);
    for (TMPHDigestKind kind : kHashKinds)
        for (int size : {0, 1, 55, 56, 63, 64, 65, 111, 112, 127, 128, 129, 1000, (1 << 20) + 3}) {
            const QByteArray data = noise.left(size);
            const QByteArray expected = QCryptographicHash::hash(data, QtAlgorithm(kind));
            TMPHDigest digest(kind);
            digest.Add(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
            EXPECT_EQ(digest.Result().toHex().toStdString(), expected.toHex().toStdString())
                << DigestKindKey(kind).toStdString() << " size " << size;
            EXPECT_EQ(HexInPieces(kind, data, {7, 1, 300, 64}), expected.toHex().toStdString())
                << DigestKindKey(kind).toStdString() << " size " << size;
        }
}

TEST(Digest, ResultLetsTheDigestGoOnAndMovesKeepTheState)
{
    const auto* abc = reinterpret_cast<const uint8_t*>("abc");
    for (const TKnownHash& known : kKnownHashes) {
        TMPHDigest digest(known.Kind);
        EXPECT_EQ(digest.HexResult().toStdString(), known.Empty);
        digest.Add(abc, 1);
        TMPHDigest moved(std::move(digest));
        moved.Add(abc + 1, 1);
        EXPECT_EQ(moved.HexResult().toStdString(), moved.HexResult().toStdString()); // the same again
        TMPHDigest assigned(TMPHDigestKind::Adler32);
        assigned = std::move(moved);
        assigned.Add(abc + 2, 1);
        EXPECT_EQ(assigned.Kind(), known.Kind);
        EXPECT_EQ(assigned.HexResult().toStdString(), known.Abc) << DigestKindKey(known.Kind).toStdString();
    }
}

TEST(Digest, QtsHashingStandsInWhereLibcryptoLacksTheAlgorithm)
{
    TNoLibcryptoDigests none;
    ASSERT_TRUE(none.Active());
    for (const char* name : {"MD5", "SHA1", "SHA256", "SHA512"})
        ASSERT_FALSE(LibcryptoHas(name)) << name;
    ExpectKnownHashes();
    // The failed look-ups leave no error behind for the next user of libcrypto.
    EXPECT_EQ(ERR_peek_error(), 0u);
    TMPHDigestRun run(nullptr, 0, {TMPHDigestKind::Sha256});
    EXPECT_EQ(run.Digests()[0].HexResult().toStdString(), kKnownHashes[2].Empty);
}
