#pragma once
// Find all: the list of every match (offset, length, the bytes around it as
// hex and text) in a dock; a click selects the match, Copy puts the listed
// lines on the clipboard.
//
// The list belongs to the tab it was made in. Once that document's bytes
// change (an edit, Undo or Redo, a reload) or its tab is closed, the list
// is out of date: a notice above it says so, its rows turn grey and a click
// on them selects nothing (the status bar says why); "Search again" runs
// the same Find all on the document in front. While another tab is in
// front the notice names the list's document, and a click on a row that is
// still up to date brings that tab to the front before selecting there.

#include "hexview/core/findresults.h"
#include "hexview/findactions.h"

#include <QDockWidget>
#include <QPointer>

class QLabel;
class QPushButton;
class QTableWidget;

namespace hexview {

class HexViewWindow;
class TDocumentTab;

class TFindResultsDock : public QDockWidget
{
    Q_OBJECT
public:
    explicit TFindResultsDock(HexViewWindow& window);

    // Shows result, found with request in the window's current document,
    // under the summary; the list then belongs to that document. A read
    // error of an on-demand document is raised before anything changes.
    void ShowResults(const QString& summary, const TFindAllResult& result, const TFindRequest& request);
    const std::vector<TFoundMatch>& Matches() const { return m_matches; }
    QTableWidget* Table() const { return m_table; }
    QLabel* Summary() const { return m_summary; }
    // The selected rows (all rows when none is selected) as text lines, as
    // they are listed.
    QString SelectedAsText();
    void CopySelected();

    // False once the list's document changed or was closed since the search.
    bool UpToDate() const { return m_owner && !m_stale; }
    // The notice above the list (out of date, or another tab's list), its
    // text and its button.
    QWidget* Notice() const { return m_notice; }
    QLabel* NoticeText() const { return m_noticeText; }
    QPushButton* SearchAgainButton() const { return m_searchAgain; }
    // The list's search once more, on the document in front.
    void SearchAgain();

private:
    void Follow(TDocumentTab* tab);
    void MarkOutOfDate();
    void UpdateNotice();
    void JumpTo(int row);

    HexViewWindow& m_window;
    QLabel* m_summary;
    QWidget* m_notice;
    QLabel* m_noticeText;
    QPushButton* m_searchAgain;
    QTableWidget* m_table;
    QPalette m_rowsPalette;
    std::vector<TFoundMatch> m_matches;
    std::vector<TMatchContext> m_contexts; // as listed
    TFindRequest m_request;
    bool m_hasRequest = false;
    QPointer<TDocumentTab> m_owner; // null once its tab was closed
    bool m_stale = false;
};

// Lists every match of request in the window's current document (its
// scope) in the Find results dock, with a progress dialog for large
// documents; the status bar says how many. False on errors (shown) and
// when cancelled.
bool FindAllInWindow(HexViewWindow& window, const TFindRequest& request);

} // namespace hexview
