#pragma once
// The application object: File > Open, About, the application's menu-enabling pass and
// the tokeniser. It keeps no state between calls.

#include <cstdint>

#include "framework/application.h"
#include "framework/menu_item.h"
#include "framework/string.h"

class App : public Application {
 public:
  static constexpr const char* kClassName = "App";

  void Event_EnableMenuItems() override;
  virtual bool _FileOpen_Action();
  virtual bool _AboutMenuItem_Action();
  virtual String GetWord(const String& line, int32_t& position);
};

// The application object. (The accessor bears the class's name, so the class itself is
// written "class App" below this line.)
class App& App();
// Items of the application's menu bar, looked up afresh at every call.
MenuItem& FileOpen();
AppleMenuItem& AboutMenuItem();
