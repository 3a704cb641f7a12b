#pragma once
// The last-resort handler: an exception that leaves a handler is shown to the user, and the
// program carries on.

#include <exception>

// Shows the user what went wrong.
void _UnhandledException(std::exception_ptr exception);

// Runs one handler the way the event loop does: an exception that leaves it reaches
// _UnhandledException instead of the toolkit. Returns the handler's result, or the
// fallback when it threw.
template <typename Handler, typename Result>
Result RuntimeDispatch(Handler&& handler, Result fallback) {
  try {
    return handler();
  } catch (...) {
    _UnhandledException(std::current_exception());
    return fallback;
  }
}
