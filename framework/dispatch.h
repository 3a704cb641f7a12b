#pragma once
// Dispatch and the event pump, the bottom of the toolkit layer: the toolkit's event loop, the
// handler of the yield hook (windows keep painting during a long command while the user's
// input waits), the busy cursor, and the depth of handlers running now. It knows no windows,
// menus or controls; they build on it.

#include <functional>

class QObject;
class QWidget;

// Creates the toolkit's application (unless a test made one) and installs the handler of the
// yield hook.
void StartEventPump(int& argc, char** argv);
// Removes the handler and ends the toolkit's application if StartEventPump made it.
void StopEventPump();
// Runs the event loop; returns its exit status once the application quits.
int RunEventLoop();
// Ends the event loop (what the Quit item does).
void RuntimeQuit();

// Marks a handler running for as long as the object lives. Input that comes meanwhile waits,
// and windows closed meanwhile are destroyed once the outermost handler has ended.
class DispatchScope {
 public:
  DispatchScope();
  ~DispatchScope();
  DispatchScope(const DispatchScope&) = delete;
  DispatchScope& operator=(const DispatchScope&) = delete;
  // The window that was active when the outermost handler began (the window whose command
  // runs), or nullptr.
  static QWidget* CommandWindow();
  // Runs work from the event loop itself once no handler runs (never under a handler, nor
  // under the toolkit code that is delivering the current event), unless context is gone.
  static void RunFromEventLoop(QObject* context, std::function<void()> work);
};
