#pragma once
// The Statistics dock (View > Statistics): the byte-value histogram of the
// selection, or of the whole document when nothing is selected, as 256 bars
// and as a table (counts and percentages, most frequent first), with its
// Shannon entropy. Large spans are counted in slices with a progress bar.

#include "hexview/analysisspan.h"
#include "hexeditor/core/mphentropy.h"
#include "hexeditor/core/mphslicereader.h"

#include <QDockWidget>

class QLabel;
class QProgressBar;
class QTableWidget;

namespace hexview {

class HexViewWindow;
class TSlicedWork;

// 256 bars, one per byte value, scaled to the largest count.
class THistogramBars : public QWidget
{
    Q_OBJECT
public:
    explicit THistogramBars(QWidget* parent = nullptr);
    void SetCounts(const TMPHByteCounts& counts);
    const TMPHByteCounts& Counts() const { return m_counts; }
    QSize sizeHint() const override { return QSize(256 + 8, 120); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TMPHByteCounts m_counts{};
};

class TStatisticsDock : public QDockWidget
{
    Q_OBJECT
public:
    static constexpr int64_t SliceSize = 8 * 1024 * 1024;

    explicit TStatisticsDock(HexViewWindow& window);

    TSlicedWork& Work() { return *m_work; }
    const TMPHByteHistogram& Histogram() const { return m_histogram; }
    QTableWidget* Table() const { return m_table; }
    QString EntropyText() const;
    THistogramBars* Bars() const { return m_bars; }

private:
    void Restart();
    void Changed();
    void SelectionMoved();
    bool Step();
    void ShowResults();

    HexViewWindow& m_window;
    QLabel* m_scope;
    QLabel* m_entropy;
    THistogramBars* m_bars;
    QTableWidget* m_table;
    QProgressBar* m_progress;
    TSlicedWork* m_work;
    TAnalysisSpan m_span;
    int64_t m_done = 0;
    TMPHByteHistogram m_histogram;
    TMPHSliceReader m_reader; // the data a slice at a time, never gathered
};

void InstallStatisticsDock(HexViewWindow& window);

} // namespace hexview
