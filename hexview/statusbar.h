#pragma once
// The status bar: caret offset, selection, field, overwrite/insert,
// read-only, file size and the firmware overlay's boot block field.

#include "hexview/core/statustexts.h"

#include <QObject>

class QLabel;

namespace hexview {

class HexViewWindow;

class TStatusFields : public QObject
{
    Q_OBJECT
public:
    explicit TStatusFields(HexViewWindow& window);

    // Reads the editor's state into the fields.
    void Refresh();
    // The overlay's field; empty hides it.
    void SetBootText(const QString& text);

    QLabel* Offset() const { return m_offset; }
    QLabel* Selection() const { return m_selection; }
    QLabel* Field() const { return m_field; }
    QLabel* Mode() const { return m_mode; }
    QLabel* Access() const { return m_access; }
    QLabel* Size() const { return m_size; }
    QLabel* Boot() const { return m_boot; }

private:
    HexViewWindow& m_window;
    QLabel* m_offset;
    QLabel* m_selection;
    QLabel* m_field;
    QLabel* m_mode;
    QLabel* m_access;
    QLabel* m_size;
    QLabel* m_boot;
};

} // namespace hexview
