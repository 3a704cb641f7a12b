#include "framework/unhandled_exception.h"

#include <string>

#include "framework/dialogs.h"

void _UnhandledException(std::exception_ptr exception) {
  std::string what = "unknown error";
  try {
    std::rethrow_exception(exception);
  } catch (const std::exception& error) {
    what = error.what();
  } catch (...) {
  }
  try {
    MsgBox(String("An unexpected error occurred: ") + String::FromUtf8(what), MessageKind::Error);
  } catch (...) {
    // The message itself failed; there is nothing left to tell the user with.
  }
}
