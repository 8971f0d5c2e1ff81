#pragma once
// Private messages to a control: custom event types whose codes are the
// control's own message numbers, delivered later by the event loop.

#include <QEvent>
#include <QObject>
#include <cstdint>

class TPrivateMessage : public QEvent
{
public:
    TPrivateMessage(int code, intptr_t wParam, intptr_t lParam);
    int Code() const { return static_cast<int>(type()); }
    intptr_t WParam() const { return m_wParam; }
    intptr_t LParam() const { return m_lParam; }

private:
    intptr_t m_wParam;
    intptr_t m_lParam;
};

// Queues the message for target; it is delivered when the event loop next runs.
void PostPrivateMessage(QObject* target, int code, intptr_t wParam = 0, intptr_t lParam = 0);
// True when the event is a private message with this code.
bool IsPrivateMessage(const QEvent* event, int code);
