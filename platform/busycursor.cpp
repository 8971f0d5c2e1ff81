#include "platform/busycursor.h"

#include <QGuiApplication>
#include <QWidget>

void TBusyCursorStack::Push(QWidget* widget)
{
    // An entry is kept even without a widget so that Push and Pop stay paired.
    Saved saved{false, QCursor()};
    if (widget) {
        // WA_SetCursor tells a cursor of the widget's own from one it merely
        // inherits from its parent; only the former is put back later.
        saved.hadCursor = widget->testAttribute(Qt::WA_SetCursor);
        if (saved.hadCursor)
            saved.cursor = widget->cursor();
        widget->setCursor(Qt::WaitCursor);
    }
    m_saved.append(saved);
}

void TBusyCursorStack::Pop(QWidget* widget)
{
    if (m_saved.isEmpty())
        return;
    const Saved saved = m_saved.takeLast();
    if (!widget)
        return;
    if (saved.hadCursor)
        widget->setCursor(saved.cursor);
    else
        widget->unsetCursor();
}

TBusyOverride::TBusyOverride()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

TBusyOverride::~TBusyOverride()
{
    QGuiApplication::restoreOverrideCursor();
}
