// Finding every differing range of two 256 MiB buffers with a sparse set of
// differences (the compare window's and `editboot diff`'s engine), against
// one memcmp over the same bytes (which stops at nothing: the buffers are
// compared in full by a second pair that is equal).
//
// Prints:
//   ratio diff_256mib_vs_memcmp = <all ranges / memcmp> (target <= 2.0)
//   ratio diff_256mib_steps_vs_memcmp = <the same in 16 MiB steps, as the
//       window runs it / memcmp> (no target; for information)
// Each time is the best of several interleaved runs.

#include "hexeditor/core/mphdiff.h"

#include "bench_support.h"

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace bench;
constexpr int64_t kSize = kFileSize;
constexpr int kDifferences = 1000;

} // namespace

int main()
{
    const size_t n = static_cast<size_t>(kSize);
    std::vector<uint8_t> a(n), b(n), c(n);
    std::mt19937_64 rng(11);
    for (int64_t i = 0; i < kSize; i += 8) {
        const uint64_t w = rng();
        std::memcpy(a.data() + i, &w, 8);
    }
    std::memcpy(b.data(), a.data(), size_t(kSize));
    std::memcpy(c.data(), a.data(), size_t(kSize));
    // Sparse differences: runs of 1 to 64 bytes at random places.
    std::vector<TMPHDiffRange> placed;
    for (int i = 0; i < kDifferences; ++i) {
        const int64_t at = int64_t(rng() % uint64_t(kSize - 64));
        const int64_t length = 1 + int64_t(rng() % 64);
        for (int64_t j = at; j < at + length; ++j)
            b[size_t(j)] = uint8_t(~a[size_t(j)]);
    }

    double bestDiff = 1e9, bestSteps = 1e9, bestMemcmp = 1e9;
    int64_t ranges = 0, differing = 0;
    int memcmpResult = 1;
    for (int run = 0; run < kRuns; ++run) {
        auto start = Clock::now();
        TMPHDiff diff;
        diff.Compute(a.data(), kSize, b.data(), kSize);
        bestDiff = std::min(bestDiff, Seconds(start, Clock::now()));
        ranges = diff.RangeCount();
        differing = diff.DifferingBytes();

        start = Clock::now();
        TMPHDiff stepped;
        stepped.Start(kSize, kSize);
        while (!stepped.Step(a.data(), b.data(), 16 << 20)) {
        }
        bestSteps = std::min(bestSteps, Seconds(start, Clock::now()));
        if (stepped.Ranges() != diff.Ranges()) {
            std::fprintf(stderr, "bench_diff: the stepped comparison found other ranges\n");
            return 1;
        }

        // memcmp must read every byte: an equal pair of the same buffers.
        start = Clock::now();
        memcmpResult = std::memcmp(a.data(), c.data(), size_t(kSize));
        bestMemcmp = std::min(bestMemcmp, Seconds(start, Clock::now()));
    }
    // Every placed run is found (runs may touch or overlap: at most that many).
    if (memcmpResult != 0 || ranges == 0 || ranges > kDifferences || differing == 0) {
        std::fprintf(stderr, "bench_diff: unexpected result (%lld ranges, memcmp %d)\n", (long long)ranges,
                     memcmpResult);
        return 1;
    }
    std::printf("info diff_256mib: all ranges %.1f ms (%.2f GB/s per side), in 16 MiB steps %.1f ms, memcmp "
                "%.1f ms (%.2f GB/s per side); %lld ranges, %lld differing bytes; best of %d\n",
                bestDiff * 1e3, kSize / bestDiff / 1e9, bestSteps * 1e3, bestMemcmp * 1e3, kSize / bestMemcmp / 1e9,
                (long long)ranges, (long long)differing, kRuns);
    // For information: a pair that differs almost everywhere (as after an
    // insertion at the start), where the ranges are many and short.
    {
        std::mt19937_64 other(12);
        for (int64_t i = 0; i < kSize; i += 8) {
            const uint64_t w = other();
            std::memcpy(c.data() + i, &w, 8);
        }
        const auto start = Clock::now();
        TMPHDiff diff;
        diff.Compute(a.data(), kSize, c.data(), kSize);
        const double t = Seconds(start, Clock::now());
        std::printf("info diff_256mib_unrelated: %.1f ms, %lld ranges, %lld differing bytes (one run)\n", t * 1e3,
                    (long long)diff.RangeCount(), (long long)diff.DifferingBytes());
    }
    std::printf("ratio diff_256mib_vs_memcmp = %.3f (target <= 2.0)\n", bestDiff / bestMemcmp);
    std::printf("ratio diff_256mib_steps_vs_memcmp = %.3f (no target)\n", bestSteps / bestMemcmp);
    return 0;
}
