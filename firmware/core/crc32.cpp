// CRC-32 as defined for IEEE 802.3: reflected polynomial 0xEDB88320, register
// preset to 0xFFFFFFFF, result inverted. The 256-entry table below is the
// reference; the faster loops are checked against it by the tests.

#include "firmware/core/bootimage.h"

#include <bit>
#include <cstring>
#include <memory>

#include <fcntl.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define EDITBOOT_HAVE_CLMUL 1
#else
#define EDITBOOT_HAVE_CLMUL 0
#endif

namespace boot {

namespace {

// table[i]: the register after shifting the byte i through it (reflected).
constexpr uint32_t kCrc32Table[256] = {
    0x00000000, 0x77073096, 0xEE0E612C, 0x990951BA, 0x076DC419, 0x706AF48F,
    0xE963A535, 0x9E6495A3, 0x0EDB8832, 0x79DCB8A4, 0xE0D5E91E, 0x97D2D988,
    0x09B64C2B, 0x7EB17CBD, 0xE7B82D07, 0x90BF1D91, 0x1DB71064, 0x6AB020F2,
    0xF3B97148, 0x84BE41DE, 0x1ADAD47D, 0x6DDDE4EB, 0xF4D4B551, 0x83D385C7,
    0x136C9856, 0x646BA8C0, 0xFD62F97A, 0x8A65C9EC, 0x14015C4F, 0x63066CD9,
    0xFA0F3D63, 0x8D080DF5, 0x3B6E20C8, 0x4C69105E, 0xD56041E4, 0xA2677172,
    0x3C03E4D1, 0x4B04D447, 0xD20D85FD, 0xA50AB56B, 0x35B5A8FA, 0x42B2986C,
    0xDBBBC9D6, 0xACBCF940, 0x32D86CE3, 0x45DF5C75, 0xDCD60DCF, 0xABD13D59,
    0x26D930AC, 0x51DE003A, 0xC8D75180, 0xBFD06116, 0x21B4F4B5, 0x56B3C423,
    0xCFBA9599, 0xB8BDA50F, 0x2802B89E, 0x5F058808, 0xC60CD9B2, 0xB10BE924,
    0x2F6F7C87, 0x58684C11, 0xC1611DAB, 0xB6662D3D, 0x76DC4190, 0x01DB7106,
    0x98D220BC, 0xEFD5102A, 0x71B18589, 0x06B6B51F, 0x9FBFE4A5, 0xE8B8D433,
    0x7807C9A2, 0x0F00F934, 0x9609A88E, 0xE10E9818, 0x7F6A0DBB, 0x086D3D2D,
    0x91646C97, 0xE6635C01, 0x6B6B51F4, 0x1C6C6162, 0x856530D8, 0xF262004E,
    0x6C0695ED, 0x1B01A57B, 0x8208F4C1, 0xF50FC457, 0x65B0D9C6, 0x12B7E950,
    0x8BBEB8EA, 0xFCB9887C, 0x62DD1DDF, 0x15DA2D49, 0x8CD37CF3, 0xFBD44C65,
    0x4DB26158, 0x3AB551CE, 0xA3BC0074, 0xD4BB30E2, 0x4ADFA541, 0x3DD895D7,
    0xA4D1C46D, 0xD3D6F4FB, 0x4369E96A, 0x346ED9FC, 0xAD678846, 0xDA60B8D0,
    0x44042D73, 0x33031DE5, 0xAA0A4C5F, 0xDD0D7CC9, 0x5005713C, 0x270241AA,
    0xBE0B1010, 0xC90C2086, 0x5768B525, 0x206F85B3, 0xB966D409, 0xCE61E49F,
    0x5EDEF90E, 0x29D9C998, 0xB0D09822, 0xC7D7A8B4, 0x59B33D17, 0x2EB40D81,
    0xB7BD5C3B, 0xC0BA6CAD, 0xEDB88320, 0x9ABFB3B6, 0x03B6E20C, 0x74B1D29A,
    0xEAD54739, 0x9DD277AF, 0x04DB2615, 0x73DC1683, 0xE3630B12, 0x94643B84,
    0x0D6D6A3E, 0x7A6A5AA8, 0xE40ECF0B, 0x9309FF9D, 0x0A00AE27, 0x7D079EB1,
    0xF00F9344, 0x8708A3D2, 0x1E01F268, 0x6906C2FE, 0xF762575D, 0x806567CB,
    0x196C3671, 0x6E6B06E7, 0xFED41B76, 0x89D32BE0, 0x10DA7A5A, 0x67DD4ACC,
    0xF9B9DF6F, 0x8EBEEFF9, 0x17B7BE43, 0x60B08ED5, 0xD6D6A3E8, 0xA1D1937E,
    0x38D8C2C4, 0x4FDFF252, 0xD1BB67F1, 0xA6BC5767, 0x3FB506DD, 0x48B2364B,
    0xD80D2BDA, 0xAF0A1B4C, 0x36034AF6, 0x41047A60, 0xDF60EFC3, 0xA867DF55,
    0x316E8EEF, 0x4669BE79, 0xCB61B38C, 0xBC66831A, 0x256FD2A0, 0x5268E236,
    0xCC0C7795, 0xBB0B4703, 0x220216B9, 0x5505262F, 0xC5BA3BBE, 0xB2BD0B28,
    0x2BB45A92, 0x5CB36A04, 0xC2D7FFA7, 0xB5D0CF31, 0x2CD99E8B, 0x5BDEAE1D,
    0x9B64C2B0, 0xEC63F226, 0x756AA39C, 0x026D930A, 0x9C0906A9, 0xEB0E363F,
    0x72076785, 0x05005713, 0x95BF4A82, 0xE2B87A14, 0x7BB12BAE, 0x0CB61B38,
    0x92D28E9B, 0xE5D5BE0D, 0x7CDCEFB7, 0x0BDBDF21, 0x86D3D2D4, 0xF1D4E242,
    0x68DDB3F8, 0x1FDA836E, 0x81BE16CD, 0xF6B9265B, 0x6FB077E1, 0x18B74777,
    0x88085AE6, 0xFF0F6A70, 0x66063BCA, 0x11010B5C, 0x8F659EFF, 0xF862AE69,
    0x616BFFD3, 0x166CCF45, 0xA00AE278, 0xD70DD2EE, 0x4E048354, 0x3903B3C2,
    0xA7672661, 0xD06016F7, 0x4969474D, 0x3E6E77DB, 0xAED16A4A, 0xD9D65ADC,
    0x40DF0B66, 0x37D83BF0, 0xA9BCAE53, 0xDEBB9EC5, 0x47B2CF7F, 0x30B5FFE9,
    0xBDBDF21C, 0xCABAC28A, 0x53B39330, 0x24B4A3A6, 0xBAD03605, 0xCDD70693,
    0x54DE5729, 0x23D967BF, 0xB3667A2E, 0xC4614AB8, 0x5D681B02, 0x2A6F2B94,
    0xB40BBE37, 0xC30C8EA1, 0x5A05DF1B, 0x2D02EF8D,
};

// kSliceTables[k][i]: the register change caused by byte i followed by k zero
// bytes. Derived from the reference table at compile time.
using TSliceTables = std::array<std::array<uint32_t, 256>, 16>;

constexpr TSliceTables MakeSliceTables()
{
    TSliceTables t{};
    for (int i = 0; i < 256; ++i)
        t[0][i] = kCrc32Table[i];
    for (int k = 1; k < 16; ++k)
        for (int i = 0; i < 256; ++i)
            t[k][i] = (t[k - 1][i] >> 8) ^ kCrc32Table[t[k - 1][i] & 0xFF];
    return t;
}

constexpr TSliceTables kSliceTables = MakeSliceTables();

inline uint32_t Load32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

#if EDITBOOT_HAVE_CLMUL

bool DetectClmul()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
}

// acc folded forward by 16 bytes with the constants k, plus next.
__attribute__((target("pclmul,sse4.1"), always_inline))
inline __m128i Fold16(__m128i acc, __m128i next, __m128i k)
{
    const __m128i lo = _mm_clmulepi64_si128(acc, k, 0x00);
    const __m128i hi = _mm_clmulepi64_si128(acc, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(hi, lo), next);
}

// Folds 64-byte blocks with carry-less multiplication and reduces the 128-bit
// remainder to the 32-bit register (Barrett reduction). The constants are
// powers of x modulo the bit-reflected polynomial:
//   k1 = x^(4*128+32) mod P, k2 = x^(4*128-32) mod P   (fold by 64 bytes)
//   k3 = x^(128+32) mod P,   k4 = x^(128-32) mod P     (fold by 16 bytes)
//   k5 = x^64 mod P; mu = x^64 / P and P itself, both 33 bits.
// size must be at least 64 and a multiple of 16.
__attribute__((target("pclmul,sse4.1")))
uint32_t ClmulBlocks(uint32_t reg, const uint8_t* data, size_t size)
{
    alignas(16) static const uint64_t k1k2[2] = {0x0154442bd4, 0x01c6e41596};
    alignas(16) static const uint64_t k3k4[2] = {0x01751997d0, 0x00ccaa009e};
    alignas(16) static const uint64_t k5k0[2] = {0x0163cd6124, 0x0000000000};
    alignas(16) static const uint64_t poly[2] = {0x01db710641, 0x01f7011641};

    auto load = [](const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };

    __m128i x1 = load(data + 0x00);
    __m128i x2 = load(data + 0x10);
    __m128i x3 = load(data + 0x20);
    __m128i x4 = load(data + 0x30);
    x1 = _mm_xor_si128(x1, _mm_cvtsi32_si128(static_cast<int>(reg)));
    data += 64;
    size -= 64;

    // Four independent lanes of 16 bytes, each folded forward by 64 bytes.
    __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(k1k2));
    while (size >= 64) {
        const __m128i l1 = _mm_clmulepi64_si128(x1, k, 0x00);
        const __m128i l2 = _mm_clmulepi64_si128(x2, k, 0x00);
        const __m128i l3 = _mm_clmulepi64_si128(x3, k, 0x00);
        const __m128i l4 = _mm_clmulepi64_si128(x4, k, 0x00);
        x1 = _mm_clmulepi64_si128(x1, k, 0x11);
        x2 = _mm_clmulepi64_si128(x2, k, 0x11);
        x3 = _mm_clmulepi64_si128(x3, k, 0x11);
        x4 = _mm_clmulepi64_si128(x4, k, 0x11);
        x1 = _mm_xor_si128(_mm_xor_si128(x1, l1), load(data + 0x00));
        x2 = _mm_xor_si128(_mm_xor_si128(x2, l2), load(data + 0x10));
        x3 = _mm_xor_si128(_mm_xor_si128(x3, l3), load(data + 0x20));
        x4 = _mm_xor_si128(_mm_xor_si128(x4, l4), load(data + 0x30));
        data += 64;
        size -= 64;
    }

    // Fold the four lanes into one, then any remaining 16-byte blocks.
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(k3k4));
    x1 = Fold16(x1, x2, k);
    x1 = Fold16(x1, x3, k);
    x1 = Fold16(x1, x4, k);
    while (size >= 16) {
        x1 = Fold16(x1, load(data), k);
        data += 16;
        size -= 16;
    }

    // 128 bits to 64 bits.
    const __m128i mask32 = _mm_setr_epi32(-1, 0, -1, 0);
    x2 = _mm_clmulepi64_si128(x1, k, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k5k0));
    x2 = _mm_srli_si128(x1, 4);
    x1 = _mm_and_si128(x1, mask32);
    x1 = _mm_clmulepi64_si128(x1, k, 0x00);
    x1 = _mm_xor_si128(x1, x2);

    // Barrett reduction to 32 bits.
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(poly));
    x2 = _mm_and_si128(x1, mask32);
    x2 = _mm_clmulepi64_si128(x2, k, 0x10);
    x2 = _mm_and_si128(x2, mask32);
    x2 = _mm_clmulepi64_si128(x2, k, 0x00);
    x1 = _mm_xor_si128(x1, x2);
    return static_cast<uint32_t>(_mm_extract_epi32(x1, 1));
}

#else

bool DetectClmul() { return false; }

#endif

const bool kHasClmul = DetectClmul();

// Files are read in blocks this large: big enough to keep the number of
// system calls small, small enough for the block to stay in the cache
// between the read and the checksum loop.
constexpr int64_t kFileBlockSize = 256 * 1024;

} // namespace

const uint32_t* Crc32Table()
{
    return kCrc32Table;
}

uint32_t Crc32UpdateBytewise(uint32_t reg, const uint8_t* data, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        reg = kCrc32Table[(reg ^ data[i]) & 0xFF] ^ (reg >> 8);
    return reg;
}

uint32_t Crc32UpdateSliced(uint32_t reg, const uint8_t* data, size_t size)
{
    if constexpr (std::endian::native == std::endian::little) {
        const auto& t = kSliceTables;
        while (size >= 16) {
            const uint32_t a = Load32(data) ^ reg;
            const uint32_t b = Load32(data + 4);
            const uint32_t c = Load32(data + 8);
            const uint32_t d = Load32(data + 12);
            reg = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24]
                ^ t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24]
                ^ t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24]
                ^ t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
            data += 16;
            size -= 16;
        }
    }
    return Crc32UpdateBytewise(reg, data, size);
}

bool Crc32HasClmul()
{
    return kHasClmul;
}

uint32_t Crc32UpdateClmul(uint32_t reg, const uint8_t* data, size_t size)
{
#if EDITBOOT_HAVE_CLMUL
    if (size >= 64) {
        const size_t blocks = size & ~size_t(15);
        reg = ClmulBlocks(reg, data, blocks);
        data += blocks;
        size -= blocks;
    }
#endif
    return Crc32UpdateSliced(reg, data, size);
}

uint32_t Crc32Update(uint32_t reg, const uint8_t* data, size_t size)
{
    if (kHasClmul)
        return Crc32UpdateClmul(reg, data, size);
    return Crc32UpdateSliced(reg, data, size);
}

uint32_t FileCrc32(const QString& path)
{
    // Read only and sharing everything: a write-protected file or one that
    // another program has open still gets its checksum. Anything but a regular
    // file (a named pipe, a device) has none: it may block or never end.
    std::unique_ptr<TFileStream> file;
    try {
        file = TFileStream::OpenInput(path);
    } catch (const Exception&) {
        return 0;
    }
    ::posix_fadvise(file->Handle(), 0, 0, POSIX_FADV_SEQUENTIAL);

    auto block = std::make_unique_for_overwrite<uint8_t[]>(kFileBlockSize);
    uint32_t reg = 0xFFFFFFFF;
    try {
        for (;;) {
            const int64_t n = file->Read(block.get(), kFileBlockSize);
            if (n == 0)
                break;
            // A read that fails part way (a directory, an I/O error) would
            // give the checksum of a part of the file; report "no checksum"
            // instead so the caller keeps the text it shows.
            if (n < 0)
                return 0;
            reg = Crc32Update(reg, block.get(), static_cast<size_t>(n));
        }
        // Nor is the checksum of a file that changed meanwhile one of a file.
        file->CheckUnchanged();
    } catch (const Exception&) {
        return 0;
    }
    return ~reg;
}

QString ChecksumText(uint32_t crc)
{
    if (crc == 0)
        return QString();
    return QStringLiteral("%1").arg(crc, 6, 16, QLatin1Char('0')).toUpper();
}

} // namespace boot
