#pragma once
// A stack of saved mouse cursors for one widget: Push shows the hourglass and
// remembers what was shown before; Pop restores cursors in reverse order.

#include <QCursor>
#include <QVector>

class QWidget;

class TBusyCursorStack
{
public:
    void Push(QWidget* widget);
    void Pop(QWidget* widget);
    int Depth() const { return m_saved.size(); }

private:
    struct Saved { bool hadCursor; QCursor cursor; };
    QVector<Saved> m_saved;
};
