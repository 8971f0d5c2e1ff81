// Cost per call of the two conversions that run once per painted cell: the
// offset text of a gutter cell and the display character of a byte, both
// through the editor as the painting code calls them.
//
// Prints:
//   cost FormatOffset = <ns> ns/call (no target)
//   cost TranslateToDisplay = <ns> ns/call (no target)
// Each figure is the best of several timed runs over a spread of offsets and
// bytes: the offsets with the default format "-!10:0x|" on 64 KiB of data,
// the bytes under every translation kind in turn.

#include "hexeditor/mphexeditor.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double BestNsPerCall(long calls, F&& body)
{
    double best = 1e300;
    for (int run = 0; run < 7; ++run) {
        const auto start = Clock::now();
        body();
        const auto stop = Clock::now();
        best = std::min(best, std::chrono::duration<double, std::nano>(stop - start).count() / double(calls));
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TMPHexEditor editor;
    editor.Loaded();
    TMemoryStream data;
    data.SetSize(65536);
    editor.LoadFromStream(data);

    constexpr long kOffsets = 200000;
    qsizetype sink = 0;
    const double formatCost = BestNsPerCall(kOffsets, [&] {
        for (long i = 0; i < kOffsets; ++i)
            sink += editor.FormatOffset(uint32_t((i * 16) & 0xFFFF)).size();
    });

    constexpr long kBytesPerKind = 1000000;
    unsigned checksum = 0;
    double translateCost = 0;
    for (int kind = tkAsIs; kind <= tkCustom; ++kind) {
        editor.SetTranslation(TMPHTranslationKind(kind));
        translateCost += BestNsPerCall(kBytesPerKind, [&] {
            for (long i = 0; i < kBytesPerKind; ++i)
                checksum += editor.TranslateToDisplay(uint8_t(i));
        });
    }
    translateCost /= (tkCustom - tkAsIs + 1);

    std::printf("cost FormatOffset = %.1f ns/call (no target)\n", formatCost);
    std::printf("cost TranslateToDisplay = %.1f ns/call (no target)\n", translateCost);
    // Keeps the loops from being optimised away.
    if (sink == 0 || checksum == 0)
        std::printf("info unexpected empty results\n");
    return 0;
}
