#include "app/application.h"

#include "app/apperrors.h"
#include "platform/core/apperror.h"

TEditBootApplication::TEditBootApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(editboot::ApplicationTitle());
    setApplicationVersion(QStringLiteral("1.0"));
}

bool TEditBootApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // The window's handler shows the error box; the program goes on.
        HandleApplicationException(std::current_exception());
    }
    return false;
}
