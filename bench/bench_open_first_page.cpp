// Opening a large file with OpenOnDemand switched on (as hexview does): the
// time from the open call to the first page painted, for 1 GiB against
// 1 MiB, and the memory the 1 GiB open adds.
//
// Prints:
//   ratio open_first_page_1gib_vs_1mib = <time 1 GiB / time 1 MiB> (target <= 1.5)
//   ratio open_first_page_1gib_memory_mib = <MiB added by the open> (target <= 64)
// with "info" lines giving the absolute figures. The files hold random
// bytes written to a temporary folder on disk (not sparse); before every
// open their pages are dropped from the system's cache (fsync, then
// POSIX_FADV_DONTNEED), so the bytes painted really come from the disk.
// The editor is shown (offscreen when no display is set) before the open;
// the time ends when a synchronous repaint of its viewport has returned.
// With hexview's settings a 1 MiB file is copied (it is below
// DefaultOnDemandMinSize); an info line gives it opened on demand as well.
// Runs alternate between the sizes; the times are medians. The memory
// is VmRSS after the first page minus VmRSS before the open, in a fresh
// editor, and the peak (VmHWM after a reset) is printed beside it.
// EDITBOOT_BENCH_LARGE_MIB sets the large size in MiB (default 1024).

#include "hexeditor/mphexeditor.h"

#include "bench_support.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace bench;

// Writes the file's pages to disk and drops them from the cache.
void DropFromCache(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

struct TOpenResult
{
    double Seconds = 0;
    int64_t AddedKiB = 0;
    int64_t PeakKiB = 0;
};

// One open of path into a fresh, shown editor, until the first page is painted.
TOpenResult OpenOnce(const QString& path, int64_t expectedSize,
                     int64_t minSize = TCustomMPHexEditor::DefaultOnDemandMinSize)
{
    DropFromCache(path);
    TMPHexEditor editor;
    editor.Loaded();
    editor.SetOpenOnDemand(true);
    editor.SetOnDemandMinSize(minSize);
    editor.resize(900, 600);
    editor.show();
    QApplication::processEvents();

    TOpenResult result;
    const bool reset = ResetPeak();
    const int64_t before = StatusKiB("VmRSS");
    const auto start = Clock::now();
    editor.LoadFromFile(path);
    editor.viewport()->repaint();
    result.Seconds = Seconds(start, Clock::now());
    result.AddedKiB = StatusKiB("VmRSS") - before;
    result.PeakKiB = reset ? StatusKiB("VmHWM") - before : -1;
    if (editor.DataSize() != expectedSize) {
        std::fprintf(stderr, "bench_open_first_page: opened %d bytes of %lld\n", editor.DataSize(),
                     (long long)expectedSize);
        std::exit(1);
    }
    return result;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int64_t largeMiB = LargeMiB();
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bench_open_XXXXXX"));
    const QString small = dir.filePath("small.bin");
    const QString large = dir.filePath("large.bin");
    if (!dir.isValid() || !CreateFile(small, int64_t(1) << 20) || !CreateFile(large, largeMiB << 20)) {
        std::fprintf(stderr, "bench_open_first_page: cannot write the files in %s\n", qPrintable(dir.path()));
        return 1;
    }
    try {
        std::vector<double> smallTimes, largeTimes, smallOnDemand;
        TOpenResult largeFirst;
        for (int run = 0; run < kRuns; ++run) {
            smallTimes.push_back(OpenOnce(small, int64_t(1) << 20).Seconds);
            smallOnDemand.push_back(OpenOnce(small, int64_t(1) << 20, 0).Seconds);
            const TOpenResult r = OpenOnce(large, largeMiB << 20);
            if (run == 0)
                largeFirst = r;
            largeTimes.push_back(r.Seconds);
        }
        const double s = Median(smallTimes), l = Median(largeTimes);
        std::printf("info open_first_page: open to first page painted, uncached files on disk: 1 MiB = %.2f ms, "
                    "%lld MiB = %.2f ms (median of %d, interleaved)\n",
                    s * 1e3, (long long)largeMiB, l * 1e3, kRuns);
        std::printf("info open_first_page: 1 MiB opened on demand too (below the size hexview copies) = %.2f ms, "
                    "%lld MiB / that = %.3f\n",
                    Median(smallOnDemand) * 1e3, (long long)largeMiB, l / Median(smallOnDemand));
        std::printf("ratio open_first_page_1gib_vs_1mib = %.3f (target <= 1.5)\n", l / s);
        std::printf("info open_first_page_memory: %lld MiB open added %.1f MiB resident (peak %.1f MiB)\n",
                    (long long)largeMiB, largeFirst.AddedKiB / 1024.0, largeFirst.PeakKiB / 1024.0);
        std::printf("ratio open_first_page_1gib_memory_mib = %.1f (target <= 64)\n",
                    std::max(largeFirst.AddedKiB, largeFirst.PeakKiB) / 1024.0);
    } catch (const Exception& e) {
        std::fprintf(stderr, "bench_open_first_page: %s\n", qPrintable(e.Message()));
        return 1;
    }
    return 0;
}
