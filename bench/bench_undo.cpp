// Editing costs with undo recording.
//
// Prints:
//   ratio insert_front_vs_memmove = <InsertBuffer of 1 byte at 0 of 256 MiB / memmove of 256 MiB by 1> (target <= 1.5)
//   ratio undo_insert_front_vs_memmove = <Undo of that insertion / the same memmove> (target <= 1.5)
//   ratio change_byte_1gib_vs_1mib = <ChangeByte in 1 GiB / in 1 MiB> (target <= 1.2)
//   info undo_bytes_per_overwrite = <stack bytes per one-byte ChangeByte>
//   info insert_nibble_64mib_seconds = <InsertNibble at 0 of 64 MiB>
// Each time is the best of several runs.

#include "hexeditor/mphexeditor.h"

#include "bench_support.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {
using namespace bench;

constexpr int64_t MiB = 1024 * 1024;

// An editor holding size bytes (filled with a pattern) without a file.
std::unique_ptr<TMPHexEditor> EditorOfSize(int64_t size)
{
    auto editor = std::make_unique<TMPHexEditor>();
    editor->Loaded();
    editor->DataStorage().SetSize(size);
    uint8_t* data = editor->DataStorage().Memory();
    for (int64_t i = 0; i < size; i += 4096)
        data[i] = uint8_t(i >> 12);
    editor->UpdateGridSize();
    return editor;
}

double BestMemmove(int64_t size)
{
    std::vector<uint8_t> buffer(size_t(size + 1), 1);
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const auto t0 = Clock::now();
        std::memmove(buffer.data() + 1, buffer.data(), size_t(size));
        best = std::min(best, Seconds(t0, Clock::now()));
    }
    std::printf("info memmove_256mib_seconds = %.6f (checksum %d)\n", best, buffer[size / 2]);
    return best;
}

void InsertFront(double memmoveTime)
{
    auto editor = EditorOfSize(kFileSize);
    double insertBest = 1e9;
    double undoBest = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        auto t0 = Clock::now();
        editor->InsertBuffer("x", 1, 0, {}, false);
        insertBest = std::min(insertBest, Seconds(t0, Clock::now()));
        t0 = Clock::now();
        editor->Undo();
        undoBest = std::min(undoBest, Seconds(t0, Clock::now()));
    }
    std::printf("ratio insert_front_vs_memmove = %.3f (target <= 1.5)\n", insertBest / memmoveTime);
    std::printf("ratio undo_insert_front_vs_memmove = %.3f (target <= 1.5)\n", undoBest / memmoveTime);
}

// Best time of a batch of one-byte overwrites, per overwrite.
double ChangeByteTime(int64_t size, double* stackBytesPerChange)
{
    auto editor = EditorOfSize(size);
    constexpr int Batch = 2000;
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        editor->ResetUndo();
        const auto t0 = Clock::now();
        for (int i = 0; i < Batch; ++i) {
            const int32_t p = int32_t((int64_t(i) * 7919) % size);
            const uint8_t old = editor->ByteAt(p);
            editor->ChangeByte(p, old, uint8_t(old + 1));
        }
        best = std::min(best, Seconds(t0, Clock::now()) / Batch);
        if (stackBytesPerChange)
            *stackBytesPerChange = double(editor->UndoStorage().SizeConst()) / Batch;
    }
    return best;
}

void InsertNibble()
{
    auto editor = EditorOfSize(64 * MiB);
    const auto t0 = Clock::now();
    editor->InsertNibble(0, true);
    std::printf("info insert_nibble_64mib_seconds = %.3f\n", Seconds(t0, Clock::now()));
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InsertFront(BestMemmove(kFileSize));

    double perChange = 0;
    const double small = ChangeByteTime(1 * MiB, &perChange);
    const double large = ChangeByteTime(1024 * MiB, nullptr);
    std::printf("ratio change_byte_1gib_vs_1mib = %.3f (target <= 1.2)\n", large / small);
    std::printf("info change_byte_seconds_1mib = %.9f 1gib = %.9f\n", small, large);
    std::printf("info undo_bytes_per_overwrite = %.1f\n", perChange);
    InsertNibble();
    return 0;
}
