#include "app/apperrors.h"

#include "app/formdialogs.h"
#include "platform/core/errortext.h"
#include "platform/core/exceptions.h"

#include <new>

namespace editboot {

QString ApplicationTitle()
{
    return QStringLiteral("editboot");
}

QString ExceptionText(std::exception_ptr error)
{
    if (!error)
        return QString();
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

QString CurrentExceptionText()
{
    return ExceptionText(std::current_exception());
}

bool RunGuarded(IFormDialogs& dialogs, const std::function<void()>& command)
{
    QString text;
    try {
        command();
        return true;
    } catch (...) {
        text = CurrentExceptionText();
    }
    // Shown outside the handler so that a failure while showing the box
    // cannot be mistaken for the command's own error.
    try {
        dialogs.UnhandledError(WithFullStop(text));
    } catch (...) {
    }
    return false;
}

} // namespace editboot
