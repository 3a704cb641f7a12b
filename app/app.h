#pragma once
// The application object: File > Open, About and the application's menu-enabling pass. It
// keeps no state between calls.

#include "framework/application.h"
#include "framework/menu_item.h"

class App : public Application {
 public:
  // Registers the class with the runtime: its name, its methods and its one event binding.
  static void RegisterClass();

  virtual void Event_EnableMenuItems();
  virtual bool _FileOpen_Action();
  virtual bool _AboutMenuItem_Action();
};

// The application object. (The accessor bears the class's name, so the class itself is
// written "class App" below this line.)
class App& App();
// Items of the application's menu bar, looked up afresh at every call.
MenuItem& FileOpen();
MenuItem& FileClose();
AppleMenuItem& AboutMenuItem();
