#include "app/app.h"

#include "about_window/about_window.h"
#include "framework/runtime.h"
#include "framework/window.h"

namespace {

template <typename ItemClass>
ItemClass& ApplicationMenuItem(std::string_view name) {
  return RuntimeCheckCast<ItemClass>(App().GetMenuBar()->_Lookup(name));
}

}  // namespace

class App& App() { return RuntimeCheckCast<class App>(_GetAppObject()); }

MenuItem& FileOpen() { return ApplicationMenuItem<MenuItem>("FileOpen"); }
MenuItem& FileClose() { return ApplicationMenuItem<MenuItem>("FileClose"); }
AppleMenuItem& AboutMenuItem() { return ApplicationMenuItem<AppleMenuItem>("AboutMenuItem"); }

void App::Event_EnableMenuItems() {
  FileOpen().Enable();
  AboutMenuItem().Enable();
}

bool App::_AboutMenuItem_Action() {
  // Every About command opens one more window; the framework keeps it while it is open.
  RuntimeNewWindow<AboutWIndow>();
  return true;
}
