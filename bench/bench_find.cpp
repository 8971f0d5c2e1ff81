// Finding a 4-byte pattern placed at the end of a 256 MiB document through
// the editor's find (with progress reports on), against glibc memmem over the
// same bytes.
//
// Prints:
//   ratio find_vs_memmem = <editor Find / memmem> (target <= 1.5), hex pattern;
//   ratio find_text_nocase_vs_memmem = <editor Find of case-insensitive text /
//       memmem of the exact bytes> (no target; for information).
// Each time is the best of several interleaved runs.

#include "hexeditor/mphexeditor.h"

#include "bench_support.h"

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <random>
#include <string.h>

namespace {

using namespace bench;
constexpr int64_t kSize = kFileSize;

bool Compare(TMPHexEditor& editor, const char* name, const TMPHSearchPattern& pattern, const char* bytes,
             const char* target)
{
    const uint8_t* data = editor.DataStorage().Memory();
    const int32_t expected = int32_t(kSize - 4);
    double bestOwn = 1e9, bestPlain = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        auto start = Clock::now();
        const int32_t own = editor.Find(pattern, 0, true, false);
        bestOwn = std::min(bestOwn, Seconds(start, Clock::now()));

        start = Clock::now();
        const void* plain = memmem(data, size_t(kSize), bytes, 4);
        bestPlain = std::min(bestPlain, Seconds(start, Clock::now()));

        if (own != expected || plain != data + expected) {
            std::fprintf(stderr, "bench_find: %s found at %d, memmem at %lld, expected %d\n", name, own,
                         plain ? (long long)(static_cast<const uint8_t*>(plain) - data) : -1LL, expected);
            return false;
        }
    }
    std::printf("info %s: Find %.1f ms (%.2f GB/s), memmem %.1f ms (%.2f GB/s), 256 MiB, best of %d\n", name,
                bestOwn * 1e3, kSize / bestOwn / 1e9, bestPlain * 1e3, kSize / bestPlain / 1e9, kRuns);
    std::printf("ratio %s = %.3f%s\n", name, bestOwn / bestPlain, target);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TMPHexEditor editor;
    editor.Loaded();

    // Random bytes without the text pattern's last letter in either case, so
    // that the only match is the one at the end; its other letters stay, so
    // the text search meets a candidate about every 128 bytes.
    TMPHMemoryStream& storage = editor.DataStorage();
    storage.SetSize(kSize);
    uint8_t* p = storage.Memory();
    std::mt19937_64 rng(7);
    for (int64_t i = 0; i < kSize; i += 8) {
        const uint64_t w = rng();
        std::memcpy(p + i, &w, 8);
    }
    for (int64_t i = 0; i < kSize; ++i)
        if (p[i] == 'Q' || p[i] == 'q')
            p[i] = 0x55;
    editor.UpdateGridSize();

    int reports = 0;
    editor.SetFindProgress(true);
    editor.OnProgress = [&reports](QObject*, TMPHProgressKind, const QString&, uint8_t, bool&) { ++reports; };

    std::memcpy(p + kSize - 4, "\xE3\x00\x00\x10", 4);
    if (!Compare(editor, "find_vs_memmem", TMPHSearchPattern::FromHexText(QStringLiteral("E3 00 00 10")),
                 "\xE3\x00\x00\x10", " (target <= 1.5)"))
        return 1;

    std::memcpy(p + kSize - 4, "ZeLq", 4);
    const auto text = TMPHSearchPattern::FromText(QStringLiteral("zelq"), editor.SearchTextEncoding(), true);
    if (!Compare(editor, "find_text_nocase_vs_memmem", text, "ZeLq", " (no target)"))
        return 1;
    std::printf("info progress reports: %d over %d searches\n", reports, 2 * kRuns);
    return 0;
}
