#include "hexview/findresultsdock.h"

#include "hexview/findactions.h"
#include "hexview/hexviewwindow.h"
#include "hexview/jumpcentering.h"

#include "hexeditor/core/mphexception.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
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

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_summary, 1);
    buttons->addWidget(copy);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(m_table);
    setWidget(body);
}

void TFindResultsDock::ShowResults(const QString& summary, const TFindAllResult& result)
{
    m_matches = result.Matches;
    m_summary->setText(summary);
    TMPHexEditorEx& editor = m_window.Editor();
    const uint8_t* data = editor.DataStorage().Memory();
    const int64_t size = editor.DataSize();
    m_table->setUpdatesEnabled(false);
    m_table->clearContents();
    m_table->setRowCount(int(m_matches.size()));
    for (int row = 0; row < int(m_matches.size()); ++row) {
        const TFoundMatch& m = m_matches[size_t(row)];
        const TMatchContext context = MatchContext(data, size, m);
        m_table->setItem(row, 0, Item(QStringLiteral("0x%1").arg(m.Position, 8, 16, QLatin1Char('0')).toUpper()
                                          .replace(QStringLiteral("0X"), QStringLiteral("0x"))));
        m_table->setItem(row, 1, Item(QString::number(m.Length)));
        m_table->setItem(row, 2, Item(context.Hex));
        m_table->setItem(row, 3, Item(context.Text));
    }
    m_table->resizeColumnsToContents();
    m_table->setUpdatesEnabled(true);
    show();
    raise();
}

QString TFindResultsDock::SelectedAsText()
{
    std::vector<TFoundMatch> chosen;
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        chosen = m_matches;
    } else {
        std::vector<int> sorted;
        for (const QModelIndex& index : rows)
            sorted.push_back(index.row());
        std::sort(sorted.begin(), sorted.end());
        for (const int row : sorted)
            chosen.push_back(m_matches[size_t(row)]);
    }
    TMPHexEditorEx& editor = m_window.Editor();
    return MatchesAsText(editor.DataStorage().Memory(), editor.DataSize(), chosen);
}

void TFindResultsDock::CopySelected()
{
    QApplication::clipboard()->setText(SelectedAsText());
}

void TFindResultsDock::JumpTo(int row)
{
    if (row < 0 || row >= int(m_matches.size()))
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
    const TMPHFindParams params = WindowFindParams(window, request);
    TFindAllResult result;
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
    }
    const int count = int(result.Matches.size());
    QString summary = result.Truncated
                          ? HexViewWindow::tr("The first %1 matches (the list stops there)").arg(count)
                          : HexViewWindow::tr("%n match(es)", nullptr, count);
    if (request.InScope())
        summary += HexViewWindow::tr(" in the selection");
    ResultsDock(window).ShowResults(summary, result);
    window.statusBar()->showMessage(count == 0 ? HexViewWindow::tr("Not found") : summary, MessageTimeout);
    return true;
}

} // namespace hexview
