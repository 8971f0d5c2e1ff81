#include "hexview/findresultsdock.h"

#include "hexview/documenttab.h"
#include "hexview/hexviewwindow.h"
#include "hexview/jumpcentering.h"

#include "hexeditor/core/mphexception.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace hexview {

namespace {

constexpr int MessageTimeout = 8000;

QTableWidgetItem* Item(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

TFindResultsDock::TFindResultsDock(HexViewWindow& window) : QDockWidget(tr("Find results"), &window), m_window(window)
{
    setObjectName(QStringLiteral("findResultsDock"));
    auto* body = new QWidget(this);
    m_summary = new QLabel(body);
    m_summary->setObjectName(QStringLiteral("findResultsSummary"));
    m_summary->setWordWrap(true);
    m_table = new QTableWidget(0, 4, body);
    m_table->setObjectName(QStringLiteral("findResultsTable"));
    m_table->setHorizontalHeaderLabels({tr("Offset"), tr("Length"), tr("Hex"), tr("Text")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_rowsPalette = m_table->palette();
    auto* copy = new QPushButton(tr("&Copy"), body);
    copy->setObjectName(QStringLiteral("findResultsCopy"));
    auto* copyAction = new QAction(m_table);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WidgetShortcut);
    m_table->addAction(copyAction);
    connect(copy, &QPushButton::clicked, this, &TFindResultsDock::CopySelected);
    connect(copyAction, &QAction::triggered, this, &TFindResultsDock::CopySelected);
    connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int) { JumpTo(row); });
    connect(m_table, &QTableWidget::cellActivated, this, [this](int row, int) { JumpTo(row); });

    // The notice: shown while the list is out of date or another tab's.
    auto* notice = new QFrame(body);
    notice->setObjectName(QStringLiteral("findResultsNotice"));
    notice->setFrameShape(QFrame::StyledPanel);
    m_notice = notice;
    m_noticeText = new QLabel(notice);
    m_noticeText->setObjectName(QStringLiteral("findResultsNoticeText"));
    m_noticeText->setWordWrap(true);
    m_searchAgain = new QPushButton(tr("Search again"), notice);
    m_searchAgain->setObjectName(QStringLiteral("findResultsSearchAgain"));
    connect(m_searchAgain, &QPushButton::clicked, this, &TFindResultsDock::SearchAgain);
    auto* noticeLayout = new QHBoxLayout(notice);
    noticeLayout->setContentsMargins(6, 4, 6, 4);
    noticeLayout->addWidget(m_noticeText, 1);
    noticeLayout->addWidget(m_searchAgain);
    notice->hide();
    // Another tab in front (or the list's own back again).
    connect(&m_window, &HexViewWindow::DocumentLoaded, this, &TFindResultsDock::UpdateNotice);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_summary, 1);
    buttons->addWidget(copy);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(notice);
    layout->addWidget(m_table);
    setWidget(body);
}

void TFindResultsDock::ShowResults(const QString& summary, const TFindAllResult& result, const TFindRequest& request)
{
    // Only the bytes shown are read (an on-demand document stays on demand),
    // all before the list changes: a read that fails leaves it as it was.
    TMPHMemoryStream& data = m_window.Editor().DataStorage();
    const TMPHReadFunc read = [&data](int64_t index, int64_t count, uint8_t* out) {
        data.ReadBufferAt(out, index, count);
    };
    const int64_t size = m_window.Editor().DataSize();
    std::vector<TMatchContext> contexts;
    contexts.reserve(result.Matches.size());
    for (const TFoundMatch& m : result.Matches)
        contexts.push_back(MatchContext(read, size, m));

    m_matches = result.Matches;
    m_contexts = std::move(contexts);
    m_request = request;
    m_hasRequest = true;
    Follow(&m_window.CurrentDocument());
    m_summary->setText(summary);
    m_table->setUpdatesEnabled(false);
    m_table->setPalette(m_rowsPalette);
    m_table->clearContents();
    m_table->setRowCount(int(m_matches.size()));
    for (int row = 0; row < int(m_matches.size()); ++row) {
        const TFoundMatch& m = m_matches[size_t(row)];
        const TMatchContext& context = m_contexts[size_t(row)];
        m_table->setItem(row, 0, Item(QStringLiteral("0x%1").arg(m.Position, 8, 16, QLatin1Char('0')).toUpper()
                                          .replace(QStringLiteral("0X"), QStringLiteral("0x"))));
        m_table->setItem(row, 1, Item(QString::number(m.Length)));
        m_table->setItem(row, 2, Item(context.Hex));
        m_table->setItem(row, 3, Item(context.Text));
    }
    // The text column keeps the rest of the width.
    for (int column = 0; column < 3; ++column)
        m_table->resizeColumnToContents(column);
    m_table->setUpdatesEnabled(true);
    UpdateNotice();
    show();
    raise();
}

// The list now describes tab's document: its changes and its closing make
// the list out of date.
void TFindResultsDock::Follow(TDocumentTab* tab)
{
    if (m_owner)
        disconnect(m_owner, nullptr, this, nullptr);
    m_owner = tab;
    m_stale = false;
    connect(tab, &TDocumentTab::DataChanged, this, &TFindResultsDock::MarkOutOfDate);
    connect(tab, &TDocumentTab::Loaded, this, &TFindResultsDock::MarkOutOfDate);
    connect(tab, &TDocumentTab::Closed, this, [this] {
        disconnect(m_owner, nullptr, this, nullptr);
        m_owner = nullptr;
        MarkOutOfDate();
    });
}

void TFindResultsDock::MarkOutOfDate()
{
    if (!m_stale) {
        m_stale = true;
        // Grey rows: they are kept for reading and copying, not for jumps.
        QPalette grey = m_rowsPalette;
        grey.setColor(QPalette::Text, m_rowsPalette.color(QPalette::Disabled, QPalette::Text));
        m_table->setPalette(grey);
    }
    UpdateNotice();
}

void TFindResultsDock::UpdateNotice()
{
    if (!m_hasRequest)
        return;
    const bool inFront = m_owner && m_window.IsCurrentDocument(*m_owner);
    QString text;
    if (!m_owner)
        text = tr("The document of this search was closed.");
    else if (inFront && m_stale)
        text = tr("The document has changed since this search.");
    else if (!inFront && m_stale)
        text = tr("These results are from %1 in another tab, which has changed since this search.")
                   .arg(m_owner->Name());
    else if (!inFront)
        text = tr("These results are from %1 in another tab; a click on a row brings it to the front.")
                   .arg(m_owner->Name());
    m_noticeText->setText(text);
    m_searchAgain->setText(inFront ? tr("Search again") : tr("Search this document"));
    m_notice->setVisible(!text.isEmpty());
}

void TFindResultsDock::SearchAgain()
{
    if (!m_hasRequest)
        return;
    TFindRequest request = m_request;
    // A range of the selection belongs to the document it was taken in.
    if (!m_owner || !m_window.IsCurrentDocument(*m_owner)) {
        request.ScopeFirst = 0;
        request.ScopeEnd = -1;
    }
    FindAllInWindow(m_window, request);
}

QString TFindResultsDock::SelectedAsText()
{
    std::vector<int> rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows())
        rows.push_back(index.row());
    if (rows.empty())
        for (int row = 0; row < int(m_matches.size()); ++row)
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const int row : rows)
        text += MatchLine(m_matches[size_t(row)], m_contexts[size_t(row)]);
    return text;
}

void TFindResultsDock::CopySelected()
{
    QApplication::clipboard()->setText(SelectedAsText());
}

void TFindResultsDock::JumpTo(int row)
{
    if (row < 0 || row >= int(m_matches.size()))
        return;
    if (!UpToDate()) {
        m_window.statusBar()->showMessage(tr("The list is out of date: Search again to update it"), MessageTimeout);
        return;
    }
    // The match is selected in its own document, brought to the front.
    if (!m_window.IsCurrentDocument(*m_owner))
        m_window.SetCurrentDocument(*m_owner);
    if (!m_owner || !m_window.IsCurrentDocument(*m_owner))
        return;
    const TFoundMatch& m = m_matches[size_t(row)];
    const int64_t size = m_window.Editor().DataSize();
    if (m.Position >= size) {
        m_window.statusBar()->showMessage(tr("The document no longer reaches this offset"), MessageTimeout);
        return;
    }
    SelectFoundBytes(m_window, m.Position, std::min(m.Length, size - m.Position));
    CenterCaretRow(m_window); // a jump from the list, as Go to does
}

namespace {

TFindResultsDock& ResultsDock(HexViewWindow& window)
{
    if (auto* dock = window.findChild<TFindResultsDock*>())
        return *dock;
    auto* dock = new TFindResultsDock(window);
    window.AddHiddenDock(dock, QStringLiteral("actionFindResults"), HexViewWindow::tr("Find results"));
    window.addDockWidget(Qt::BottomDockWidgetArea, dock); // a list wants the width
    return *dock;
}

} // namespace

bool FindAllInWindow(HexViewWindow& window, const TFindRequest& request)
{
    std::unique_ptr<TMPHMatcher> matcher;
    if (!window.RunGuarded([&] { matcher = MakeFindMatcher(window, request); }))
        return false;
    const TMPHFindParams params = WindowFindParams(window, request, matcher.get());
    TFindAllResult result;
    QString failure; // a read error of an on-demand document, shown below
    try {
        auto search = [&] { result = FindAllMatches(*matcher, params); };
        if (params.Progress)
            window.WithProgressDialog(HexViewWindow::tr("Finding all matches..."), search);
        else
            search();
    } catch (const EMPHexEditor& e) {
        if (e.Message() == MPHStrings::Text(MPHStrings::OperationCancelled)) {
            window.statusBar()->showMessage(HexViewWindow::tr("Search cancelled"), MessageTimeout);
            return false;
        }
        window.ShowError(e.Message());
        return false;
    } catch (...) {
        failure = HexViewWindow::ErrorText(std::current_exception());
    }
    if (!failure.isEmpty()) {
        window.ShowError(failure);
        return false;
    }
    const int count = int(result.Matches.size());
    QString summary = result.Truncated
                          ? HexViewWindow::tr("The first %1 matches (the list stops there)").arg(count)
                          : HexViewWindow::tr("%n match(es)", nullptr, count);
    if (request.InScope())
        summary += HexViewWindow::tr(" in the selection");
    if (!window.RunGuarded([&] { ResultsDock(window).ShowResults(summary, result, request); }))
        return false;
    window.statusBar()->showMessage(count == 0 ? HexViewWindow::tr("Not found") : summary, MessageTimeout);
    return true;
}

} // namespace hexview
