// Copying a 64 MiB selection in one extended editor and pasting it into
// another through the clipboard (same process, offscreen platform), against
// one memcpy of 64 MiB.
//
// Prints:
//   ratio copy_paste_64mib_vs_memcpy = <copy+paste time / memcpy time> (target <= 8)
// Each time is the best of several runs; the memcpy goes into freshly
// allocated memory, as the paste's growth of the target does.

#include "hexeditor/ex/mphexeditorex.h"

#include "bench_support.h"

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

using namespace bench;

constexpr int64_t kSize = 64LL * 1024 * 1024;

void Load(TMPHexEditorEx& e, const QByteArray& bytes)
{
    TMemoryStream s;
    s.Write(bytes.constData(), bytes.size());
    e.LoadFromStream(s);
}

double TimeMemcpy(const QByteArray& source)
{
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const auto t0 = Clock::now();
        std::unique_ptr<char[]> target(new char[kSize]);
        std::memcpy(target.get(), source.constData(), kSize);
        const auto t1 = Clock::now();
        // Keep the copy observable.
        if (target[kSize - 1] != source.at(qsizetype(kSize - 1)))
            std::printf("memcpy mismatch\n");
        best = std::min(best, Seconds(t0, t1));
    }
    return best;
}

double TimeCopyPaste(const QByteArray& source)
{
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        TMPHexEditorEx from, to;
        from.Loaded();
        to.Loaded();
        Load(from, source);
        Load(to, QByteArray("!"));
        from.SetSelection(0, int32_t(kSize - 1));
        const auto t0 = Clock::now();
        const bool copied = from.CopyToClipboard();
        const bool pasted = to.PasteFromClipboard();
        const auto t1 = Clock::now();
        if (!copied || !pasted || to.DataSize() != kSize + 1 ||
            std::memcmp(to.DataStorage().Memory(), source.constData(), kSize) != 0) {
            std::printf("copy/paste failed\n");
            return -1;
        }
        best = std::min(best, Seconds(t0, t1));
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QByteArray source(kSize, '\0');
    for (int64_t i = 0; i < kSize; ++i)
        source[qsizetype(i)] = char((i * 131) >> 3);
    const double memcpyTime = TimeMemcpy(source);
    const double pasteTime = TimeCopyPaste(source);
    if (pasteTime < 0)
        return 1;
    std::printf("info memcpy %.4f s, copy+paste %.4f s\n", memcpyTime, pasteTime);
    std::printf("ratio copy_paste_64mib_vs_memcpy = %.2f (target <= 8)\n", pasteTime / memcpyTime);
    return 0;
}
