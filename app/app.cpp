#include "app/app.h"

#include "about_window/about_window.h"
#include "framework/checked_cast.h"
#include "framework/window.h"

class App& App() { return RuntimeCheckCast<class App>(_GetAppObject()); }

MenuItem& FileOpen() { return MenuItemNamed<MenuItem>(App().GetMenuBar(), "FileOpen"); }
AppleMenuItem& AboutMenuItem() { return MenuItemNamed<AppleMenuItem>(App().GetMenuBar(), "AboutMenuItem"); }

void App::Event_EnableMenuItems() {
  FileOpen().Enable();
  AboutMenuItem().Enable();
}

bool App::_AboutMenuItem_Action() {
  // Every About command opens one more window; the framework keeps it while it is open.
  RuntimeNewWindow<AboutWIndow>();
  return true;
}
