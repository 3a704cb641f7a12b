#pragma once
// The runtime: process start and end, the class registry, the application object,
// start-up, the event loop and the last-resort handler for exceptions.

#include <cstdint>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "framework/exceptions.h"

class Application;

// First call of the process: creates the toolkit's application (unless a test made one)
// and registers the framework's own classes.
void RuntimeInit(int& argc, char** argv);
// Last call of the process; its result is the exit status.
int RuntimeExit();

// Records a class once, in the order of first registration.
void RuntimeRegisterClass(std::string_view className);

// Calls the start-up routine exactly once, before the event loop delivers any event.
void _RunFrameworkInitialization(void (*startup)());
// Runs the event loop; returns when the application quits.
void _RuntimeRun();
// Ends the event loop (what the Quit item does).
void RuntimeQuit();
// Shows the user what went wrong; the program carries on.
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

// The application object: the framework owns it until the process ends.
void _RuntimeRegisterAppObject(std::unique_ptr<Application> application);
Application* _GetAppObject();

// Releases what the framework holds: open windows, the application object, file types.
void RuntimeReleaseGlobals();

// Typed cast that fails loudly.
template <typename Target, typename Source>
Target& RuntimeCheckCast(Source& object) {
  if (auto* target = dynamic_cast<Target*>(&object)) return *target;
  throw RuntimeException(std::string("Object is not of the expected class (") + typeid(Target).name() + ")");
}
template <typename Target, typename Source>
Target& RuntimeCheckCast(Source* object) {
  if (object == nullptr) throw RuntimeException("Nil object where an object was expected");
  return RuntimeCheckCast<Target>(*object);
}
