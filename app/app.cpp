#include "app/app.h"

#include "framework/checked_cast.h"
#include "framework/class_registry.h"

void App::RegisterClass() {
  ClassRegistration<class App>("App", "Application")
      .Publish("Event_EnableMenuItems", &App::Event_EnableMenuItems)
      .Publish("_FileOpen_Action", &App::_FileOpen_Action)
      .Publish("_AboutMenuItem_Action", &App::_AboutMenuItem_Action)
      .Publish("GetWord", &App::GetWord)
      .Bind("EnableMenuItems", "Event_EnableMenuItems", &App::Event_EnableMenuItems)
      .Register();
}

class App& App() { return RuntimeCheckCast<class App>(_GetAppObject()); }

MenuItem& FileOpen() { return MenuItemNamed<MenuItem>(App().GetMenuBar(), "FileOpen"); }
MenuItem& FileClose() { return MenuItemNamed<MenuItem>(App().GetMenuBar(), "FileClose"); }
AppleMenuItem& AboutMenuItem() { return MenuItemNamed<AppleMenuItem>(App().GetMenuBar(), "AboutMenuItem"); }

void App::Event_EnableMenuItems() {
  FileOpen().Enable();
  AboutMenuItem().Enable();
}
