#pragma once
// A menu bar as the application and the windows see it. Windows come before menus (menus
// route their commands to the active window), so below the menus layer a menu bar is known
// only through this; MenuBar is the one kind there is.

class MenuBar;
class QMainWindow;
class QWidget;

class MenuBarView {
 public:
  MenuBarView() = default;
  MenuBarView(const MenuBarView&) = delete;
  MenuBarView& operator=(const MenuBarView&) = delete;

  virtual MenuBar& AsMenuBar() = 0;
  // Puts the menus into the window's own menu bar.
  virtual void ShowIn(QMainWindow& window) = 0;
  // Makes every command reachable by its shortcut in the window, also when the window shows
  // no menu bar.
  virtual void AddShortcutsTo(QWidget& window) = 0;

 protected:
  ~MenuBarView() = default;
};
