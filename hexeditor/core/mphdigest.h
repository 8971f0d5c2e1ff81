#pragma once
// Checksums and digests of a byte span: CRC-32, Adler-32 (zlib), MD5, SHA-1,
// SHA-256 and SHA-512 (OpenSSL's libcrypto, which uses the processor's SHA
// and vector instructions; QCryptographicHash where libcrypto does not offer
// the algorithm). Every digest is fed in pieces, so a large span can be
// summed a slice at a time between events.
//
// The CRC-32 is the firmware tool's own (IEEE 802.3): this layer does not
// link the tool, so whoever asks for a CRC-32 passes its update function.

#include <QByteArray>
#include <QCryptographicHash>
#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

enum class TMPHDigestKind { Crc32, Adler32, Md5, Sha1, Sha256, Sha512 };
inline constexpr int DigestKindCount = 6;

// Continues a CRC-32 register (not inverted) over bytes.
using TMPHCrc32Update = uint32_t (*)(uint32_t reg, const uint8_t* data, size_t size);

// "CRC-32", "Adler-32", "MD5", "SHA-1", "SHA-256", "SHA-512".
QString DigestKindName(TMPHDigestKind kind);
// The command line's names: crc32, adler32, md5, sha1, sha256, sha512.
QString DigestKindKey(TMPHDigestKind kind);
// The kind named by a key (case-insensitive); false for an unknown key.
bool DigestKindFromKey(const QString& key, TMPHDigestKind& kind);
QList<TMPHDigestKind> AllDigestKinds();

class TMPHDigest
{
public:
    // Raises EMPHexEditor when a CRC-32 is asked for without crc32.
    explicit TMPHDigest(TMPHDigestKind kind, TMPHCrc32Update crc32 = nullptr);
    ~TMPHDigest();
    TMPHDigest(TMPHDigest&&) noexcept;
    TMPHDigest& operator=(TMPHDigest&&) noexcept;

    TMPHDigestKind Kind() const { return m_kind; }
    void Add(const uint8_t* data, size_t size);
    // The digest of everything added so far (CRC-32 and Adler-32 as four
    // bytes, most significant first); Add may go on afterwards.
    QByteArray Result() const;
    // Result() in lower-case hexadecimal, as sha256sum prints it.
    QString HexResult() const;

private:
    TMPHDigestKind m_kind;
    TMPHCrc32Update m_crc32 = nullptr;
    uint32_t m_reg = 0;
    // The hash state: libcrypto's context, or Qt's hash when libcrypto lacks
    // the algorithm (a provider configuration without it, say).
    struct TLibcryptoHash;
    std::unique_ptr<TLibcryptoHash> m_fast;
    std::unique_ptr<QCryptographicHash> m_hash;
};

// Several digests of one span, computed a slice at a time. The span must stay
// unchanged until Done (the caller restarts on a change).
class TMPHDigestRun
{
public:
    TMPHDigestRun(const uint8_t* data, int64_t size, const QList<TMPHDigestKind>& kinds,
                  TMPHCrc32Update crc32 = nullptr);

    // Feeds at most maxBytes more to every digest; true once all is summed.
    bool Step(int64_t maxBytes);
    // For a run made without data (null): feeds the next count bytes of the
    // data, held at slice by the caller (at most the remaining ones count).
    bool StepWith(const uint8_t* slice, int64_t count);
    bool Done() const { return m_done >= m_size; }
    int64_t Processed() const { return m_done; }
    int Percent() const;
    const std::vector<TMPHDigest>& Digests() const { return m_digests; }

private:
    const uint8_t* m_data;
    int64_t m_size;
    int64_t m_done = 0;
    std::vector<TMPHDigest> m_digests;
};
