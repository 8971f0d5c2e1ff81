#include "platform/core/apperror.h"
#include "platform/core/exceptions.h"

#include <cstdio>

namespace {
TApplicationErrorHandler& installedHandler()
{
    static TApplicationErrorHandler handler;
    return handler;
}

void defaultHandler(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "Unknown error\n");
    }
}
} // namespace

TApplicationErrorHandler SetApplicationErrorHandler(TApplicationErrorHandler handler)
{
    TApplicationErrorHandler previous = std::move(installedHandler());
    installedHandler() = std::move(handler);
    return previous;
}

void HandleApplicationException(std::exception_ptr error)
{
    if (!error)
        return;
    try {
        if (installedHandler())
            installedHandler()(error);
        else
            defaultHandler(error);
    } catch (...) {
        defaultHandler(std::current_exception());
    }
}
