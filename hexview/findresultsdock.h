#pragma once
// Find all: the list of every match (offset, length, the bytes around it as
// hex and text) in a dock; a click selects the match in the current
// document, Copy puts the listed lines on the clipboard.

#include "hexview/core/findresults.h"

#include <QDockWidget>

class QLabel;
class QTableWidget;

namespace hexview {

class HexViewWindow;
struct TFindRequest;

class TFindResultsDock : public QDockWidget
{
    Q_OBJECT
public:
    explicit TFindResultsDock(HexViewWindow& window);

    // Shows result, found in the window's current data, under the summary.
    void ShowResults(const QString& summary, const TFindAllResult& result);
    const std::vector<TFoundMatch>& Matches() const { return m_matches; }
    QTableWidget* Table() const { return m_table; }
    QLabel* Summary() const { return m_summary; }
    // The selected rows (all rows when none is selected) as text lines.
    QString SelectedAsText();
    void CopySelected();

private:
    void JumpTo(int row);

    HexViewWindow& m_window;
    QLabel* m_summary;
    QTableWidget* m_table;
    std::vector<TFoundMatch> m_matches;
};

// Lists every match of request in the window's current document (its
// scope) in the Find results dock, with a progress dialog for large
// documents; the status bar says how many. False on errors (shown) and
// when cancelled.
bool FindAllInWindow(HexViewWindow& window, const TFindRequest& request);

} // namespace hexview
