#pragma once
// The application's handler of errors that no command caught. Code that runs
// from the event loop (posted messages, timers) must not let an exception
// escape into the toolkit; it hands it here instead. The program installs a
// handler that shows the error box; the default writes the text to stderr.

#include <exception>
#include <functional>

using TApplicationErrorHandler = std::function<void(std::exception_ptr)>;

// Installs handler (empty: the default). Returns the previous one.
TApplicationErrorHandler SetApplicationErrorHandler(TApplicationErrorHandler handler);
// Passes the current or given exception to the installed handler; never throws.
void HandleApplicationException(std::exception_ptr error);
