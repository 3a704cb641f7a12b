#pragma once
// The program's one menu bar, File and Edit, shared by the application and every results
// window. Handlers find its items by name.

#include <memory>

#include "framework/menu_item.h"

class ConcordanceMenuBar : public MenuBar {
 public:
  // Registers the class with the runtime: its name and its three methods.
  static void RegisterClass();

  virtual void Constructor();
  // The File menu, then the Edit menu.
  virtual void Untitled0();
  virtual void Untitled1();
};

// The shared instance; empty until first use and again after shut-down.
extern std::unique_ptr<class ConcordanceMenuBar> _implicitInstance;

// The shared menu bar, built completely on first use. (The accessor bears the class's
// name, so the class itself is written "class ConcordanceMenuBar" below this line.)
class ConcordanceMenuBar& ConcordanceMenuBar();
