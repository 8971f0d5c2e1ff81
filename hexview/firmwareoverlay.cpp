#include "hexview/firmwareoverlay.h"

#include "hexview/celltint.h"
#include "hexview/core/statustexts.h"
#include "hexview/core/tint.h"
#include "hexview/hexviewwindow.h"
#include "hexview/statusbar.h"
#include "firmware/core/bootimage.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <algorithm>

namespace hexview {

namespace {

QColor ToColor(uint32_t rgb) { return QColor::fromRgb(QRgb(0xFF000000u | rgb)); }
uint32_t ToRgb(const QColor& color) { return color.rgb() & 0xFFFFFFu; }

void DrawFrameEdges(QPainter& canvas, const QRect& cell, int edges, const QColor& color)
{
    canvas.save();
    canvas.setPen(QPen(color, 1));
    canvas.setBrush(Qt::NoBrush);
    if (edges & feTop)
        canvas.drawLine(cell.topLeft(), cell.topRight());
    if (edges & feBottom)
        canvas.drawLine(cell.bottomLeft(), cell.bottomRight());
    if (edges & feLeft)
        canvas.drawLine(cell.topLeft(), cell.bottomLeft());
    if (edges & feRight)
        canvas.drawLine(cell.topRight(), cell.bottomRight());
    canvas.restore();
}

} // namespace

TFirmwareOverlay::TFirmwareOverlay(HexViewWindow& window) : QObject(&window), m_window(window)
{
    // Another tab in front: the bookmark set in the document before stays
    // with it; the overlay takes up the new one (DocumentLoaded follows).
    connect(&window, &HexViewWindow::CurrentDocumentChanged, this, [this] { m_ownsBookmark = false; });
    connect(&window, &HexViewWindow::DocumentLoaded, this, &TFirmwareOverlay::DocumentLoaded);
    connect(&window, &HexViewWindow::DataChanged, this, &TFirmwareOverlay::DataChanged);
    m_crcTimer.setSingleShot(true);
    connect(&m_crcTimer, &QTimer::timeout, this, &TFirmwareOverlay::CrcStep);
    m_scanTimer.setSingleShot(true);
    connect(&m_scanTimer, &QTimer::timeout, this, &TFirmwareOverlay::SearchStep);
}

TFirmwareOverlay::~TFirmwareOverlay() = default;

void TFirmwareOverlay::InstallActions()
{
    m_window.ViewMenu()->addSeparator();
    m_toggle = m_window.ViewMenu()->addAction(tr("&Firmware overlay"));
    m_toggle->setObjectName(QStringLiteral("actionFirmwareOverlay"));
    m_toggle->setCheckable(true);
    m_toggle->setChecked(m_enabled);
    m_toggle->setToolTip(tr("Mark the boot block, the ID strings and the CRC-32 of firmware images"));
    connect(m_toggle, &QAction::toggled, this, &TFirmwareOverlay::SetEnabled);
}

void TFirmwareOverlay::SetEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    if (m_toggle)
        m_toggle->setChecked(value);
    Apply();
}

TDataReader TFirmwareOverlay::DocumentReader() const
{
    TMPHexEditorEx& editor = m_window.Editor();
    return [&editor](int64_t position, uint8_t* buffer, int64_t count) {
        editor.DataStorage().PeekBytes(position, buffer, count);
    };
}

// The new document is searched for the marker in the background: nothing
// here waits for it, so the first page comes at once for any size.
void TFirmwareOverlay::DocumentLoaded()
{
    TMPHexEditorEx& editor = m_window.Editor();
    // The previous document's marker bookmark goes with it.
    if (m_ownsBookmark && editor.Bookmarks().At(0) == TMPHBookmark{m_layout.MarkerOffset, false})
        editor.SetBookmark(0, -1, false);
    m_ownsBookmark = false;
    m_layout = TBootLayout{};
    m_crc = 0;
    RestartCrc(false);
    Apply();
    StartSearch();
}

void TFirmwareOverlay::DataChanged()
{
    // Offsets found so far may have moved: the search starts again.
    if (m_scan) {
        StartSearch();
        return;
    }
    if (!m_layout.Found)
        return;
    FollowMarker();
    if (!m_layout.Found)
        return;
    RestartCrc(m_window.Editor().DataSize() <= ImmediateCrcSize);
    Apply();
}

void TFirmwareOverlay::StartSearch()
{
    m_scanTimer.stop();
    m_scan = std::make_unique<TMarkerScan>(m_window.Editor().DataSize());
    if (m_window.Editor().DataSize() <= SearchSliceSize)
        SearchStep();
    else
        m_scanTimer.start(0);
}

void TFirmwareOverlay::SearchStep()
{
    if (!m_scan)
        return;
    TMPHexEditorEx& editor = m_window.Editor();
    if (!m_scan->Step(DocumentReader(), SearchSliceSize)) {
        m_scanTimer.start(0); // the next slice after pending events
        return;
    }
    const int64_t offset = m_scan->Offset();
    m_scan.reset();
    if (offset < 0) {
        // No marker (any more): the overlay goes, with the bookmark it set.
        if (m_ownsBookmark && editor.Bookmarks().At(0) == TMPHBookmark{m_layout.MarkerOffset, false})
            editor.SetBookmark(0, -1, false);
        m_ownsBookmark = false;
        m_layout = TBootLayout{};
        RestartCrc(false);
        Apply();
        return;
    }
    m_layout = BootLayoutAt(DocumentReader(), editor.DataSize(), offset);
    // Summed at once when that is as quick as the search was.
    RestartCrc(editor.DataSize() <= SearchSliceSize);
    Apply();
}

// Where bookmark 0 (which moves with the data) or the old offset still
// holds the marker; else the search runs again. Only the marker's bytes
// are read here.
void TFirmwareOverlay::FollowMarker()
{
    TMPHexEditorEx& editor = m_window.Editor();
    const int32_t size = editor.DataSize();
    const TDataReader read = DocumentReader();
    const int32_t markBookmark = editor.Bookmarks().At(0).mPosition;
    TBootLayout layout;
    if (m_ownsBookmark && markBookmark >= 0)
        layout = BootLayoutAt(read, size, markBookmark);
    if (!layout.Found)
        layout = BootLayoutAt(read, size, m_layout.MarkerOffset);
    if (layout.Found) {
        m_layout = layout;
        return;
    }
    // The search decides (at once for a small document), keeping the old
    // layout until then so that the bookmark it set can be taken back.
    m_crcTimer.stop();
    StartSearch();
    if (m_scan) {
        // Still searching: nothing is shown until the marker is found.
        m_layout.Found = false;
        Apply();
    }
}

void TFirmwareOverlay::RestartCrc(bool atOnce)
{
    m_crcTimer.stop();
    m_crcReg = 0xFFFFFFFF;
    m_crcDone = 0;
    m_crcSize = m_layout.Found ? m_window.Editor().DataSize() : 0;
    if (m_crcSize == 0) {
        std::vector<uint8_t>().swap(m_crcBuffer);
        return;
    }
    if (atOnce) {
        while (m_crcDone < m_crcSize)
            SumNext(std::min(CrcSliceSize, m_crcSize - m_crcDone));
        m_crc = ~m_crcReg;
        std::vector<uint8_t>().swap(m_crcBuffer);
        return;
    }
    m_crcTimer.start(CrcPauseMs);
}

void TFirmwareOverlay::SumNext(int32_t n)
{
    // Read a slice at a time: the document need not be in one block.
    m_crcBuffer.resize(size_t(std::min(CrcSliceSize, m_crcSize)));
    m_window.Editor().DataStorage().PeekBytes(m_crcDone, m_crcBuffer.data(), n);
    m_crcReg = boot::Crc32Update(m_crcReg, m_crcBuffer.data(), size_t(n));
    m_crcDone += n;
}

void TFirmwareOverlay::CrcStep()
{
    TMPHexEditorEx& editor = m_window.Editor();
    // Any change restarts the sum; this only guards against a shorter buffer.
    if (m_crcSize > editor.DataSize()) {
        RestartCrc(false);
        return;
    }
    SumNext(std::min(CrcSliceSize, m_crcSize - m_crcDone));
    if (m_crcDone < m_crcSize) {
        m_crcTimer.start(0); // the next slice after pending events
        return;
    }
    m_crc = ~m_crcReg;
    std::vector<uint8_t>().swap(m_crcBuffer);
    Apply();
}

void TFirmwareOverlay::Apply()
{
    TMPHexEditorEx& editor = m_window.Editor();
    const bool shown = m_enabled && m_layout.Found;
    const TMPHBookmark onMarker{m_layout.MarkerOffset, false};
    if (shown && !m_ownsBookmark) {
        // Setting a bookmark where it stands already would clear it.
        if (!(editor.Bookmarks().At(0) == onMarker))
            editor.SetBookmark(0, m_layout.MarkerOffset, false);
        m_ownsBookmark = true;
    } else if (!shown && m_ownsBookmark) {
        // Take back only the bookmark we set; one moved by the user stays.
        if (editor.Bookmarks().At(0) == onMarker)
            editor.SetBookmark(0, -1, false);
        m_ownsBookmark = false;
    }
    QString text;
    if (shown)
        text = CrcBusy() ? BootStatusPendingText(m_layout.MarkerOffset) : BootStatusText(true, m_layout.MarkerOffset, m_crc);
    m_window.StatusFields().SetBootText(text);
    editor.viewport()->update();
}

bool TFirmwareOverlay::CellSpan(int col, int32_t position, int32_t& first, int32_t& last, bool& startsByte,
                                bool& endsByte) const
{
    TMPHexEditorEx& editor = m_window.Editor();
    const TMPHGridGeometry geo = editor.Geometry();
    if (!geo.IsDataColumn(col) || position < 0 || position >= editor.DataSize())
        return false;
    first = last = position;
    if (geo.IsHexColumn(col)) {
        startsByte = geo.IsFirstDigit(col);
        endsByte = geo.IsSecondDigit(col);
    } else {
        startsByte = endsByte = true;
        if (editor.UnicodeChars())
            last = std::min(position + 1, editor.DataSize() - 1);
    }
    return true;
}

void TFirmwareOverlay::DrawCell(QObject*, QPainter* canvas, int col, int row, QString& wideText, const QRect& rect,
                                bool& defaultDraw)
{
    if (!m_enabled || !m_layout.Found || !canvas || row < 2)
        return;
    TMPHexEditorEx& editor = m_window.Editor();
    const int32_t position = editor.DrawDataPosition();
    int32_t first = 0, last = 0;
    bool startsByte = false, endsByte = false;
    if (!CellSpan(col, position, first, last, startsByte, endsByte))
        return;
    const bool inBlock = m_layout.Block.Overlaps(first, last);
    const int bytesPerRow = editor.BytesPerRow();
    const int edges = FrameEdges(m_layout.FirstId, first, last, startsByte, endsByte, bytesPerRow) |
                      FrameEdges(m_layout.SecondId, first, last, startsByte, endsByte, bytesPerRow);
    if (!inBlock && edges == feNone)
        return;

    // The editor has chosen the cell's colours (selection and changed bytes
    // included): tint them and keep the text readable on the result.
    const bool charField = editor.Geometry().IsCharColumn(col);
    uint32_t fill = ToRgb(canvas->brush().color());
    uint32_t back = CellTextBackground(editor, position, charField);
    if (inBlock) {
        fill = BlendRgb(fill, BootBlockTint, BootBlockTintPercent);
        back = BlendRgb(back, BootBlockTint, BootBlockTintPercent);
    }
    const uint32_t text = ReadableTextColor(ToRgb(canvas->pen().color()), back);
    const QRect cell = editor.CellRect(col, row);
    const QFontMetrics metrics(editor.font());
    const QRect textBox = QRect(rect.left(), rect.top(), metrics.horizontalAdvance(wideText), metrics.height()) & rect;

    canvas->save();
    canvas->fillRect(cell, ToColor(fill));
    canvas->fillRect(textBox, ToColor(back));
    canvas->setPen(ToColor(text));
    canvas->setClipRect(rect);
    canvas->drawText(QPoint(rect.left(), rect.top() + metrics.ascent()), wideText);
    canvas->restore();
    if (edges != feNone)
        DrawFrameEdges(*canvas, cell, edges, ToColor(IdFrameColor));
    defaultDraw = false;
}

} // namespace hexview
