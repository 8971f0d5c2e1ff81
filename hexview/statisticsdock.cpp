// The Statistics dock.

#include "hexview/statisticsdock.h"

#include "hexview/analysisspan.h"
#include "hexview/hexviewwindow.h"
#include "hexview/slicedwork.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace hexview {

namespace {

QTableWidgetItem* NumberItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString CharText(int value)
{
    return value >= 0x20 && value < 0x7F ? QString(QLatin1Char(char(value))) : QString();
}

} // namespace

THistogramBars::THistogramBars(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(256 + 8, 80);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void THistogramBars::SetCounts(const TMPHByteCounts& counts)
{
    m_counts = counts;
    update();
}

void THistogramBars::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect().adjusted(4, 4, -4, -4);
    painter.fillRect(area, palette().base());
    const uint64_t largest = *std::max_element(m_counts.begin(), m_counts.end());
    if (largest == 0 || area.width() <= 0)
        return;
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().highlight());
    for (int v = 0; v < 256; ++v) {
        if (!m_counts[v])
            continue;
        const int left = area.left() + v * area.width() / 256;
        const int right = area.left() + (v + 1) * area.width() / 256;
        // At least one pixel, so that a value that occurs at all shows.
        const int height = std::max(1, int(double(m_counts[v]) / double(largest) * area.height()));
        painter.drawRect(left, area.bottom() - height + 1, std::max(1, right - left), height);
    }
}

TStatisticsDock::TStatisticsDock(HexViewWindow& window)
    : QDockWidget(HexViewWindow::tr("Statistics"), &window), m_window(window), m_work(new TSlicedWork(this))
{
    setObjectName(QStringLiteral("dockStatistics"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    m_scope = new QLabel(body);
    m_entropy = new QLabel(body);
    m_entropy->setObjectName(QStringLiteral("statisticsEntropy"));
    m_entropy->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_bars = new THistogramBars(body);
    m_table = new QTableWidget(256, 4, body);
    m_table->setObjectName(QStringLiteral("statisticsTable"));
    m_table->setHorizontalHeaderLabels(
        {HexViewWindow::tr("Byte"), HexViewWindow::tr("Char"), HexViewWindow::tr("Count"), HexViewWindow::tr("%")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setStretchLastSection(true);
    MakeCompact(*m_table, *m_table->verticalHeader(), 40);
    m_progress = new QProgressBar(body);
    m_progress->setRange(0, 100);
    m_progress->hide();
    layout->addWidget(m_scope);
    layout->addWidget(m_entropy);
    layout->addWidget(m_bars);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_progress);
    setWidget(body);

    connect(&window, &HexViewWindow::DocumentLoaded, this, &TStatisticsDock::Restart);
    connect(&window, &HexViewWindow::DataChanged, this, &TStatisticsDock::Changed);
    connect(&window, &HexViewWindow::SelectionChanged, this, &TStatisticsDock::SelectionMoved);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible)
            Restart();
        else
            m_work->Stop();
    });
}

QString TStatisticsDock::EntropyText() const
{
    return m_entropy->text();
}

void TStatisticsDock::SelectionMoved()
{
    if (TAnalysisSpan::Of(m_window.Editor()) != m_span)
        Changed();
}

void TStatisticsDock::Changed()
{
    if (!isVisible())
        return;
    m_span = TAnalysisSpan::Of(m_window.Editor());
    m_scope->setText(m_span.Text());
    m_entropy->setText(HexViewWindow::tr("Entropy ..."));
    m_work->Schedule([this] { Restart(); });
}

void TStatisticsDock::Restart()
{
    m_work->Stop();
    if (!isVisible())
        return;
    m_span = TAnalysisSpan::Of(m_window.Editor());
    m_scope->setText(m_span.Text());
    m_entropy->setText(HexViewWindow::tr("Entropy ..."));
    m_histogram.Clear();
    m_done = 0;
    m_work->Start([this] { return Step(); });
}

bool TStatisticsDock::Step()
{
    TMPHexEditorEx& editor = m_window.Editor();
    if (int64_t(m_span.First) + m_span.Count > editor.DataSize())
        return true; // the data shrank: a change restarts the count
    const int64_t n = std::min<int64_t>(SliceSize, m_span.Count - m_done);
    if (n > 0)
        m_histogram.Add(m_reader.Read(editor.DataStorage(), m_span.First + m_done, n), size_t(n));
    m_done += n;
    const bool done = m_done >= m_span.Count;
    m_progress->setValue(m_span.Count > 0 ? int(m_done * 100 / m_span.Count) : 100);
    m_progress->setVisible(!done);
    if (done)
        ShowResults();
    return done;
}

void TStatisticsDock::ShowResults()
{
    m_entropy->setText(HexViewWindow::tr("Entropy %1 bits per byte").arg(m_histogram.Entropy(), 0, 'f', 4));
    m_bars->SetCounts(m_histogram.Counts());
    const std::vector<uint8_t> order = m_histogram.ByFrequency();
    const double total = double(std::max<uint64_t>(m_histogram.Total(), 1));
    m_table->setUpdatesEnabled(false);
    for (int row = 0; row < 256; ++row) {
        const int v = order[size_t(row)];
        const uint64_t count = m_histogram.Counts()[v];
        m_table->setItem(row, 0, new QTableWidgetItem(QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper()));
        m_table->setItem(row, 1, new QTableWidgetItem(CharText(v)));
        m_table->setItem(row, 2, NumberItem(QString::number(count)));
        m_table->setItem(row, 3, NumberItem(QString::number(double(count) * 100.0 / total, 'f', 3)));
    }
    m_table->setUpdatesEnabled(true);
}

void InstallStatisticsDock(HexViewWindow& window)
{
    window.AddHiddenDock(new TStatisticsDock(window), QStringLiteral("actionStatistics"), HexViewWindow::tr("S&tatistics"));
}

} // namespace hexview
