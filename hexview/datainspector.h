#pragma once
// The data inspector dock (View > Data inspector): the bytes at the caret as
// numbers in both byte orders, float and double, a UTF-8 character, a 32-bit
// Unix time and binary. A value typed into it is written over the bytes at
// the caret as one undo step.

#include "hexeditor/core/mphinspector.h"

#include <QDockWidget>

class QTableWidget;
class QTableWidgetItem;

namespace hexview {

class HexViewWindow;

class TDataInspector : public QDockWidget
{
    Q_OBJECT
public:
    explicit TDataInspector(HexViewWindow& window);

    // Reads the bytes at the caret into the table.
    void Refresh();
    // Writes a value typed for kind in the given byte order at the caret.
    // Errors (a value that does not fit, too few bytes, a read-only view) are
    // shown and change nothing. True when the bytes were written.
    bool WriteValue(TMPHValueKind kind, bool bigEndian, const QString& text);

    QTableWidget* Table() const { return m_table; }
    // The table cell of a kind in a byte order (kinds without one: column 0).
    QTableWidgetItem* Cell(TMPHValueKind kind, bool bigEndian) const;

private:
    void CellEdited(QTableWidgetItem* item);
    bool Editable() const;

    HexViewWindow& m_window;
    QTableWidget* m_table;
    bool m_refreshing = false;
};

void InstallDataInspector(HexViewWindow& window);

} // namespace hexview
