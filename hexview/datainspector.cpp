// The data inspector dock.

#include "hexview/datainspector.h"

#include "hexview/hexviewwindow.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>

#include <algorithm>

namespace hexview {

namespace {

const char* const TooFewBytesText = "The value needs %1 bytes from offset %2, but the data end after %3";

bool IsBigEndianColumn(int column) { return column == 1; }

} // namespace

TDataInspector::TDataInspector(HexViewWindow& window)
    : QDockWidget(HexViewWindow::tr("Data inspector"), &window), m_window(window)
{
    setObjectName(QStringLiteral("dockDataInspector"));
    m_table = new QTableWidget(ValueKindCount, 2, this);
    m_table->setObjectName(QStringLiteral("inspectorTable"));
    m_table->setHorizontalHeaderLabels({HexViewWindow::tr("Little endian"), HexViewWindow::tr("Big endian")});
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setWordWrap(false);
    m_table->setMinimumWidth(m_table->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 60);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed);
    for (int k = 0; k < ValueKindCount; ++k) {
        const auto kind = TMPHValueKind(k);
        m_table->setVerticalHeaderItem(k, new QTableWidgetItem(ValueKindName(kind)));
        for (int column = 0; column < 2; ++column)
            m_table->setItem(k, column, new QTableWidgetItem);
        if (!HasByteOrder(kind))
            m_table->setSpan(k, 0, 1, 2);
    }
    setWidget(m_table);
    connect(m_table, &QTableWidget::itemChanged, this, &TDataInspector::CellEdited);
    connect(&window, &HexViewWindow::SelectionChanged, this, &TDataInspector::Refresh);
    connect(&window, &HexViewWindow::DataChanged, this, &TDataInspector::Refresh);
    connect(&window, &HexViewWindow::DocumentLoaded, this, &TDataInspector::Refresh);
    connect(&window, &HexViewWindow::ReadOnlyViewChanged, this, &TDataInspector::Refresh);
}

QTableWidgetItem* TDataInspector::Cell(TMPHValueKind kind, bool bigEndian) const
{
    return m_table->item(int(kind), HasByteOrder(kind) && bigEndian ? 1 : 0);
}

bool TDataInspector::Editable() const
{
    TMPHexEditorEx& editor = m_window.Editor();
    return editor.DataSize() > 0 && !editor.ReadOnlyView() && !m_window.ReadOnlyView();
}

void TDataInspector::Refresh()
{
    TMPHexEditorEx& editor = m_window.Editor();
    const int32_t size = editor.DataSize();
    const int32_t caret = size > 0 ? editor.CaretPosition() : 0;
    // The widest value takes 8 bytes; read them without gathering the data.
    uint8_t bytes[8] = {};
    const int64_t available = size > 0 ? std::min<int64_t>(size - caret, sizeof bytes) : 0;
    if (available > 0)
        editor.DataStorage().PeekBytes(caret, bytes, available);
    const uint8_t* data = size > 0 ? bytes : nullptr;
    const bool editable = Editable();

    m_refreshing = true;
    for (int k = 0; k < ValueKindCount; ++k) {
        const auto kind = TMPHValueKind(k);
        for (int column = 0; column < 2; ++column) {
            QTableWidgetItem* item = m_table->item(k, column);
            const bool used = column == 0 || HasByteOrder(kind);
            const QString text = used && data ? ValueText(kind, data, available, IsBigEndianColumn(column)) : QString();
            item->setText(text);
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (used && editable && !text.isEmpty())
                flags |= Qt::ItemIsEditable;
            item->setFlags(flags);
        }
    }
    m_refreshing = false;
}

void TDataInspector::CellEdited(QTableWidgetItem* item)
{
    if (m_refreshing)
        return;
    WriteValue(TMPHValueKind(item->row()), IsBigEndianColumn(item->column()), item->text());
    Refresh(); // shows the value as stored, or the old one after an error
}

bool TDataInspector::WriteValue(TMPHValueKind kind, bool bigEndian, const QString& text)
{
    TMPHexEditorEx& editor = m_window.Editor();
    if (!Editable())
        return false;
    const int32_t position = editor.CaretPosition();
    return m_window.RunGuarded([&] {
        const QByteArray bytes = ValueBytes(kind, text, bigEndian);
        if (int64_t(position) + bytes.size() > editor.DataSize())
            throw EMPHexEditor(MPHStrings::Text(TooFewBytesText)
                                   .arg(bytes.size())
                                   .arg(position)
                                   .arg(editor.DataSize() - position));
        // Overwrites exactly the bytes of the value: the size never changes,
        // and the one Replace is one undo step.
        editor.Replace(bytes.constData(), position, int32_t(bytes.size()), int32_t(bytes.size()),
                       HexViewWindow::tr("Edit %1 value").arg(ValueKindName(kind)), false);
    });
}

void InstallDataInspector(HexViewWindow& window)
{
    window.ViewMenu()->addSeparator();
    QAction* toggle = window.AddHiddenDock(new TDataInspector(window), QStringLiteral("actionDataInspector"),
                                           HexViewWindow::tr("&Data inspector"));
    toggle->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
}

} // namespace hexview
