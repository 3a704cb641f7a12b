#pragma once
// Toolkit-side pieces shared by the framework's own sources.

#include <QMainWindow>
#include <QWidget>

#include <functional>

#ifdef __GLIBC__
#include <malloc.h>
#endif

class MenuBar;
class Window;

// Shows the menu bar's menus in the window's own menu bar.
void ShowMenuBarIn(QMainWindow& window, MenuBar& menuBar);
// Makes every command of the menu bar reachable by its shortcut in the window, also
// when the window shows no menu bar.
void AddMenuShortcutsTo(QWidget& window, MenuBar& menuBar);
// Routes a chosen command: the active window's handler first, then the application's,
// then the item's own action. Returns whether anyone handled it.
class MenuItem;
bool DispatchMenuCommand(MenuItem& item);
// Depth of handlers running now; windows closed meanwhile are destroyed at depth 0.
class DispatchScope {
 public:
  DispatchScope();
  ~DispatchScope();
  DispatchScope(const DispatchScope&) = delete;
  DispatchScope& operator=(const DispatchScope&) = delete;
  static int Depth();
  // The window that was active when the outermost handler began (the window whose command
  // runs), or nullptr.
  static QWidget* CommandWindow();
  // Runs work from the event loop itself once no handler runs (never under a handler, nor
  // under the toolkit code that is delivering the current event), unless context is gone.
  static void RunFromEventLoop(QObject* context, std::function<void()> work);
};
void ReleaseClosedWindows();
// Returns memory that was freed to the system. After millions of rows were filled, sorted or
// copied, the allocator would otherwise keep tens of megabytes of scratch space for good.
inline void GiveBackFreeMemory() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}
// Installs the filter that runs the menu-enabling pass before a shortcut is looked up.
void InstallShortcutEnablingFilter();

// The toolkit window behind a framework window.
class NativeWindow : public QMainWindow {
 public:
  explicit NativeWindow(Window& owner);
  Window& Owner() const { return owner_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Window& owner_;
};

// The content area below the menu bar, where the controls live.
class ContentArea : public QWidget {
 public:
  explicit ContentArea(Window& owner);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  Window& owner_;
};
