// SHA-256 of a cached 256 MiB file as hexview computes it (the file read into
// memory, then the checksum engine fed slice by slice as the Checksums dock
// does) against sha256sum on the same file.
//
// Prints:
//   ratio sha256_vs_sha256sum = <hexview's time / sha256sum's time> (target <= 1.3)
// Each time is the best of several interleaved runs.

#include "firmware/core/bootimage.h"
#include "hexeditor/core/mphdigest.h"

#include "bench_support.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace bench;

// The file into memory (as the editor holds a document) and its digest in
// the dock's slices.
QString OwnSha256(const QString& path, std::vector<uint8_t>& memory, double& digestSeconds)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return QString();
    memory.resize(size_t(kFileSize));
    size_t done = 0;
    while (done < memory.size()) {
        const ssize_t n = ::read(fd, memory.data() + done, std::min<size_t>(memory.size() - done, 1 << 20));
        if (n <= 0)
            break;
        done += size_t(n);
    }
    ::close(fd);
    const auto start = Clock::now();
    TMPHDigestRun run(memory.data(), int64_t(done), {TMPHDigestKind::Sha256}, boot::Crc32Update);
    while (!run.Step(4 << 20))
        ;
    digestSeconds = Seconds(start, Clock::now());
    return run.Digests()[0].HexResult();
}

QString Sha256sum(const QString& program, const QString& path)
{
    QProcess process;
    process.start(program, {path});
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return QString();
    return QString::fromLatin1(process.readAllStandardOutput()).section(QLatin1Char(' '), 0, 0);
}

} // namespace

int main()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("sha256sum"));
    if (program.isEmpty()) {
        std::fprintf(stderr, "bench_sha256: sha256sum is not installed\n");
        return 1;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("bench_sha256.bin");
    if (!dir.isValid() || !CreateFile(path, kFileSize)) {
        std::fprintf(stderr, "bench_sha256: cannot write %s\n", qPrintable(path));
        return 1;
    }
    const QString expected = Sha256sum(program, path); // also brings the file into the cache
    std::vector<uint8_t> memory;
    double bestOwn = 1e9, bestDigest = 1e9, bestTheirs = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        double digestSeconds = 0;
        auto start = Clock::now();
        const QString own = OwnSha256(path, memory, digestSeconds);
        bestOwn = std::min(bestOwn, Seconds(start, Clock::now()));
        bestDigest = std::min(bestDigest, digestSeconds);

        start = Clock::now();
        const QString theirs = Sha256sum(program, path);
        bestTheirs = std::min(bestTheirs, Seconds(start, Clock::now()));
        if (own != expected || theirs != expected || expected.isEmpty()) {
            std::fprintf(stderr, "bench_sha256: digests differ: own %s, sha256sum %s\n", qPrintable(own),
                         qPrintable(theirs));
            return 1;
        }
    }
    std::printf("info sha256_vs_sha256sum: hexview read + SHA-256 %.1f ms (digest alone %.1f ms, %.2f GB/s), "
                "sha256sum %.1f ms (%.2f GB/s), 256 MiB cached file, best of %d\n",
                bestOwn * 1e3, bestDigest * 1e3, kFileSize / bestDigest / 1e9, bestTheirs * 1e3,
                kFileSize / bestTheirs / 1e9, kRuns);
    std::printf("ratio sha256_vs_sha256sum = %.3f (target <= 1.3)\n", bestOwn / bestTheirs);
    return 0;
}
