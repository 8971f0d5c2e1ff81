// Typing in insert mode at the start of a large document: 20 hex digits
// through the real key event path, with the repaints they trigger, in a
// 1 GiB document against a 1 MiB one.
//
// Prints:
//   ratio insert_typing_1gib_vs_1mib = <time for 20 digits, 1 GiB / 1 MiB> (target <= 1.5)
// and an "info" line with the absolute times. The editor is shown (offscreen
// when no display is set); each digit is a key press and release sent to the
// editor, followed by the event processing that paints. Every round starts
// from a freshly loaded document with the caret on the first byte; the time
// is the median of the rounds. EDITBOOT_BENCH_LARGE_MIB sets the large size
// in MiB (default 1024).

#include "hexeditor/mphexeditor.h"

#include "bench_support.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace bench;

constexpr int kDigits = 20;

void sendKey(QWidget* target, int key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
    QApplication::processEvents();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Seconds for 20 digits typed at offset 0 in insert mode, one round.
double TimeTyping(TMemoryStream& source, int round)
{
    TMPHexEditor editor;
    editor.Loaded();
    editor.resize(900, 600);
    editor.show();
    editor.LoadFromStream(source);
    editor.SetInsertMode(true);
    editor.SetSelStart(0);
    QApplication::processEvents();

    static const char digits[] = "0123456789ABCDEF";
    const int32_t sizeBefore = editor.DataSize();
    const auto start = Clock::now();
    for (int i = 0; i < kDigits; ++i) {
        const char d = digits[(i + round) % 16];
        sendKey(&editor, d <= '9' ? Qt::Key_0 + (d - '0') : Qt::Key_A + (d - 'A'), QString(QChar(d)));
    }
    const double t = Seconds(start, Clock::now());
    if (editor.DataSize() != sizeBefore + kDigits / 2) {
        std::fprintf(stderr, "bench_insert_typing: %d digits inserted %d bytes\n", kDigits,
                     editor.DataSize() - sizeBefore);
        std::exit(1);
    }
    return t;
}

double MedianTyping(int64_t size)
{
    TMemoryStream source;
    source.SetSize(size);
    std::fill(source.Memory(), source.Memory() + size, uint8_t(0x5A));
    std::vector<double> times;
    for (int round = 0; round < kRuns; ++round)
        times.push_back(TimeTyping(source, round));
    return Median(times);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int64_t largeMiB = LargeMiB();
    const double small = MedianTyping(int64_t(1) << 20);
    const double large = MedianTyping(largeMiB << 20);
    std::printf("info insert_typing: %d digits at offset 0, 1 MiB = %.2f ms, %lld MiB = %.2f ms (median of %d)\n",
                kDigits, small * 1e3, (long long)largeMiB, large * 1e3, kRuns);
    std::printf("ratio insert_typing_1gib_vs_1mib = %.3f (target <= 1.5)\n", large / small);
    return 0;
}
