// The Structure dock.

#include "hexview/structuredock.h"

#include "hexview/analysisspan.h"
#include "hexview/hexviewwindow.h"
#include "hexview/slicedwork.h"

#include "firmware/core/bootimage.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace hexview {

namespace {

QString CrcText(uint32_t crc)
{
    return QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper();
}

QString Hex(int64_t value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

QString RangeText(const TPosRange& range)
{
    if (range.Empty())
        return QString();
    return QStringLiteral("%1-%2 (%3 bytes)").arg(Hex(range.First), Hex(range.Last)).arg(range.Last - range.First + 1);
}

const char* const FieldNames[TStructureDock::FieldCount] = {
    "Boot marker", "Boot block", "ID 1", "ID 2", "CRC-32 of the data", "CRC-32 of the boot block",
};

} // namespace

TStructureDock::TStructureDock(HexViewWindow& window)
    : QDockWidget(HexViewWindow::tr("Structure"), &window), m_window(window), m_work(new TSlicedWork(this))
{
    setObjectName(QStringLiteral("dockStructure"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    m_note = new QLabel(body);
    m_note->setWordWrap(true);
    m_table = new QTableWidget(FieldCount, 3, body);
    m_table->setObjectName(QStringLiteral("structureTable"));
    m_table->setHorizontalHeaderLabels({HexViewWindow::tr("Field"), HexViewWindow::tr("Value"),
                                        HexViewWindow::tr("Bytes")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    MakeCompact(*m_table, *m_table->verticalHeader(), 64);
    for (int row = 0; row < FieldCount; ++row) {
        m_table->setItem(row, 0, new QTableWidgetItem(HexViewWindow::tr(FieldNames[row])));
        m_table->setItem(row, 1, new QTableWidgetItem);
        m_table->setItem(row, 2, new QTableWidgetItem);
    }
    layout->addWidget(m_note);
    layout->addWidget(m_table, 1);
    setWidget(body);

    connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int) { SelectField(TField(row)); });
    connect(&window, &HexViewWindow::DocumentLoaded, this, &TStructureDock::Restart);
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

QString TStructureDock::Value(TField field) const
{
    return m_table->item(field, 1)->text();
}

QString TStructureDock::NoteText() const
{
    return m_note->text();
}

TPosRange TStructureDock::FieldRange(TField field) const
{
    if (!m_layout.Found)
        return TPosRange{};
    switch (field) {
    case fdMarker: return TPosRange{m_layout.MarkerOffset, m_layout.MarkerOffset + 3};
    case fdFirstId: return m_layout.FirstId;
    case fdSecondId: return m_layout.SecondId;
    case fdImageCrc: return TPosRange{0, int32_t(m_size - 1)};
    default: return m_layout.Block;
    }
}

void TStructureDock::SetRow(TField field, const QString& value, const TPosRange& range)
{
    m_table->item(field, 1)->setText(value);
    m_table->item(field, 2)->setText(RangeText(range));
}

void TStructureDock::Restart()
{
    m_work->Stop();
    if (!isVisible())
        return;
    m_size = m_window.Editor().DataSize();
    m_layout = TBootLayout{};
    for (int row = 0; row < FieldCount; ++row)
        SetRow(TField(row), QString(), TPosRange{});
    m_table->setEnabled(false);
    m_note->setText(HexViewWindow::tr("Looking for the boot marker (E3 00 00 10)..."));
    // The marker is searched, and the image summed, a slice at a time read
    // into a buffer: a document read on demand is never gathered for it.
    m_scan = std::make_unique<TMarkerScan>(m_size);
    m_work->Start([this] { return Step(); });
}

bool TStructureDock::Step()
{
    TMPHMemoryStream& data = m_window.Editor().DataStorage();
    if (data.Size() != m_size)
        return true; // a change restarts the search
    if (m_scan) {
        const TDataReader read = [&data](int64_t position, uint8_t* buffer, int64_t count) {
            data.ReadBufferAt(buffer, position, count);
        };
        if (!m_scan->Step(read, SliceSize))
            return false;
        m_layout = BootLayoutAt(read, m_size, m_scan->Offset());
        m_scan.reset();
        ShowLayout(data);
        m_reg = 0xFFFFFFFFu;
        m_done = 0;
        return !m_layout.Found;
    }
    const int64_t n = std::min(SliceSize, m_size - m_done);
    m_reg = boot::Crc32Update(m_reg, m_reader.Read(data, m_done, n), size_t(n));
    m_done += n;
    if (m_done < m_size) {
        SetRow(fdImageCrc, HexViewWindow::tr("... %1%").arg(m_done * 100 / m_size), FieldRange(fdImageCrc));
        return false;
    }
    SetRow(fdImageCrc, CrcText(~m_reg), FieldRange(fdImageCrc));
    return true;
}

// The fields of the layout found; only their own bytes are read.
void TStructureDock::ShowLayout(TMPHMemoryStream& data)
{
    if (!m_layout.Found) {
        m_note->setText(HexViewWindow::tr("No boot marker (E3 00 00 10) in this document."));
        return;
    }
    m_table->setEnabled(true);
    m_note->setText(HexViewWindow::tr("Firmware image"));
    SetRow(fdMarker, Hex(m_layout.MarkerOffset), FieldRange(fdMarker));
    SetRow(fdBlock, HexViewWindow::tr("%1 of %2 bytes").arg(m_layout.Block.Last - m_layout.Block.First + 1)
                        .arg(boot::BootBlockSize), m_layout.Block);
    for (TField id : {fdFirstId, fdSecondId}) {
        const TPosRange range = FieldRange(id);
        QByteArray bytes;
        if (!range.Empty()) {
            bytes.resize(range.Last - range.First + 1);
            data.ReadBufferAt(bytes.data(), range.First, bytes.size());
        }
        SetRow(id, boot::IdLabelText(bytes), range);
    }
    const int64_t blockSize = m_layout.Block.Last - m_layout.Block.First + 1;
    const uint32_t blockCrc =
        ~boot::Crc32Update(0xFFFFFFFFu, m_reader.Read(data, m_layout.Block.First, blockSize), size_t(blockSize));
    SetRow(fdBlockCrc, CrcText(blockCrc), m_layout.Block);
    SetRow(fdImageCrc, HexViewWindow::tr("..."), FieldRange(fdImageCrc));
}

void TStructureDock::SelectField(TField field)
{
    const TPosRange range = FieldRange(field);
    TMPHexEditorEx& editor = m_window.Editor();
    if (range.Empty() || range.Last >= editor.DataSize())
        return;
    m_window.RunGuarded([&] {
        editor.SetSelStart(range.First);
        editor.SetSelEnd(range.Last);
    });
    emit m_window.SelectionChanged();
}

void InstallStructureDock(HexViewWindow& window)
{
    window.AddHiddenDock(new TStructureDock(window), QStringLiteral("actionStructure"), HexViewWindow::tr("Str&ucture"));
}

} // namespace hexview
