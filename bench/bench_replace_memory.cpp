// Replace all on a large document: the peak memory of the process while the
// editor replaces a 4-byte pattern that occurs every 64 KiB (so that the
// replaced range, and its undo entry, span the whole document) by 5 bytes,
// as one undo step.
//
//   bench_replace_memory [MiB] [--plan]
// MiB: the document's size (default 64). --plan takes the way hexview went
// before: the new bytes planned into one buffer, then one Replace of the
// editor.
//
// Prints:
//   info the sizes, the time and how much of the growth was program code;
//   ratio replace_all_peak_memory = <peak RSS growth during the replace /
//       document size> + 1 (target <= 2: the document and its undo entry).
//
// The same editor first replaces in a 4 KiB document: the program's code
// for Replace all is read in from its files once per process, on the first
// call, and counted in the resident set then (about 0.4 MiB, 0.007 of a
// 64 MiB document); that is not memory a replace needs. The small document
// leaves no free memory of note behind for the measured replace to reuse.

#include "hexeditor/mphexeditor.h"
#include "hexview/core/replaceplan.h"

#include "bench_support.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

namespace {

using namespace bench;

// A size in /proc/self/status ("VmRSS:" the resident set, "RssFile:" its
// part read from files), in bytes.
int64_t StatusBytes(const QByteArray& key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').front().toLongLong() * 1024;
    return 0;
}

int64_t CurrentRss()
{
    return StatusBytes("VmRSS:");
}

// The highest resident set so far, in bytes.
int64_t PeakRss()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return int64_t(usage.ru_maxrss) * 1024;
}

bool WriteDocument(const QString& path, int64_t size, int blockSize = 64 * 1024)
{
    QByteArray block(blockSize, '\x55');
    block.replace(100, 4, QByteArray("\xE3\x00\x00\x10", 4));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    for (int64_t done = 0; done < size; done += block.size())
        if (f.write(block) != block.size())
            return false;
    return true;
}

// Replaces every E3 00 00 10 by AA BB CC DD EE as one step; the count.
int64_t ReplaceEverywhere(TMPHexEditor& editor, bool plan)
{
    const auto pattern = TMPHSearchPattern::FromHexText(QStringLiteral("E3 00 00 10"));
    const QByteArray replacement("\xAA\xBB\xCC\xDD\xEE", 5);
    if (plan) {
        const int64_t size = editor.DataSize();
        const hexview::TReplacePlan p =
            hexview::PlanReplaceAll(pattern, editor.DataStorage().GetAddress(0, size), size, replacement);
        editor.Replace(p.NewBytes.constData(), int32_t(p.First), int32_t(p.OldCount), int32_t(p.NewBytes.size()),
                       QStringLiteral("Replace all"), false);
        return p.Count;
    }
#ifndef REPLACE_MEMORY_PLAN_ONLY
    return editor.ReplaceAll(pattern, replacement, TMPHFindParams{}, QStringLiteral("Replace all"));
#else
    return 0;
#endif
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool plan = args.contains(QStringLiteral("--plan"));
    int64_t mib = 64;
    for (const QString& a : args.mid(1))
        if (a.toLongLong() > 0)
            mib = a.toLongLong();
    const int64_t size = mib * 1024 * 1024;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("replace.bin"));
    const QString small = dir.filePath(QStringLiteral("small.bin"));
    if (!dir.isValid() || !WriteDocument(path, size) || !WriteDocument(small, 4096, 4096)) {
        std::fprintf(stderr, "bench_replace_memory: cannot write %s\n", qPrintable(path));
        return 1;
    }
    TMPHexEditor editor;
    editor.LoadFromFile(small);
    if (ReplaceEverywhere(editor, plan) != 1) {
        std::fprintf(stderr, "bench_replace_memory: the small document's replace failed\n");
        return 1;
    }
    editor.LoadFromFile(path);
    const int64_t before = CurrentRss(); // the document loaded; a higher peak of the load counts against us
    const int64_t codeBefore = StatusBytes("RssFile:");
    const auto start = Clock::now();
    const int64_t count = ReplaceEverywhere(editor, plan);
    const double seconds = Seconds(start, Clock::now());
    const int64_t peak = PeakRss();
    const int64_t expected = size / (64 * 1024);
    if (count != expected || editor.DataSize() != size + expected) {
        std::fprintf(stderr, "bench_replace_memory: %lld matches replaced, expected %lld\n", (long long)count,
                     (long long)expected);
        return 1;
    }
    std::printf("info replace all (%s): %lld MiB document, %lld matches, %.2f s, RSS %lld MiB before, "
                "peak %lld MiB, file-backed pages (code) read in meanwhile %lld KiB\n",
                plan ? "planned buffer" : "in place", (long long)mib, (long long)count, seconds,
                (long long)(before >> 20), (long long)(peak >> 20),
                (long long)((StatusBytes("RssFile:") - codeBefore) >> 10));
    std::printf("ratio replace_all_peak_memory = %.3f (target <= 2)\n", double(peak - before) / double(size) + 1.0);
    return 0;
}
