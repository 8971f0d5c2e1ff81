#include "hexeditor/core/mphdigest.h"

#include "hexeditor/core/mphexception.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>

namespace {

struct TKindInfo
{
    TMPHDigestKind Kind;
    const char* Name;
    const char* Key;
};

constexpr TKindInfo kKinds[DigestKindCount] = {
    {TMPHDigestKind::Crc32, "CRC-32", "crc32"},     {TMPHDigestKind::Adler32, "Adler-32", "adler32"},
    {TMPHDigestKind::Md5, "MD5", "md5"},            {TMPHDigestKind::Sha1, "SHA-1", "sha1"},
    {TMPHDigestKind::Sha256, "SHA-256", "sha256"}, {TMPHDigestKind::Sha512, "SHA-512", "sha512"},
};

QCryptographicHash::Algorithm HashAlgorithm(TMPHDigestKind kind)
{
    switch (kind) {
    case TMPHDigestKind::Md5: return QCryptographicHash::Md5;
    case TMPHDigestKind::Sha1: return QCryptographicHash::Sha1;
    case TMPHDigestKind::Sha256: return QCryptographicHash::Sha256;
    default: return QCryptographicHash::Sha512;
    }
}

// libcrypto's name of the algorithm.
const char* LibcryptoName(TMPHDigestKind kind)
{
    switch (kind) {
    case TMPHDigestKind::Md5: return "MD5";
    case TMPHDigestKind::Sha1: return "SHA1";
    case TMPHDigestKind::Sha256: return "SHA256";
    default: return "SHA512";
    }
}

QByteArray BigEndian32(uint32_t value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(value >> (24 - 8 * i));
    return bytes;
}

} // namespace

// A libcrypto digest context. Qt's own hashing code runs at half the speed of
// sha256sum on a large span; libcrypto picks the SHA extensions or AVX2 code
// where the processor has them.
struct TMPHDigest::TLibcryptoHash
{
    EVP_MD* Md = nullptr;
    EVP_MD_CTX* Ctx = nullptr;

    ~TLibcryptoHash()
    {
        EVP_MD_CTX_free(Ctx);
        EVP_MD_free(Md);
    }

    // Null when libcrypto does not offer the algorithm; the failed attempt
    // leaves nothing in the thread's error queue for other users of it.
    static std::unique_ptr<TLibcryptoHash> Start(TMPHDigestKind kind)
    {
        ERR_set_mark();
        auto hash = std::make_unique<TLibcryptoHash>();
        hash->Md = EVP_MD_fetch(nullptr, LibcryptoName(kind), nullptr);
        hash->Ctx = hash->Md ? EVP_MD_CTX_new() : nullptr;
        if (!hash->Ctx || EVP_DigestInit_ex(hash->Ctx, hash->Md, nullptr) != 1) {
            ERR_pop_to_mark();
            return nullptr;
        }
        ERR_clear_last_mark();
        return hash;
    }

    void Add(const uint8_t* data, size_t size)
    {
        if (EVP_DigestUpdate(Ctx, data, size) != 1)
            throw EMPHexEditor(QStringLiteral("The digest could not be computed"));
    }

    // Finishes a copy, so that Add may go on.
    QByteArray Result() const
    {
        std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> copy(EVP_MD_CTX_new(), EVP_MD_CTX_free);
        unsigned char value[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (!copy || EVP_MD_CTX_copy_ex(copy.get(), Ctx) != 1 || EVP_DigestFinal_ex(copy.get(), value, &length) != 1)
            throw EMPHexEditor(QStringLiteral("The digest could not be computed"));
        return QByteArray(reinterpret_cast<const char*>(value), qsizetype(length));
    }
};

QString DigestKindName(TMPHDigestKind kind) { return QLatin1String(kKinds[int(kind)].Name); }
QString DigestKindKey(TMPHDigestKind kind) { return QLatin1String(kKinds[int(kind)].Key); }

bool DigestKindFromKey(const QString& key, TMPHDigestKind& kind)
{
    for (const TKindInfo& info : kKinds)
        if (key.compare(QLatin1String(info.Key), Qt::CaseInsensitive) == 0) {
            kind = info.Kind;
            return true;
        }
    return false;
}

QList<TMPHDigestKind> AllDigestKinds()
{
    QList<TMPHDigestKind> kinds;
    for (const TKindInfo& info : kKinds)
        kinds.append(info.Kind);
    return kinds;
}

TMPHDigest::TMPHDigest(TMPHDigestKind kind, TMPHCrc32Update crc32) : m_kind(kind), m_crc32(crc32)
{
    switch (kind) {
    case TMPHDigestKind::Crc32:
        if (!crc32)
            throw EMPHexEditor(QStringLiteral("No CRC-32 function given"));
        m_reg = 0xFFFFFFFFu;
        break;
    case TMPHDigestKind::Adler32:
        m_reg = uint32_t(adler32_z(0L, Z_NULL, 0));
        break;
    default:
        m_fast = TLibcryptoHash::Start(kind);
        if (!m_fast)
            m_hash = std::make_unique<QCryptographicHash>(HashAlgorithm(kind));
        break;
    }
}

TMPHDigest::~TMPHDigest() = default;
TMPHDigest::TMPHDigest(TMPHDigest&&) noexcept = default;
TMPHDigest& TMPHDigest::operator=(TMPHDigest&&) noexcept = default;

void TMPHDigest::Add(const uint8_t* data, size_t size)
{
    if (size == 0)
        return;
    switch (m_kind) {
    case TMPHDigestKind::Crc32:
        m_reg = m_crc32(m_reg, data, size);
        break;
    case TMPHDigestKind::Adler32:
        m_reg = uint32_t(adler32_z(m_reg, data, size));
        break;
    default:
        if (m_fast) {
            m_fast->Add(data, size);
            break;
        }
        // addData takes a QByteArrayView, whose size is a qsizetype.
        m_hash->addData(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
        break;
    }
}

QByteArray TMPHDigest::Result() const
{
    switch (m_kind) {
    case TMPHDigestKind::Crc32: return BigEndian32(~m_reg);
    case TMPHDigestKind::Adler32: return BigEndian32(m_reg);
    default: return m_fast ? m_fast->Result() : m_hash->result();
    }
}

QString TMPHDigest::HexResult() const
{
    return QString::fromLatin1(Result().toHex());
}

TMPHDigestRun::TMPHDigestRun(const uint8_t* data, int64_t size, const QList<TMPHDigestKind>& kinds,
                             TMPHCrc32Update crc32)
    : m_data(data), m_size(std::max<int64_t>(size, 0))
{
    m_digests.reserve(size_t(kinds.size()));
    for (TMPHDigestKind kind : kinds)
        m_digests.emplace_back(kind, crc32);
}

bool TMPHDigestRun::Step(int64_t maxBytes)
{
    const int64_t n = std::min(std::max<int64_t>(maxBytes, 1), m_size - m_done);
    return StepWith(m_data ? m_data + m_done : nullptr, n);
}

bool TMPHDigestRun::StepWith(const uint8_t* slice, int64_t count)
{
    // Each digest walks the same piece while it is still in the cache.
    constexpr int64_t PieceSize = 256 * 1024;
    count = std::clamp<int64_t>(count, 0, m_size - m_done);
    for (int64_t at = 0; at < count;) {
        const int64_t n = std::min(PieceSize, count - at);
        for (TMPHDigest& digest : m_digests)
            digest.Add(slice + at, size_t(n));
        at += n;
    }
    m_done += count;
    return Done();
}

int TMPHDigestRun::Percent() const
{
    return m_size > 0 ? int(m_done * 100 / m_size) : 100;
}
