// Loading a large image into the editor, against `cat` of the same cached
// file, and the resident memory the load adds.
//
// Prints:
//   ratio load_vs_cat = <LoadFromFile time / cat time> (target <= 1.6)
//   ratio load_peak_memory = <added peak RSS / file size> (target <= 1.05)
// Each time is the median of several interleaved runs. The peak is VmHWM of
// /proc/self/status after a load into a new editor, minus VmRSS just before
// it; VmHWM is reset to the current RSS first by writing "5" to
// /proc/self/clear_refs. The target allows at most 16 MiB on top of 1.05 x
// the file size; a line beginning "info" next to the ratio gives the figures.

#include "hexeditor/mphexeditor.h"

#include <QApplication>
#include <QByteArray>
#include "bench_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace bench;


// Reads the file once so that every run finds it in the page cache.
void WarmCache(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return;
    std::vector<char> block(1 << 20);
    while (::read(fd, block.data(), block.size()) > 0) {
    }
    ::close(fd);
}

// Runs `cat path > /dev/null` without a shell; returns the seconds taken, or
// a negative value when cat could not run.
double TimeCat(const QString& path)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const QByteArray file = QFile::encodeName(path);
    char arg0[] = "cat";
    std::vector<char> arg1(file.constData(), file.constData() + file.size() + 1);
    char* argv[] = {arg0, arg1.data(), nullptr};
    pid_t pid = 0;
    const auto start = Clock::now();
    const int rc = posix_spawnp(&pid, "cat", &actions, nullptr, argv, environ);
    int status = 0;
    if (rc == 0)
        ::waitpid(pid, &status, 0);
    const auto end = Clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return Seconds(start, end);
}

} // namespace

int Run(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_load: cannot create a temporary folder\n");
        return 1;
    }
    const QString path = dir.filePath("bench_load.bin");
    // EDITBOOT_BENCH_LOAD_MIB sets the file size in MiB (default 256).
    const int64_t kFileSize = qEnvironmentVariableIntValue("EDITBOOT_BENCH_LOAD_MIB") > 0
                                  ? int64_t(qEnvironmentVariableIntValue("EDITBOOT_BENCH_LOAD_MIB")) << 20
                                  : bench::kFileSize;
    if (!CreateFile(path, kFileSize)) {
        std::fprintf(stderr, "bench_load: cannot write %s\n", qPrintable(path));
        return 1;
    }
    WarmCache(path);

    // Peak memory of one load into a new editor.
    int64_t addedKiB = -1, beforeKiB = -1, peakKiB = -1;
    const bool peakReset = [&] {
        TMPHexEditor editor;
        const bool reset = ResetPeak();
        beforeKiB = StatusKiB("VmRSS");
        editor.LoadFromFile(path);
        peakKiB = StatusKiB("VmHWM");
        if (editor.DataSize() != kFileSize) {
            std::fprintf(stderr, "bench_load: loaded %d bytes of %lld\n", editor.DataSize(), (long long)kFileSize);
            std::exit(1);
        }
        addedKiB = peakKiB - beforeKiB;
        return reset;
    }();

    std::vector<double> loads, cats;
    for (int run = 0; run < kRuns; ++run) {
        // Interleaved, so that both see the same state of the machine.
        auto editor = std::make_unique<TMPHexEditor>();
        const auto start = Clock::now();
        editor->LoadFromFile(path);
        loads.push_back(Seconds(start, Clock::now()));
        editor.reset();

        const double cat = TimeCat(path);
        if (cat < 0) {
            std::fprintf(stderr, "bench_load: cat %s failed\n", qPrintable(path));
            return 1;
        }
        cats.push_back(cat);
    }
    std::sort(loads.begin(), loads.end());
    std::sort(cats.begin(), cats.end());
    const double bestLoad = loads[loads.size() / 2], bestCat = cats[cats.size() / 2];

    const double mib = double(kFileSize) / (1024 * 1024);
    std::printf("info load_vs_cat: LoadFromFile %.1f ms (%.2f GB/s), cat %.1f ms (%.2f GB/s), %.0f MiB cached file, median of %d\n",
                bestLoad * 1e3, kFileSize / bestLoad / 1e9, bestCat * 1e3, kFileSize / bestCat / 1e9, mib, kRuns);
    std::printf("ratio load_vs_cat = %.3f (target <= 1.6)\n", bestLoad / bestCat);
    std::printf("info load_peak_memory: VmRSS before %.1f MiB, VmHWM after %.1f MiB, added %.1f MiB for %.0f MiB "
                "(peak %s via /proc/self/clear_refs; allowance 16 MiB fixed = %.3f of the file)\n",
                beforeKiB / 1024.0, peakKiB / 1024.0, addedKiB / 1024.0, mib,
                peakReset ? "reset" : "NOT reset, since process start", 16.0 / mib);
    std::printf("ratio load_peak_memory = %.3f (target <= 1.05)\n", double(addedKiB) * 1024 / double(kFileSize));
    return 0;
}

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const Exception& e) {
        std::fprintf(stderr, "bench_load: %s\n", qPrintable(e.Message()));
        return 1;
    }
}
