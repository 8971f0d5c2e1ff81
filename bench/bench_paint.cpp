// Painting cost: one full repaint of a 1,000 x 700 editor.
//
// Prints:
//   ratio paint_1gib_vs_1mib = <repaint of a 1 GiB document / of a 1 MiB one> (target <= 1.1)
//   ratio paint_vs_drawtext = <repaint / (text cells x one bare drawText)> (target <= 2.0)
//   info us_per_repaint = <microseconds per full repaint of the 1 MiB view>
// Times are medians of alternating runs. The 1 GiB buffer is reserved (the
// data buffer maps large sizes as untouched zero pages), so only the rows
// that are painted are ever faulted in; the 1 MiB document holds zeros as
// well, so both views show the same texts.

#include "hexeditor/mphexeditor.h"

#include "bench_support.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace bench;

constexpr int kWidth = 1000;
constexpr int kHeight = 700;
constexpr int kPaintRuns = 21;

std::unique_ptr<TMPHexEditor> MakeEditor(int64_t size)
{
    auto editor = std::make_unique<TMPHexEditor>();
    editor->Loaded();
    editor->resize(kWidth, kHeight);
    editor->SetShowRuler(true);
    // Grown in steps below the stream's fault-in threshold: the pages stay
    // untouched until a paint reads them.
    TMPHMemoryStream& data = editor->DataStorage();
    while (data.Size() < size)
        data.SetSize(std::min<int64_t>(size, data.Size() + 60000));
    editor->UpdateGridSize();
    // The same place in both: the middle of the document.
    editor->SetTopRow(int(size / editor->BytesPerRow() / 2));
    return editor;
}

double PaintOnce(TMPHexEditor& editor, QImage& image)
{
    const auto start = Clock::now();
    editor.viewport()->render(&image);
    return Seconds(start, Clock::now());
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Cells with text in one repaint, counted through the cell-drawing event.
int CountTextCells(TMPHexEditor& editor, QImage& image)
{
    int cells = 0;
    editor.OnDrawCell = [&cells](QObject*, QPainter*, int, int, QString& text, const QRect&, bool&) {
        cells += !text.trimmed().isEmpty();
    };
    editor.viewport()->render(&image);
    editor.OnDrawCell = nullptr;
    return cells;
}

// One bare drawText of one character, into the same kind of image.
double DrawTextCost(const QFont& font, QImage& image)
{
    constexpr int kCalls = 20000;
    std::vector<double> runs;
    for (int run = 0; run < 5; ++run) {
        QPainter p(&image);
        p.setFont(font);
        p.setPen(Qt::blue);
        const auto start = Clock::now();
        for (int i = 0; i < kCalls; ++i)
            p.drawText(QPoint((i % 100) * 9, 20 + (i / 100 % 30) * 20), QStringLiteral("A"));
        runs.push_back(Seconds(start, Clock::now()) / kCalls);
    }
    return Median(runs);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    auto small = MakeEditor(1 << 20);
    auto huge = MakeEditor(int64_t(1) << 30);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);

    // Warm-up: glyph caches and the pages of the painted rows.
    PaintOnce(*small, image);
    PaintOnce(*huge, image);

    std::vector<double> smallRuns, hugeRuns;
    for (int i = 0; i < kPaintRuns; ++i) {
        smallRuns.push_back(PaintOnce(*small, image));
        hugeRuns.push_back(PaintOnce(*huge, image));
    }
    const double smallPaint = Median(smallRuns);
    const double hugePaint = Median(hugeRuns);

    const int cells = CountTextCells(*small, image);
    const double drawText = DrawTextCost(small->font(), image);

    std::printf("ratio paint_1gib_vs_1mib = %.3f (target <= 1.1)\n", hugePaint / smallPaint);
    std::printf("ratio paint_vs_drawtext = %.3f (target <= 2.0)\n", smallPaint / (cells * drawText));
    std::printf("info us_per_repaint = %.1f (text cells %d, drawText %.3f us)\n", smallPaint * 1e6, cells,
                drawText * 1e6);
    return 0;
}
