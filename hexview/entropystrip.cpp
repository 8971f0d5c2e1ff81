// The entropy strip beside the editor's scroll bar.

#include "hexview/entropystrip.h"

#include "hexview/findactions.h"
#include "hexview/hexviewwindow.h"
#include "hexview/slicedwork.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <memory>

namespace hexview {

TEntropyStrip::TEntropyStrip(HexViewWindow& window)
    : QWidget(nullptr), m_window(window), m_work(new TSlicedWork(this))
{
    setObjectName(QStringLiteral("entropyStrip"));
    setToolTip(tr("Entropy of each 4 KiB block: blue constant, red compressed or encrypted; click to go there"));
    setCursor(Qt::PointingHandCursor);
    Attach();
    connect(&window, &HexViewWindow::DocumentLoaded, this, [this] {
        Attach();
        Restart();
    });
    connect(&window, &HexViewWindow::DataChanged, this, [this] {
        if (m_enabled)
            m_work->Schedule([this] { Restart(); });
    });
    connect(&window, &HexViewWindow::SelectionChanged, this, qOverload<>(&QWidget::update));
    connect(m_work, &TSlicedWork::Stepped, this, qOverload<>(&QWidget::update));
    SetEnabled(true);
}

TEntropyStrip::~TEntropyStrip() = default;

void TEntropyStrip::Attach()
{
    TMPHexEditorEx& editor = m_window.Editor();
    if (parentWidget() == &editor)
        return;
    if (auto* previous = qobject_cast<TMPHexEditorEx*>(parentWidget())) {
        previous->viewport()->removeEventFilter(this);
        previous->SetRightMargin(0);
    }
    disconnect(m_scrolled);
    setParent(&editor);
    editor.viewport()->installEventFilter(this);
    m_scrolled = connect(editor.verticalScrollBar(), &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
    editor.SetRightMargin(m_enabled ? StripWidth : 0);
    setVisible(m_enabled);
    if (m_enabled)
        Place();
}

void TEntropyStrip::SetEnabled(bool value)
{
    m_enabled = value;
    m_window.Editor().SetRightMargin(value ? StripWidth : 0);
    setVisible(value);
    if (value) {
        Place();
        Restart();
    } else {
        m_work->Stop();
        m_blocks.reset();
    }
}

void TEntropyStrip::Place()
{
    const QRect viewport = m_window.Editor().viewport()->geometry();
    setGeometry(viewport.right() + 1, viewport.top(), StripWidth, viewport.height());
}

bool TEntropyStrip::eventFilter(QObject*, QEvent* event)
{
    if (m_enabled && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        Place();
    return false;
}

void TEntropyStrip::Restart()
{
    m_work->Stop();
    if (!m_enabled)
        return;
    m_blocks = std::make_unique<TMPHBlockEntropy>(m_window.Editor().DataSize());
    update();
    m_work->Start([this] { return Step(); });
}

bool TEntropyStrip::Step()
{
    TMPHexEditorEx& editor = m_window.Editor();
    if (!m_blocks || m_blocks->Size() != editor.DataSize())
        return true; // a change restarts the blocks
    TMPHMemoryStream& data = editor.DataStorage();
    if (data.IsContiguous())
        return m_blocks->Step(data.Memory(), SliceSize);
    // Data in pieces or read from their file on demand are read a slice at
    // a time into a reused buffer rather than gathered into one block. Like
    // painting, the strip shows unreadable bytes as zeros (the editor tells
    // of the file once).
    const int64_t first = m_blocks->NextOffset();
    const int64_t rounded = (SliceSize + m_blocks->BlockSize() - 1) / m_blocks->BlockSize() * m_blocks->BlockSize();
    const int64_t count = std::max<int64_t>(std::min(rounded, m_blocks->Size() - first), 0);
    m_slice.resize(size_t(std::max<int64_t>(count, 1)));
    data.PeekBytes(first, m_slice.data(), count);
    return m_blocks->StepSlice(m_slice.data(), SliceSize);
}

QColor TEntropyStrip::EntropyColor(float bits)
{
    // Hue from blue (240) through green and yellow to red (0).
    const double t = std::clamp(double(bits) / 8.0, 0.0, 1.0);
    return QColor::fromHsv(int(240 * (1.0 - t)), 220, int(90 + 165 * t));
}

void TEntropyStrip::BlocksOfRow(int y, int h, int64_t blockCount, int64_t& first, int64_t& last)
{
    first = int64_t(y) * blockCount / h;
    last = std::max(first, (int64_t(y) + 1) * blockCount / h - 1);
    last = std::min(last, blockCount - 1);
}

int32_t TEntropyStrip::PositionAt(int y) const
{
    if (!m_blocks || m_blocks->BlockCount() == 0 || height() <= 0)
        return -1;
    int64_t first = 0, last = 0;
    BlocksOfRow(std::clamp(y, 0, height() - 1), height(), m_blocks->BlockCount(), first, last);
    return int32_t(std::min<int64_t>(first * m_blocks->BlockSize(), m_blocks->Size() - 1));
}

void TEntropyStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!m_blocks || m_blocks->BlockCount() == 0)
        return;
    const int h = height();
    const int64_t count = m_blocks->BlockCount();
    for (int y = 0; y < h; ++y) {
        int64_t first = 0, last = 0;
        BlocksOfRow(y, h, count, first, last);
        if (first >= m_blocks->BlocksDone()) {
            painter.fillRect(0, y, width(), 1, Qt::lightGray);
            continue;
        }
        // The highest entropy of the row's blocks, so that a small
        // compressed part of a large file still shows.
        float top = 0.0f;
        for (int64_t b = first; b <= std::min(last, m_blocks->BlocksDone() - 1); ++b)
            top = std::max(top, m_blocks->Value(b));
        painter.fillRect(0, y, width(), 1, EntropyColor(top));
    }
    // The part of the document the editor shows.
    TMPHexEditorEx& editor = m_window.Editor();
    const double size = double(m_blocks->Size());
    const double firstShown = double(editor.TopRow() - editor.FixedRows()) * editor.BytesPerRow();
    const double shown = double(editor.VisibleRowCount()) * editor.BytesPerRow();
    const int top = int(firstShown / size * h);
    const int bottom = std::max(top + 2, int((firstShown + shown) / size * h));
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, top, width() - 1, std::min(bottom, h - 1) - top);
}

void TEntropyStrip::mousePressEvent(QMouseEvent* event)
{
    const int32_t position = PositionAt(int(event->position().y()));
    if (event->button() != Qt::LeftButton || position < 0)
        return;
    GoToPosition(m_window, position);
    // The block's first row at the top, rather than at the bottom edge.
    TMPHexEditorEx& editor = m_window.Editor();
    editor.SetTopRow(editor.CellAtPosition(position, editor.InCharField()).Y);
}

void InstallEntropyStrip(HexViewWindow& window)
{
    auto* strip = new TEntropyStrip(window);
    QAction* toggle = window.ViewMenu()->addAction(HexViewWindow::tr("&Entropy strip"));
    toggle->setObjectName(QStringLiteral("actionEntropyStrip"));
    toggle->setCheckable(true);
    toggle->setChecked(strip->Enabled());
    QObject::connect(toggle, &QAction::toggled, strip, &TEntropyStrip::SetEnabled);
}

} // namespace hexview
