// The file checksum against reading the same cached file and running zlib's
// crc32 over it.
//
// Prints:
//   ratio crc32_vs_zlib = <FileCrc32 time / (read + zlib crc32) time> (target <= 1.0)
// Each time is the best of several interleaved runs over a 256 MiB file.

#include "firmware/core/bootimage.h"

#include "bench_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace bench;


// The baseline: plain read() in 128 KiB blocks and zlib's crc32.
uint32_t ZlibFileCrc(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return 0;
    std::vector<unsigned char> block(128 * 1024);
    uLong crc = crc32(0L, Z_NULL, 0);
    for (;;) {
        const ssize_t n = ::read(fd, block.data(), block.size());
        if (n <= 0)
            break;
        crc = crc32(crc, block.data(), static_cast<uInt>(n));
    }
    ::close(fd);
    return static_cast<uint32_t>(crc);
}

} // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_crc32: cannot create a temporary folder\n");
        return 1;
    }
    const QString path = dir.filePath("bench_crc32.bin");
    if (!CreateFile(path, kFileSize)) {
        std::fprintf(stderr, "bench_crc32: cannot write %s\n", qPrintable(path));
        return 1;
    }
    // The first baseline run also brings the file into the page cache.
    const uint32_t expected = ZlibFileCrc(path);

    double bestOwn = 1e9, bestZlib = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        auto start = Clock::now();
        const uint32_t own = boot::FileCrc32(path);
        bestOwn = std::min(bestOwn, Seconds(start, Clock::now()));

        start = Clock::now();
        const uint32_t zlib = ZlibFileCrc(path);
        bestZlib = std::min(bestZlib, Seconds(start, Clock::now()));

        if (own != expected || zlib != expected) {
            std::fprintf(stderr, "bench_crc32: checksums differ: FileCrc32 %08X, zlib %08X\n", own, zlib);
            return 1;
        }
    }

    // In-memory speed of the loops, for reference.
    std::vector<uint8_t> data(64 << 20);
    std::mt19937_64 rng(1);
    for (auto& b : data)
        b = static_cast<uint8_t>(rng());
    auto memoryRate = [&](uint32_t (*loop)(uint32_t, const uint8_t*, size_t)) {
        double best = 1e9;
        for (int run = 0; run < 3; ++run) {
            const auto start = Clock::now();
            volatile uint32_t sink = loop(0xFFFFFFFF, data.data(), data.size());
            (void)sink;
            best = std::min(best, Seconds(start, Clock::now()));
        }
        return double(data.size()) / best / 1e9;
    };
    auto zlibLoop = [](uint32_t reg, const uint8_t* p, size_t n) {
        return ~static_cast<uint32_t>(crc32(~reg, p, static_cast<uInt>(n)));
    };
    const double slicedRate = memoryRate(boot::Crc32UpdateSliced);
    const double clmulRate = boot::Crc32HasClmul() ? memoryRate(boot::Crc32UpdateClmul) : 0.0;
    const double zlibRate = memoryRate(zlibLoop);
    std::printf("info crc32 in memory: sliced %.2f GB/s, carry-less multiply %.2f GB/s (0: not available), "
                "zlib %.2f GB/s\n",
                slicedRate, clmulRate, zlibRate);
    std::printf("info crc32_vs_zlib: FileCrc32 %.1f ms (%.2f GB/s), read + zlib crc32 %.1f ms (%.2f GB/s), "
                "256 MiB cached file, best of %d\n",
                bestOwn * 1e3, kFileSize / bestOwn / 1e9, bestZlib * 1e3, kFileSize / bestZlib / 1e9, kRuns);
    std::printf("ratio crc32_vs_zlib = %.3f (target <= 1.0)\n", bestOwn / bestZlib);
    return 0;
}
