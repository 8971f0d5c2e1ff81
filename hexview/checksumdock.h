#pragma once
// The Checksums dock (View > Checksums): CRC-32 (the tool's own), Adler-32,
// MD5, SHA-1, SHA-256 and SHA-512 of the selection, or of the whole document
// when nothing is selected. Large spans are summed in slices with a progress
// bar; the values can be selected and copied.

#include "hexview/analysisspan.h"
#include "hexeditor/core/mphdigest.h"
#include "hexeditor/core/mphslicereader.h"

#include <QDockWidget>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace hexview {

class HexViewWindow;
class TSlicedWork;

class TChecksumDock : public QDockWidget
{
    Q_OBJECT
public:
    // Bytes summed per slice.
    static constexpr int64_t SliceSize = 2 * 1024 * 1024;

    explicit TChecksumDock(HexViewWindow& window);
    ~TChecksumDock() override;

    TSlicedWork& Work() { return *m_work; }
    // The value shown for kind (empty while it is being computed).
    QString Value(TMPHDigestKind kind) const;
    QString ScopeText() const;
    // "NAME  HEX" lines of the selected rows, or of all rows when none is
    // selected; also put on the clipboard by the Copy button.
    QString CopyText() const;

private:
    void Restart();
    void Changed();
    void SelectionMoved();
    bool Step();
    void ShowResults();

    HexViewWindow& m_window;
    QLabel* m_scope;
    QTableWidget* m_table;
    QProgressBar* m_progress;
    QPushButton* m_copy;
    TSlicedWork* m_work;
    TAnalysisSpan m_span;
    std::unique_ptr<TMPHDigestRun> m_run;
    TMPHSliceReader m_reader; // the data a slice at a time, never gathered
};

void InstallChecksumDock(HexViewWindow& window);

} // namespace hexview
