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
//   info the sizes and the time;
//   ratio replace_all_peak_memory = <peak RSS growth during the replace /
//       document size> (target <= 2).

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

// The resident set now, in bytes.
int64_t CurrentRss()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLongLong() * 1024;
    return 0;
}

// The highest resident set so far, in bytes.
int64_t PeakRss()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return int64_t(usage.ru_maxrss) * 1024;
}

bool WriteDocument(const QString& path, int64_t size)
{
    QByteArray block(64 * 1024, '\x55');
    block.replace(100, 4, QByteArray("\xE3\x00\x00\x10", 4));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    for (int64_t done = 0; done < size; done += block.size())
        if (f.write(block) != block.size())
            return false;
    return true;
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
    if (!dir.isValid() || !WriteDocument(path, size)) {
        std::fprintf(stderr, "bench_replace_memory: cannot write %s\n", qPrintable(path));
        return 1;
    }
    TMPHexEditor editor;
    editor.LoadFromFile(path);
    const int64_t before = CurrentRss(); // the document loaded; a higher peak of the load counts against us
    const auto pattern = TMPHSearchPattern::FromHexText(QStringLiteral("E3 00 00 10"));
    const QByteArray replacement("\xAA\xBB\xCC\xDD\xEE", 5);
    const auto start = Clock::now();
    int64_t count = 0;
    if (plan) {
        const hexview::TReplacePlan p =
            hexview::PlanReplaceAll(pattern, editor.DataStorage().GetAddress(0, size), size, replacement);
        editor.Replace(p.NewBytes.constData(), int32_t(p.First), int32_t(p.OldCount), int32_t(p.NewBytes.size()),
                       QStringLiteral("Replace all"), false);
        count = p.Count;
    } else {
#ifndef REPLACE_MEMORY_PLAN_ONLY
        count = editor.ReplaceAll(pattern, replacement, TMPHFindParams{}, QStringLiteral("Replace all"));
#endif
    }
    const double seconds = Seconds(start, Clock::now());
    const int64_t peak = PeakRss();
    const int64_t expected = size / (64 * 1024);
    if (count != expected || editor.DataSize() != size + expected) {
        std::fprintf(stderr, "bench_replace_memory: %lld matches replaced, expected %lld\n", (long long)count,
                     (long long)expected);
        return 1;
    }
    std::printf("info replace all (%s): %lld MiB document, %lld matches, %.2f s, RSS %lld MiB before, "
                "peak %lld MiB\n",
                plan ? "planned buffer" : "in place", (long long)mib, (long long)count, seconds,
                (long long)(before >> 20), (long long)(peak >> 20));
    std::printf("ratio replace_all_peak_memory = %.2f (target <= 2)\n", double(peak - before) / double(size) + 1.0);
    return 0;
}
