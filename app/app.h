#pragma once
// The application object: File > Open, About, the application's menu-enabling pass and the
// tokeniser. It keeps no state between calls.

#include "framework/application.h"
#include "framework/menu_item.h"

class App : public Application {
 public:
  // Registers the class with the runtime: its name, its methods and its one event binding.
  static void RegisterClass();

  virtual void Event_EnableMenuItems();
  virtual bool _FileOpen_Action();
  virtual bool _AboutMenuItem_Action();
  // The tokeniser (app/word_tokeniser.cpp): the next word of `line` at or after the 1-based
  // character `position`, or "" when none is left; `position` moves past it.
  virtual String GetWord(const String& line, int32_t& position);
};

// The application object. (The accessor bears the class's name, so the class itself is
// written "class App" below this line.)
class App& App();
// Items of the application's menu bar, looked up afresh at every call.
MenuItem& FileOpen();
MenuItem& FileClose();
AppleMenuItem& AboutMenuItem();
