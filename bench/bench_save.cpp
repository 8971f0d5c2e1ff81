// Saving a large document after a one-byte change, against `cp` of the same
// file followed by fsync of the copy.
//
// Prints:
//   ratio save_1gib_vs_cp_sync = <SaveToFile time / cp + fsync time> (target <= 1.3)
// and an "info" line with the medians. The document is loaded from a cached
// file; each run changes one byte and saves over the file (no backup), the
// runs of both kinds interleaved; the figures are medians.
// EDITBOOT_BENCH_LARGE_MIB sets the file size in MiB (default 1024).

#include "hexeditor/ex/mphexeditorex.h"

#include "bench_support.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace bench;

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// cp from to, then fsync of the copy; seconds, negative on failure.
double TimeCopyAndSync(const QString& from, const QString& to)
{
    const QByteArray a = QFile::encodeName(from), b = QFile::encodeName(to);
    std::vector<char> a1(a.constData(), a.constData() + a.size() + 1), a2(b.constData(), b.constData() + b.size() + 1);
    char a0[] = "cp";
    char* argv[] = {a0, a1.data(), a2.data(), nullptr};
    const auto start = Clock::now();
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, "cp", nullptr, nullptr, argv, environ) != 0 || ::waitpid(pid, &status, 0) < 0 ||
        !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    const int fd = ::open(b.constData(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0)
        return -1;
    ::close(fd);
    const double t = Seconds(start, Clock::now());
    QFile::remove(to);
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int64_t mib = LargeMiB();
    QTemporaryDir dir;
    const QString path = dir.filePath("bench_save.bin");
    if (!dir.isValid() || !CreateFile(path, mib << 20)) {
        std::fprintf(stderr, "bench_save: cannot write %s\n", qPrintable(path));
        return 1;
    }
    try {
        TMPHexEditorEx editor;
        editor.Loaded();
        editor.SetCreateBackup(false);
        editor.LoadFromFile(path);
        std::vector<double> saves, copies;
        for (int run = 0; run < kRuns; ++run) {
            const uint8_t old = editor.ByteAt(12345);
            editor.ChangeByte(12345, old, uint8_t(old + 1));
            const auto start = Clock::now();
            editor.SaveToFile();
            saves.push_back(Seconds(start, Clock::now()));
            const double copy = TimeCopyAndSync(path, dir.filePath("copy.bin"));
            if (copy < 0) {
                std::fprintf(stderr, "bench_save: cp failed\n");
                return 1;
            }
            copies.push_back(copy);
        }
        const double save = Median(saves), copy = Median(copies);
        std::printf("info save: %lld MiB, SaveToFile %.3f s, cp + fsync %.3f s (medians of %d interleaved runs)\n",
                    (long long)mib, save, copy, kRuns);
        std::printf("ratio save_1gib_vs_cp_sync = %.3f (target <= 1.3)\n", save / copy);
    } catch (const Exception& e) {
        std::fprintf(stderr, "bench_save: %s\n", qPrintable(e.Message()));
        return 1;
    }
    return 0;
}
