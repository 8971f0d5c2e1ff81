// The memory "editboot extract" needs for a large image: the marker search
// reads the image in chunks, so the peak must not grow with the image.
//
// Prints:
//   ratio extract_memory_vs_image = <added peak RSS / image size> (target <= 0.02)
// The image is a sparse file of 1 GiB whose only boot marker lies 100 KiB
// before its end, so the whole image is searched. The added peak is the
// program's maximum resident set (wait4's ru_maxrss) for that image minus the
// one for a 128 KiB image; a line beginning "info" gives the figures.

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef EDITBOOT_EXE
#error "EDITBOOT_EXE must name the built editboot program"
#endif

extern char** environ;

namespace {

constexpr int64_t kImageSize = int64_t(1) << 30;
constexpr double kTarget = 0.02;

// A sparse image of size bytes with the marker at markerAt.
bool MakeImage(const QString& path, int64_t size, int64_t markerAt)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const unsigned char marker[4] = {0xE3, 0x00, 0x00, 0x10};
    const bool ok = ::ftruncate(fd, size) == 0 && ::pwrite(fd, marker, 4, markerAt) == 4;
    ::close(fd);
    return ok;
}

// Peak resident memory in bytes of "editboot extract image out", or -1.
int64_t ExtractPeak(const QString& image, const QString& out)
{
    const QByteArray exe(EDITBOOT_EXE);
    const QByteArray in = QFile::encodeName(image);
    const QByteArray target = QFile::encodeName(out);
    char* argv[] = {const_cast<char*>(exe.constData()), const_cast<char*>("extract"),
                    const_cast<char*>(in.constData()), const_cast<char*>(target.constData()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, exe.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return int64_t(usage.ru_maxrss) * 1024;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString big = dir.filePath("big.bin");
    const QString small = dir.filePath("small.bin");
    if (!dir.isValid() || !MakeImage(big, kImageSize, kImageSize - 100 * 1024) ||
        !MakeImage(small, 128 * 1024, 0x100)) {
        std::fprintf(stderr, "bench_extract_memory: cannot create the test images\n");
        return 1;
    }
    int64_t base = INT64_MAX;
    int64_t peak = INT64_MAX;
    // The smallest of three runs each: the least noise from the system.
    for (int run = 0; run < 3; ++run) {
        const int64_t b = ExtractPeak(small, dir.filePath("small.out"));
        const int64_t p = ExtractPeak(big, dir.filePath("big.out"));
        if (b < 0 || p < 0) {
            std::fprintf(stderr, "bench_extract_memory: editboot extract failed\n");
            return 1;
        }
        base = std::min(base, b);
        peak = std::min(peak, p);
    }
    const double added = double(std::max<int64_t>(peak - base, 0));
    const double ratio = added / double(kImageSize);
    std::printf("info extract_memory_vs_image: peak %.1f MiB for 1 GiB, %.1f MiB for 128 KiB\n",
                double(peak) / (1 << 20), double(base) / (1 << 20));
    std::printf("ratio extract_memory_vs_image = %.4f (target <= %.2f)\n", ratio, kTarget);
    return ratio <= kTarget ? 0 : 1;
}
