// Memory added by marking one byte as changed far into a large document.
//
// Prints:
//   ratio change_marks_memory = <heap bytes added by one ChangeByte at 512 MiB> (target <= 4096)
// and an "info" line with the heap and resident figures. The editor holds
// 512 MiB + 4 KiB and is in overwrite mode, so the change sets a mark; the
// figure covers the whole ChangeByte call (the mark and the undo entry).

#include "hexeditor/mphexeditor.h"

#include "bench_support.h"

#include <QApplication>

#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <string>

namespace {

int64_t HeapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return int64_t(info.uordblks) + int64_t(info.hblkhd);
}

int64_t ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stoll(line.substr(6));
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    constexpr int32_t mark = 512 << 20;
    TMPHexEditor editor;
    editor.Loaded();
    editor.DataStorage().SetSize(int64_t(mark) + 4096);
    editor.UpdateGridSize();
    // A first change elsewhere, so that the undo stack has its block already.
    editor.ChangeByte(0, 0, 1);

    const int64_t heapBefore = HeapBytes();
    const int64_t rssBefore = ResidentKiB();
    editor.ChangeByte(mark, 0, 1);
    const int64_t heapAfter = HeapBytes();
    const int64_t rssAfter = ResidentKiB();
    if (!editor.ChangedBytes().testBit(mark)) {
        std::fprintf(stderr, "bench_change_marks: the byte at 512 MiB carries no mark\n");
        return 1;
    }
    std::printf("info change_marks_memory: heap +%lld bytes, resident +%lld KiB, %lld mark range(s) for a list of %lld bits\n",
                (long long)(heapAfter - heapBefore), (long long)(rssAfter - rssBefore),
                (long long)editor.ChangedBytes().rangeCount(), (long long)editor.ChangedBytes().size());
    std::printf("ratio change_marks_memory = %lld (target <= 4096)\n", (long long)(heapAfter - heapBefore));
    return 0;
}
