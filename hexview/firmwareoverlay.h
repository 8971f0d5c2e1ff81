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
    uint32_t FileCrc() const { return m_crc; }
    QAction* ToggleAction() const { return m_toggle; }

    // The editor's OnDrawCell handler.
    void DrawCell(QObject* sender, QPainter* canvas, int col, int row, QString& wideText, const QRect& rect,
                  bool& defaultDraw);

    // Frame colour of the ID strings (0xRRGGBB).
    static constexpr uint32_t IdFrameColor = 0xC0392B;

private:
    void DocumentLoaded();
    void Apply();
    // Positions first..last shown by a data cell and whether its sides are
    // byte edges; false for cells that show no data.
    bool CellSpan(int col, int32_t position, int32_t& first, int32_t& last, bool& startsByte, bool& endsByte) const;

    HexViewWindow& m_window;
    TBootLayout m_layout;
    uint32_t m_crc = 0;
    bool m_enabled = true;
    bool m_ownsBookmark = false;
    QAction* m_toggle = nullptr;
};

} // namespace hexview
