#pragma once
// The application's handling of an error that no command catches: the command
// ends, the error text is shown in the application's error box, and the
// program goes on.

#include "platform/core/errortext.h"

#include <QString>
#include <exception>
#include <functional>

class IFormDialogs;

namespace editboot {

// The application's title: caption of its own boxes.
QString ApplicationTitle();

// The message of an error (shared with hexview, platform/core/errortext).
using ::ExceptionText;
// The message of the exception being handled; call only inside a catch block.
QString CurrentExceptionText();

// Runs command; an error escaping it is shown through dialogs.UnhandledError
// with the full-stop rule applied. Returns false when the command ended with
// an error. Never lets an error through.
bool RunGuarded(IFormDialogs& dialogs, const std::function<void()>& command);

} // namespace editboot
