#include "app/apperrors.h"

#include "app/formdialogs.h"
#include "platform/core/errortext.h"


namespace editboot {

QString ApplicationTitle()
{
    return QStringLiteral("editboot");
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
