#pragma once
// The Structure dock (View > Structure) on a firmware image: the boot
// marker's offset, the boot block's range, the two ID strings with their
// ranges, and the CRC-32 of the whole data and of the boot block, as the
// editor holds them (edits included). A click on a field selects its bytes.
// The marker is found as the firmware overlay finds it; the marker search and
// the data's CRC-32 run in slices read into a buffer (a document read on
// demand is not gathered).

#include "hexview/core/bootoverlay.h"
#include "hexeditor/core/mphslicereader.h"

#include <QDockWidget>
#include <memory>

class QLabel;
class QTableWidget;

namespace hexview {

class HexViewWindow;
class TSlicedWork;

class TStructureDock : public QDockWidget
{
    Q_OBJECT
public:
    enum TField { fdMarker, fdBlock, fdFirstId, fdSecondId, fdImageCrc, fdBlockCrc, FieldCount };
    static constexpr int64_t SliceSize = 16 * 1024 * 1024;

    explicit TStructureDock(HexViewWindow& window);

    TSlicedWork& Work() { return *m_work; }
    QTableWidget* Table() const { return m_table; }
    const TBootLayout& Layout() const { return m_layout; }
    // The value shown for a field (empty without a marker).
    QString Value(TField field) const;
    QString NoteText() const;
    // The bytes of a field (empty range for none).
    TPosRange FieldRange(TField field) const;
    // Selects the field's bytes in the editor.
    void SelectField(TField field);

private:
    void Restart();
    bool Step();
    void ShowLayout(TMPHMemoryStream& data);
    void SetRow(TField field, const QString& value, const TPosRange& range);

    HexViewWindow& m_window;
    QLabel* m_note;
    QTableWidget* m_table;
    TSlicedWork* m_work;
    TBootLayout m_layout;
    int64_t m_done = 0;
    int64_t m_size = 0;
    uint32_t m_reg = 0;
    std::unique_ptr<TMarkerScan> m_scan; // while the marker is looked for
    TMPHSliceReader m_reader;            // the image a slice at a time
};

void InstallStructureDock(HexViewWindow& window);

} // namespace hexview
