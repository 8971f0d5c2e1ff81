#pragma once
// The entropy strip beside the editor's vertical scroll bar (View > Entropy
// strip): the whole document cut into 4 KiB blocks, each drawn by its
// entropy from dark blue (constant data) to red (compressed or encrypted
// data), with a frame around the part shown in the editor. A click jumps to
// the block under the pointer. The blocks are computed in slices after the
// document changes; until then the strip is grey. It sits on the current
// tab's editor and moves to the one in front when the tab changes.

#include "hexeditor/core/mphentropy.h"

#include <QColor>
#include <QWidget>
#include <memory>
#include <vector>

namespace hexview {

class HexViewWindow;
class TSlicedWork;

class TEntropyStrip : public QWidget
{
    Q_OBJECT
public:
    static constexpr int StripWidth = 14;
    static constexpr int64_t SliceSize = 16 * 1024 * 1024;

    explicit TEntropyStrip(HexViewWindow& window);
    ~TEntropyStrip() override;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    TSlicedWork& Work() { return *m_work; }
    const TMPHBlockEntropy* Blocks() const { return m_blocks.get(); }

    // The colour of an entropy (bits per byte, 0-8).
    static QColor EntropyColor(float bits);
    // The blocks drawn in pixel row y of a strip h pixels high, [first, last].
    static void BlocksOfRow(int y, int h, int64_t blockCount, int64_t& first, int64_t& last);
    // The data position a click at pixel row y jumps to (-1 when no data).
    int32_t PositionAt(int y) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Onto the current editor, when it is another one.
    void Attach();
    void Place();
    void Restart();
    bool Step();

    HexViewWindow& m_window;
    TSlicedWork* m_work;
    std::unique_ptr<TMPHBlockEntropy> m_blocks;
    std::vector<uint8_t> m_slice; // a slice of a scattered document, reused
    bool m_enabled = true;
    QMetaObject::Connection m_scrolled;
};

void InstallEntropyStrip(HexViewWindow& window);

} // namespace hexview
