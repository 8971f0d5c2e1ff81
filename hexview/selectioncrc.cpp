// The status bar's CRC-32 of the selection.

#include "hexview/selectioncrc.h"

#include "hexview/hexviewwindow.h"

#include "firmware/core/bootimage.h"

#include <QLabel>
#include <QStatusBar>
#include <algorithm>

namespace hexview {

TSelectionCrc::TSelectionCrc(HexViewWindow& window) : QObject(&window), m_window(window)
{
    m_field = new QLabel(window.statusBar());
    m_field->setObjectName(QStringLiteral("statusCrc"));
    m_field->setTextInteractionFlags(Qt::TextSelectableByMouse);
    window.statusBar()->addPermanentWidget(m_field);
    m_field->hide();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TSelectionCrc::Step);
    connect(&window, &HexViewWindow::SelectionChanged, this, &TSelectionCrc::Restart);
    connect(&window, &HexViewWindow::DataChanged, this, &TSelectionCrc::Restart);
    connect(&window, &HexViewWindow::DocumentLoaded, this, &TSelectionCrc::Restart);
}

void TSelectionCrc::Restart()
{
    m_timer.stop();
    TMPHexEditorEx& editor = m_window.Editor();
    const int32_t count = editor.SelCount();
    const int32_t first = editor.SelFirst();
    m_first = first;
    m_count = count;
    m_done = 0;
    m_reg = 0xFFFFFFFF; // the checksum's initial register, as for a file
    if (count <= 0 || first < 0 || int64_t(first) + count > editor.DataSize()) {
        m_count = 0;
        m_field->hide();
        return;
    }
    m_field->setText(HexViewWindow::tr("CRC-32 ..."));
    m_field->show();
    if (count <= ImmediateSize) {
        Step();
        return;
    }
    m_timer.start(PauseMs);
}

void TSelectionCrc::Step()
{
    TMPHexEditorEx& editor = m_window.Editor();
    // The data may have shrunk since the selection was taken; a change
    // restarts the sum, so this only guards against reading past the end.
    if (int64_t(m_first) + m_count > editor.DataSize()) {
        m_count = 0;
        m_field->hide();
        return;
    }
    // Span by span: the data need not be contiguous for the sum.
    for (int32_t left = std::min(SliceSize, m_count - m_done); left > 0;) {
        int64_t length = 0;
        const uint8_t* span = editor.DataStorage().SpanAt(int64_t(m_first) + m_done, &length);
        const int32_t n = int32_t(std::min<int64_t>(left, length));
        m_reg = boot::Crc32Update(m_reg, span, size_t(n));
        m_done += n;
        left -= n;
    }
    if (m_done < m_count) {
        m_field->setText(HexViewWindow::tr("CRC-32 ... %1%").arg(int64_t(m_done) * 100 / m_count));
        m_timer.start(0); // the next slice after pending events
        return;
    }
    Show();
}

void TSelectionCrc::Show()
{
    m_field->setText(HexViewWindow::tr("CRC-32 %1").arg(QString::number(~m_reg, 16).toUpper().rightJustified(8, QLatin1Char('0'))));
}

void InstallSelectionCrc(HexViewWindow& window)
{
    new TSelectionCrc(window);
}

} // namespace hexview
