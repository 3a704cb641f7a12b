// The About command: every run opens one more About window.

#include "about_window/about_window.h"
#include "app/app.h"
#include "framework/window.h"

bool App::_AboutMenuItem_Action() {
  // The framework keeps the window while it is open.
  RuntimeNewWindow<AboutWIndow>();
  return true;
}
