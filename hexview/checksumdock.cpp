// The Checksums dock.

#include "hexview/checksumdock.h"

#include "hexview/hexviewwindow.h"
#include "hexview/slicedwork.h"

#include "firmware/core/bootimage.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace hexview {

TChecksumDock::TChecksumDock(HexViewWindow& window)
    : QDockWidget(HexViewWindow::tr("Checksums"), &window), m_window(window), m_work(new TSlicedWork(this))
{
    setObjectName(QStringLiteral("dockChecksums"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    m_scope = new QLabel(body);
    m_scope->setObjectName(QStringLiteral("checksumScope"));
    m_table = new QTableWidget(DigestKindCount, 2, body);
    m_table->setObjectName(QStringLiteral("checksumTable"));
    m_table->setHorizontalHeaderLabels({HexViewWindow::tr("Algorithm"), HexViewWindow::tr("Value")});
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setWordWrap(false);
    for (TMPHDigestKind kind : AllDigestKinds()) {
        m_table->setItem(int(kind), 0, new QTableWidgetItem(DigestKindName(kind)));
        m_table->setItem(int(kind), 1, new QTableWidgetItem);
    }
    MakeCompact(*m_table, *m_table->verticalHeader(), 60);
    m_progress = new QProgressBar(body);
    m_progress->setRange(0, 100);
    m_progress->hide();
    m_copy = new QPushButton(HexViewWindow::tr("&Copy"), body);
    m_copy->setObjectName(QStringLiteral("checksumCopy"));
    layout->addWidget(m_scope);
    layout->addWidget(m_table);
    layout->addWidget(m_progress);
    layout->addWidget(m_copy, 0, Qt::AlignRight);
    setWidget(body);

    connect(m_copy, &QPushButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(CopyText()); });
    connect(&window, &HexViewWindow::DocumentLoaded, this, &TChecksumDock::Restart);
    connect(&window, &HexViewWindow::DataChanged, this, &TChecksumDock::Changed);
    connect(&window, &HexViewWindow::SelectionChanged, this, &TChecksumDock::SelectionMoved);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible)
            Restart();
        else
            m_work->Stop();
    });
}

TChecksumDock::~TChecksumDock() = default;

QString TChecksumDock::Value(TMPHDigestKind kind) const
{
    return m_table->item(int(kind), 1)->text();
}

QString TChecksumDock::ScopeText() const
{
    return m_scope->text();
}

QString TChecksumDock::CopyText() const
{
    QStringList lines;
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    for (int row = 0; row < m_table->rowCount(); ++row)
        if (rows.isEmpty() || m_table->selectionModel()->isRowSelected(row))
            lines << QStringLiteral("%1  %2").arg(m_table->item(row, 0)->text(), m_table->item(row, 1)->text());
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void TChecksumDock::SelectionMoved()
{
    // The notification also comes for caret moves, which change nothing here.
    if (TAnalysisSpan::Of(m_window.Editor()) != m_span)
        Changed();
}

void TChecksumDock::Changed()
{
    if (!isVisible())
        return;
    // Sum again once the user pauses.
    const TAnalysisSpan span = TAnalysisSpan::Of(m_window.Editor());
    m_span = span;
    m_work->Stop();
    m_run.reset();
    for (int row = 0; row < m_table->rowCount(); ++row)
        m_table->item(row, 1)->setText(QString());
    m_scope->setText(span.Text());
    m_work->Schedule([this] { Restart(); });
}

void TChecksumDock::Restart()
{
    m_work->Stop();
    if (!isVisible())
        return;
    TMPHexEditorEx& editor = m_window.Editor();
    m_span = TAnalysisSpan::Of(editor);
    m_scope->setText(m_span.Text());
    m_run = std::make_unique<TMPHDigestRun>(nullptr, m_span.Count, AllDigestKinds(), boot::Crc32Update);
    for (int row = 0; row < m_table->rowCount(); ++row)
        m_table->item(row, 1)->setText(QString());
    m_work->Start([this] { return Step(); });
}

bool TChecksumDock::Step()
{
    if (!m_run)
        return true;
    TMPHMemoryStream& data = m_window.Editor().DataStorage();
    if (int64_t(m_span.First) + m_span.Count > data.Size())
        return true; // the data shrank: a change restarts the sums
    const int64_t n = std::min<int64_t>(SliceSize, m_span.Count - m_run->Processed());
    const bool done = m_run->StepWith(m_reader.Read(data, m_span.First + m_run->Processed(), n), n);
    m_progress->setValue(m_run->Percent());
    m_progress->setVisible(!done);
    if (done)
        ShowResults();
    return done;
}

void TChecksumDock::ShowResults()
{
    for (const TMPHDigest& digest : m_run->Digests()) {
        QTableWidgetItem* item = m_table->item(int(digest.Kind()), 1);
        item->setText(digest.HexResult().toUpper());
        item->setToolTip(item->text()); // the whole value where the column cuts it
    }
}

void InstallChecksumDock(HexViewWindow& window)
{
    window.AddHiddenDock(new TChecksumDock(window), QStringLiteral("actionChecksums"), HexViewWindow::tr("&Checksums"));
}

} // namespace hexview
