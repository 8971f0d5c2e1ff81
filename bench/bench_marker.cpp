// The boot marker search over a large image held in a memory stream, against
// a plain memchr-and-compare loop over the same bytes.
//
// Prints:
//   ratio marker_vs_memchr = <FindBootMarker / memchr loop> (target <= 1.5)
//       over 256 MiB holding no E3 byte at all;
//   ratio marker_vs_memchr_dense_e3 = ... (target <= 1.5)
//       over 256 MiB where about one byte in 16 is E3 but no marker follows.
// Each time is the best of several interleaved runs.

#include "firmware/core/bootimage.h"

#include "bench_support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

using namespace bench;
constexpr int64_t kSize = kFileSize;

// The baseline: memchr for E3, then the other three bytes.
__attribute__((noinline)) int64_t PlainSearch(const uint8_t* data, int64_t size)
{
    if (size < 4)
        return 0;
    const uint8_t* p = data;
    const uint8_t* const end = data + size - 3;
    while (p < end) {
        const auto* hit = static_cast<const uint8_t*>(std::memchr(p, 0xE3, size_t(end - p)));
        if (!hit)
            return 0;
        if (hit[1] == 0x00 && hit[2] == 0x00 && hit[3] == 0x10)
            return hit - data;
        p = hit + 1;
    }
    return 0;
}

// Fills the stream with random bytes; e3Every > 0 makes about one byte in
// e3Every an E3, never followed by 00 00 10; 0 leaves no E3 at all.
void Fill(TMemoryStream& stream, int e3Every)
{
    stream.SetSize(kSize);
    uint8_t* p = stream.Memory();
    std::mt19937_64 rng(99);
    for (int64_t i = 0; i < kSize; i += 8) {
        const uint64_t w = rng();
        std::memcpy(p + i, &w, 8);
    }
    for (int64_t i = 0; i < kSize; ++i) {
        if (p[i] == 0xE3)
            p[i] = 0x5A;
        if (e3Every > 0 && p[i] % e3Every == 0)
            p[i] = 0xE3;
    }
}

bool Compare(const char* name, int e3Every)
{
    TMemoryStream stream;
    Fill(stream, e3Every);
    double bestOwn = 1e9, bestPlain = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        stream.SetPosition(kSize / 2);
        auto start = Clock::now();
        const int32_t own = boot::FindBootMarker(stream);
        bestOwn = std::min(bestOwn, Seconds(start, Clock::now()));

        start = Clock::now();
        const int64_t plain = PlainSearch(stream.Memory(), stream.Size());
        bestPlain = std::min(bestPlain, Seconds(start, Clock::now()));

        if (own != 0 || plain != 0 || stream.Position() != kSize) {
            std::fprintf(stderr, "bench_marker: found a marker where there is none (%d, %lld)\n", own,
                         (long long)plain);
            return false;
        }
    }
    std::printf("info %s: FindBootMarker %.1f ms (%.2f GB/s), memchr loop %.1f ms (%.2f GB/s), 256 MiB, best of %d\n",
                name, bestOwn * 1e3, kSize / bestOwn / 1e9, bestPlain * 1e3, kSize / bestPlain / 1e9, kRuns);
    std::printf("ratio %s = %.3f (target <= 1.5)\n", name, bestOwn / bestPlain);
    return true;
}

} // namespace

int main()
{
    if (!Compare("marker_vs_memchr", 0))
        return 1;
    if (!Compare("marker_vs_memchr_dense_e3", 16))
        return 1;
    return 0;
}
