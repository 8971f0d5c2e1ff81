#pragma once
// Helpers shared by the benchmark programs: timing and a large test file.

#include <QFile>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

namespace bench {

inline constexpr int64_t kFileSize = 256LL * 1024 * 1024;
inline constexpr int kRuns = 5;

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

// Writes size bytes of pseudo-random data (the same on every run).
inline bool CreateFile(const QString& path, int64_t size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    std::mt19937_64 rng(42);
    std::vector<uint64_t> chunk(1 << 17); // 1 MiB
    for (int64_t done = 0; done < size;) {
        for (auto& w : chunk)
            w = rng();
        const int64_t n = std::min<int64_t>(size - done, int64_t(chunk.size() * 8));
        if (f.write(reinterpret_cast<const char*>(chunk.data()), n) != n)
            return false;
        done += n;
    }
    return f.flush();
}

} // namespace bench
