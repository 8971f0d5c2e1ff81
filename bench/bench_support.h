#pragma once
// Helpers shared by the benchmark programs: timing and a large test file.

#include <QFile>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
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

// The large size of the benchmarks that compare a large document with a
// small one: EDITBOOT_BENCH_LARGE_MIB, 1024 when unset.
inline int64_t LargeMiB()
{
    const int mib = qEnvironmentVariableIntValue("EDITBOOT_BENCH_LARGE_MIB");
    return mib > 0 ? mib : 1024;
}

// A field of /proc/self/status in KiB, or -1.
inline int64_t StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t len = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, len, field) == 0 && line.size() > len && line[len] == ':')
            return std::stoll(line.substr(len + 1));
    return -1;
}

// Resets VmHWM to the current resident size; false where the kernel refuses.
inline bool ResetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return bool(clear);
}

} // namespace bench
