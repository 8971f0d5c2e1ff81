#pragma once
// The status bar's CRC-32 of the selection. It is computed with the tool's
// checksum code on the selected bytes: small selections at once, large ones
// after a short pause and in slices between events, so that typing and
// moving the caret never wait for it. A change of the data or the selection
// restarts it.

#include <QObject>
#include <QTimer>
#include <cstdint>

class QLabel;

namespace hexview {

class HexViewWindow;

class TSelectionCrc : public QObject
{
    Q_OBJECT
public:
    // Selections up to this size are summed at once.
    static constexpr int32_t ImmediateSize = 256 * 1024;
    // Pause before a larger selection is summed, and bytes per slice.
    static constexpr int PauseMs = 300;
    static constexpr int32_t SliceSize = 4 * 1024 * 1024;

    explicit TSelectionCrc(HexViewWindow& window);

    QLabel* Field() const { return m_field; }
    // True while a sum is waiting or under way.
    bool Busy() const { return m_timer.isActive() || m_done < m_count; }

private:
    void Restart();
    void Step();
    void Show();

    HexViewWindow& m_window;
    QLabel* m_field;
    QTimer m_timer;
    int32_t m_first = 0;
    int32_t m_count = 0;
    int32_t m_done = 0;
    uint32_t m_reg = 0;
};

void InstallSelectionCrc(HexViewWindow& window);

} // namespace hexview
