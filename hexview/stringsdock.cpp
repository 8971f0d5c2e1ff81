// The Strings dock.

#include "hexview/stringsdock.h"

#include "hexview/analysisspan.h"
#include "hexview/hexviewwindow.h"
#include "hexview/slicedwork.h"
#include "platform/core/atomicsave.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace hexview {

// ---- the model ---------------------------------------------------------------

int TStringRunsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_runs.size());
}

int TStringRunsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString TStringRunsModel::EncodingName(TMPHStringEncoding encoding)
{
    return encoding == TMPHStringEncoding::Ascii ? QStringLiteral("ASCII") : QStringLiteral("UTF-16LE");
}

QVariant TStringRunsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= m_runs.size())
        return QVariant();
    const TMPHStringRun& run = m_runs[size_t(index.row())];
    if (role == Qt::UserRole)
        return QVariant::fromValue(run.Offset);
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case OffsetColumn: return QStringLiteral("%1").arg(run.Offset, 8, 16, QLatin1Char('0')).toUpper();
    case EncodingColumn: return EncodingName(run.Encoding);
    case LengthColumn:
        return QVariant::fromValue(run.Encoding == TMPHStringEncoding::Utf16Le ? run.ByteLength / 2 : run.ByteLength);
    default: return run.Text;
    }
}

QVariant TStringRunsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case OffsetColumn: return HexViewWindow::tr("Offset");
    case EncodingColumn: return HexViewWindow::tr("Encoding");
    case LengthColumn: return HexViewWindow::tr("Length");
    default: return HexViewWindow::tr("Text");
    }
}

void TStringRunsModel::Clear()
{
    beginResetModel();
    m_runs.clear();
    endResetModel();
}

void TStringRunsModel::Append(std::vector<TMPHStringRun>& runs)
{
    if (runs.empty())
        return;
    beginInsertRows(QModelIndex(), int(m_runs.size()), int(m_runs.size() + runs.size() - 1));
    std::move(runs.begin(), runs.end(), std::back_inserter(m_runs));
    endInsertRows();
    runs.clear();
}

void TStringRunsModel::SortByOffset()
{
    beginResetModel();
    std::stable_sort(m_runs.begin(), m_runs.end(), [](const TMPHStringRun& a, const TMPHStringRun& b) {
        return a.Offset != b.Offset ? a.Offset < b.Offset : a.Encoding < b.Encoding;
    });
    endResetModel();
}

QString TStringRunsModel::ExportLine(const TMPHStringRun& run)
{
    return QStringLiteral("%1\t%2\t%3")
        .arg(QStringLiteral("%1").arg(run.Offset, 8, 16, QLatin1Char('0')).toUpper(), EncodingName(run.Encoding),
             run.Text);
}

// ---- the dock ----------------------------------------------------------------

TStringsDock::TStringsDock(HexViewWindow& window)
    : QDockWidget(HexViewWindow::tr("Strings"), &window), m_window(window), m_work(new TSlicedWork(this))
{
    setObjectName(QStringLiteral("dockStrings"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    auto* options = new QHBoxLayout;
    m_minLength = new QSpinBox(body);
    m_minLength->setObjectName(QStringLiteral("stringsMinLength"));
    m_minLength->setRange(1, 1024);
    m_minLength->setValue(TMPHStringScanner::DefaultMinLength);
    m_minLength->setPrefix(HexViewWindow::tr("At least "));
    m_ascii = new QCheckBox(QStringLiteral("ASCII"), body);
    m_ascii->setChecked(true);
    m_utf16 = new QCheckBox(QStringLiteral("UTF-16LE"), body);
    m_utf16->setChecked(true);
    options->addWidget(m_minLength);
    options->addWidget(m_ascii);
    options->addWidget(m_utf16);
    options->addStretch();
    m_filter = new QLineEdit(body);
    m_filter->setObjectName(QStringLiteral("stringsFilter"));
    m_filter->setPlaceholderText(HexViewWindow::tr("Filter"));
    m_filter->setClearButtonEnabled(true);
    m_model = new TStringRunsModel(this);
    m_filtered = new QSortFilterProxyModel(this);
    m_filtered->setSourceModel(m_model);
    m_filtered->setFilterKeyColumn(TStringRunsModel::TextColumn);
    m_filtered->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_view = new QTableView(body);
    m_view->setObjectName(QStringLiteral("stringsView"));
    m_view->setModel(m_filtered);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setWordWrap(false);
    MakeCompact(*m_view, *m_view->verticalHeader(), 64);
    const QFontMetrics metrics = m_view->fontMetrics();
    m_view->horizontalHeader()->resizeSection(TStringRunsModel::OffsetColumn, metrics.horizontalAdvance("00000000") + 16);
    m_view->horizontalHeader()->resizeSection(TStringRunsModel::EncodingColumn, metrics.horizontalAdvance("UTF-16LE") + 16);
    m_view->horizontalHeader()->resizeSection(TStringRunsModel::LengthColumn, metrics.horizontalAdvance("Length") + 16);
    m_status = new QLabel(body);
    m_progress = new QProgressBar(body);
    m_progress->setRange(0, 100);
    m_progress->hide();
    auto* exportButton = new QPushButton(HexViewWindow::tr("&Export..."), body);
    exportButton->setObjectName(QStringLiteral("stringsExport"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(exportButton);
    layout->addLayout(options);
    layout->addWidget(m_filter);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_progress);
    layout->addLayout(bottom);
    setWidget(body);

    connect(m_filter, &QLineEdit::textChanged, m_filtered, &QSortFilterProxyModel::setFilterFixedString);
    connect(m_view, &QTableView::clicked, this, [this](const QModelIndex& index) { SelectRow(index.row()); });
    connect(exportButton, &QPushButton::clicked, this, &TStringsDock::Export);
    connect(m_minLength, &QSpinBox::valueChanged, this, [this] { m_work->Schedule([this] { Restart(); }); });
    connect(m_ascii, &QCheckBox::toggled, this, &TStringsDock::Restart);
    connect(m_utf16, &QCheckBox::toggled, this, &TStringsDock::Restart);
    connect(&window, &HexViewWindow::DocumentLoaded, this, &TStringsDock::Restart);
    connect(&window, &HexViewWindow::DataChanged, this, [this] {
        if (isVisible())
            m_work->Schedule([this] { Restart(); });
    });
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible)
            Restart();
        else
            m_work->Stop();
    });
}

TStringsDock::~TStringsDock() = default;

QString TStringsDock::StatusText() const
{
    return m_status->text();
}

void TStringsDock::Restart()
{
    m_work->Stop();
    m_model->Clear();
    m_scanner.reset();
    m_truncated = false;
    if (!isVisible())
        return;
    if (!m_ascii->isChecked() && !m_utf16->isChecked()) {
        m_status->setText(HexViewWindow::tr("Choose ASCII, UTF-16LE or both"));
        return;
    }
    m_scanner = std::make_unique<TMPHStringScanner>(m_window.Editor().DataSize(), m_minLength->value(),
                                                    m_ascii->isChecked(), m_utf16->isChecked());
    m_work->Start([this] { return Step(); });
}

bool TStringsDock::Step()
{
    TMPHexEditorEx& editor = m_window.Editor();
    if (!m_scanner || editor.DataSize() != m_scanner->Size())
        return true; // a change restarts the scan
    std::vector<TMPHStringRun> found;
    const int64_t need = m_scanner->SliceNeed(SliceSize);
    m_scanner->StepSlice(m_reader.Read(editor.DataStorage(), m_scanner->Position(), need), SliceSize, found);
    if (m_model->Runs().size() + found.size() > MaxRuns) {
        found.resize(MaxRuns - std::min(MaxRuns, m_model->Runs().size()));
        m_truncated = true;
    }
    m_model->Append(found);
    const bool done = m_scanner->Done() || m_truncated;
    m_progress->setValue(m_scanner->Percent());
    m_progress->setVisible(!done);
    if (!done) {
        m_status->setText(HexViewWindow::tr("%1 strings so far").arg(m_model->Runs().size()));
        return false;
    }
    m_model->SortByOffset();
    m_status->setText(m_truncated ? HexViewWindow::tr("The first %1 strings").arg(m_model->Runs().size())
                                  : HexViewWindow::tr("%1 strings").arg(m_model->Runs().size()));
    return true;
}

void TStringsDock::SelectRow(int row)
{
    const QModelIndex source = m_filtered->mapToSource(m_filtered->index(row, 0));
    if (!source.isValid())
        return;
    const TMPHStringRun& run = m_model->Runs()[size_t(source.row())];
    TMPHexEditorEx& editor = m_window.Editor();
    if (run.Offset + run.ByteLength > editor.DataSize())
        return; // the data changed; the list follows shortly
    m_window.RunGuarded([&] {
        editor.SetSelStart(int32_t(run.Offset));
        editor.SetSelEnd(int32_t(run.Offset + run.ByteLength - 1));
    });
    emit m_window.SelectionChanged();
}

QString TStringsDock::ExportText() const
{
    QString text;
    for (int row = 0; row < m_filtered->rowCount(); ++row) {
        const QModelIndex source = m_filtered->mapToSource(m_filtered->index(row, 0));
        text += TStringRunsModel::ExportLine(m_model->Runs()[size_t(source.row())]) + QLatin1Char('\n');
    }
    return text;
}

bool TStringsDock::ExportTo(const QString& path)
{
    const QByteArray bytes = ExportText().toUtf8();
    return m_window.RunGuarded([&] {
        SaveFileAtomically(path, reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size());
    });
}

void TStringsDock::Export()
{
    const QString path = QFileDialog::getSaveFileName(&m_window, HexViewWindow::tr("Export strings"), QString(),
                                                      HexViewWindow::tr("Text files (*.txt);;All files (*)"));
    if (!path.isEmpty())
        ExportTo(path);
}

void InstallStringsDock(HexViewWindow& window)
{
    window.AddHiddenDock(new TStringsDock(window), QStringLiteral("actionStrings"), HexViewWindow::tr("St&rings"));
}

} // namespace hexview
