#include "platform/privatemessages.h"

#include "platform/core/exceptions.h"

#include <QCoreApplication>

namespace {

// A code outside Qt's range for user events would be taken for one of Qt's
// own events (a paint, a key press...) by the receiver.
void checkCode(int code)
{
    if (code < QEvent::User || code > QEvent::MaxUser)
        throw Exception(QStringLiteral("Private message code %1 lies outside %2..%3")
                            .arg(code)
                            .arg(int(QEvent::User))
                            .arg(int(QEvent::MaxUser)));
}

int checkedCode(int code)
{
    checkCode(code);
    return code;
}

} // namespace

TPrivateMessage::TPrivateMessage(int code, intptr_t wParam, intptr_t lParam)
    : QEvent(static_cast<QEvent::Type>(checkedCode(code)))
    , m_wParam(wParam)
    , m_lParam(lParam)
{
}

void PostPrivateMessage(QObject* target, int code, intptr_t wParam, intptr_t lParam)
{
    if (!target)
        throw Exception(QStringLiteral("Private message %1 has no receiver").arg(code));
    checkCode(code);
    // The event queue takes ownership and delivers it once control is back
    // in the event loop.
    QCoreApplication::postEvent(target, new TPrivateMessage(code, wParam, lParam));
}

bool IsPrivateMessage(const QEvent* event, int code)
{
    // The type alone is not enough: another event could use the same number
    // without carrying the two parameters.
    return event && static_cast<int>(event->type()) == code
        && dynamic_cast<const TPrivateMessage*>(event) != nullptr;
}
