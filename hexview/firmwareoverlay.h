#pragma once
// The firmware overlay: when the document holds the boot marker, the
// 65,536-byte boot block is tinted, bookmark 0 stands on the marker, the two
// ID strings are framed and the status bar shows the file's CRC-32 and the
// block's offset. It draws through the editor's OnDrawCell event; View >
// Firmware overlay turns it off.

#include "hexview/core/bootoverlay.h"

#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class QAction;
class QPainter;

namespace hexview {

class HexViewWindow;

class TFirmwareOverlay : public QObject
{
    Q_OBJECT
public:
    explicit TFirmwareOverlay(HexViewWindow& window);
    ~TFirmwareOverlay() override;

    void InstallActions();

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    // What was found in the current document (Found false: nothing shown).
    const TBootLayout& Layout() const { return m_layout; }
    // The CRC-32 of the document's bytes (the file's once saved), kept
    // current after edits; valid when CrcBusy() is false.
    uint32_t FileCrc() const { return m_crc; }
    bool CrcBusy() const { return m_crcTimer.isActive() || m_crcDone < m_crcSize; }

    // Documents up to this size are summed at once after an edit; larger
    // ones after a pause, in slices between events.
    static constexpr int32_t ImmediateCrcSize = 256 * 1024;
    static constexpr int CrcPauseMs = 300;
    static constexpr int32_t CrcSliceSize = 4 * 1024 * 1024;
    // The marker search reads this much per slice, between events. A
    // document of at most one slice is searched at once; a larger one only
    // after the events waiting (its first page is painted first).
    static constexpr int32_t SearchSliceSize = 1024 * 1024;
    // True while the marker search is under way.
    bool SearchBusy() const { return m_scan != nullptr; }
    QAction* ToggleAction() const { return m_toggle; }

    // The editor's OnDrawCell handler.
    void DrawCell(QObject* sender, QPainter* canvas, int col, int row, QString& wideText, const QRect& rect,
                  bool& defaultDraw);

    // Frame colour of the ID strings (0xRRGGBB).
    static constexpr uint32_t IdFrameColor = 0xC0392B;

private:
    void DocumentLoaded();
    void DataChanged();
    void Apply();
    // Finds the marker again after an edit: where bookmark 0 (which moves
    // with the data) or the old offset still holds it, else by a search.
    void FollowMarker();
    void RestartCrc(bool atOnce);
    void CrcStep();
    // Sums the next n bytes of the document into m_crcReg.
    void SumNext(int32_t n);
    // Starts the marker search over the whole document.
    void StartSearch();
    void SearchStep();
    // Copies document bytes without gathering them into one block.
    TDataReader DocumentReader() const;
    // Positions first..last shown by a data cell and whether its sides are
    // byte edges; false for cells that show no data.
    bool CellSpan(int col, int32_t position, int32_t& first, int32_t& last, bool& startsByte, bool& endsByte) const;

    HexViewWindow& m_window;
    TBootLayout m_layout;
    uint32_t m_crc = 0;
    bool m_enabled = true;
    bool m_ownsBookmark = false;
    QAction* m_toggle = nullptr;
    QTimer m_crcTimer;
    int32_t m_crcSize = 0;
    int32_t m_crcDone = 0;
    uint32_t m_crcReg = 0;
    std::vector<uint8_t> m_crcBuffer;
    std::unique_ptr<TMarkerScan> m_scan;
    QTimer m_scanTimer;
};

} // namespace hexview
