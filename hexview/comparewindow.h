#pragma once
// The compare window: two files side by side in two editors, scrolled
// together, each differing byte drawn in the difference colour (through the
// editors' OnDrawCell), F7 / Shift+F7 to the next / previous difference and
// the count of differing bytes and ranges in the status bar.
//
// Bytes are compared position by position up to the shorter length; the
// longer file's rest is one range. The comparison runs in bounded steps on
// a zero timer, so even a pair of 256 MiB stays responsive, with its
// progress in the status bar. Both sides stay editable: an edit recomputes a
// window around the caret of the edited side at once (or, when it changed a
// size, everything from there on in steps), and a little later a full
// comparison in steps replaces the result, for edits away from the caret
// (undo, replace all).

#include "hexeditor/core/mphdiff.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <memory>

class QLabel;
class QPainter;
class QProgressBar;
class QProgressDialog;
class TMPHexEditorEx;

namespace hexview {

class TCompareWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit TCompareWindow(QWidget* parent = nullptr);
    ~TCompareWindow() override;

    // Loads left into side 0 and right into side 1 and starts comparing.
    // Errors are shown (ErrorReporter); false when a file did not load.
    bool OpenFiles(const QString& left, const QString& right);

    TMPHexEditorEx& Editor(int side) { return *m_editors[side]; }
    const TMPHDiff& Diff() const { return m_diff; }
    // A comparison (the first or the one after edits) is under way or due.
    bool Comparing() const;
    // Runs what is still to compare now (tests, and Compare again).
    void FinishComparing();
    // Starts the whole comparison over.
    void CompareAgain();

    // Selects the next / previous differing range on both sides, from the
    // caret (or selection) of the side last focused. False when there is none.
    bool NextDifference();
    bool PreviousDifference();
    int ActiveSide() const;

    QString SummaryText() const;

    // Positions compared per step, and how long one zero-timer tick goes on
    // stepping before the window gets its events again (tests make both small).
    int64_t StepBytes = 16 << 20;
    int TickBudgetMs = 15;
    // Delay after the last edit before the full comparison that follows it.
    int VerifyDelayMs = 300;
    // How far around the caret an edit is recomputed at once.
    static constexpr int64_t UpdateMargin = 64 * 1024;
    // The difference colour (0xRRGGBB) and how much of it tints a cell.
    static constexpr uint32_t DiffTint = 0xE8384F;
    static constexpr int DiffTintPercent = 40;

    // Shows an error text (tests record it instead).
    std::function<void(const QString&)> ErrorReporter;
    // Asked on closing for each side with unsaved changes (tests replace it).
    std::function<QMessageBox::StandardButton(int side)> AskToSave;

signals:
    // The shown result is complete (after the first comparison and after
    // each full comparison following edits).
    void ComparisonFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildEditors();
    void BuildMenus();
    void InstallHandlers(int side);
    bool LoadSide(int side, const QString& path);
    bool Guarded(const std::function<void()>& action);
    void ShowError(const QString& text);
    bool SaveSide(int side);
    bool ConfirmClose();

    const uint8_t* Data(int side);
    int64_t Size(int side);
    void RunSteps();
    void DataChanged(int side);
    void SyncScroll(int side);
    void DrawCell(int side, QPainter* canvas, int col, int row, QString& text, const QRect& rect,
                  bool& defaultDraw);
    void GoTo(const TMPHDiffRange& range);
    void UpdateStatus();
    void Repaint();

    TMPHexEditorEx* m_editors[2] = {nullptr, nullptr};
    QLabel* m_names[2] = {nullptr, nullptr};
    QLabel* m_summary = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QProgressDialog* m_loading = nullptr; // only while a side loads
    TMPHDiff m_diff;                      // the result shown
    std::unique_ptr<TMPHDiff> m_verify;   // a full comparison after edits
    QTimer m_stepTimer;
    QTimer m_verifyTimer;
    bool m_syncing = false;
    int m_lastSide = 0;
};

} // namespace hexview
