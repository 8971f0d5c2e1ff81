#include "platform/core/exceptions.h"

#include <cstring>
#include <utility>

Exception::Exception(QString message)
    : m_message(std::move(message))
    , m_utf8(m_message.toUtf8())
{
}

namespace {

// strerror_r comes in two flavours: the GNU one returns the text (which may
// or may not live in the buffer), the POSIX one fills the buffer and returns
// a status. Overloads pick whichever the C library declares.
[[maybe_unused]] const char* errorText(char* result, const char* /*buffer*/)
{
    return result;
}

[[maybe_unused]] const char* errorText(int status, const char* buffer)
{
    return status == 0 ? buffer : nullptr;
}

} // namespace

QString SysErrorMessage(int errorCode)
{
    char buffer[256] = {};
    const char* text = errorText(::strerror_r(errorCode, buffer, sizeof buffer), buffer);
    QString message = (text != nullptr && *text != '\0')
        ? QString::fromLocal8Bit(text)
        : QStringLiteral("Unknown error %1").arg(errorCode);
    message = message.trimmed();
    // Callers embed the text in sentences of their own.
    while (message.endsWith(QLatin1Char('.')))
        message.chop(1);
    return message;
}
