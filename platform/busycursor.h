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

// The hourglass for the whole application while an object of this class
// lives: long commands of a window show it over every window of the program,
// also where the widget doing the work is not on screen.
class TBusyOverride
{
public:
    TBusyOverride();
    ~TBusyOverride();
    TBusyOverride(const TBusyOverride&) = delete;
    TBusyOverride& operator=(const TBusyOverride&) = delete;
};
