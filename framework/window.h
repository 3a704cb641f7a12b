#pragma once
// Windows and the list of open ones. Construction raises the hooks Layout, CreateControls
// and AddMenuHandlers; the window's property list decides its size, buttons and visibility.
// Controls are owned by their window and found by name. Windows build on the event pump;
// menus and controls build on windows.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/application.h"
#include "framework/class_registry.h"
#include "framework/exceptions.h"
#include "framework/menu_bar_view.h"
#include "framework/set_properties.h"
#include "framework/string.h"

class QWidget;
class QMainWindow;
class Window;

// What a window needs of a control it holds; RectControl, of the controls layer, is one.
class WindowControl {
 public:
  virtual ~WindowControl() = default;
  virtual const String& Name() const = 0;
  // Adopts the control under its name.
  virtual void AttachTo(Window& window, const String& name) = 0;
  // Moves the control after the window's content area changed to width x height.
  virtual void Reposition(int32_t contentWidth, int32_t contentHeight) = 0;
};

class Window : public Object, public PropertyTarget {
 public:
  Window();
  ~Window() override;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Builds the window: raises its events Layout, CreateControls and AddMenuHandlers through
  // the bindings of its class, checks the controls its class declares, then shows it when its
  // properties ask for it. The framework keeps the window until it is closed.
  void Constructor();

  void SetTitle(const String& title);

  MenuBar* GetMenuBar() const { return menuBar_ != nullptr ? &menuBar_->AsMenuBar() : nullptr; }
  void SetMenuBar(MenuBarView* menuBar);

  void _AddMenuHandler(std::string_view itemName, MenuHandler handler);
  const MenuHandlers& RegisteredMenuHandlers() const { return menuHandlers_; }

  // Closes the window; the object is destroyed once the current event is over.
  void Close();
  bool IsOpen() const { return open_; }
  bool IsVisible() const;

  // Width and height of the content area (below the menu bar).
  int32_t Width() const;
  int32_t Height() const;

  void _AddControl(const String& name, std::unique_ptr<WindowControl> control);
  // The control of that name on this window, or nullptr.
  WindowControl* ControlByName(std::string_view name) const;
  int32_t ControlCount() const { return static_cast<int32_t>(controls_.size()); }

  // Toolkit objects, for the framework and for tests.
  QMainWindow* NativeWindow() const;
  QWidget* ContentArea() const;

  // Moves every control after the content area changed size (locked edges).
  void RepositionControls();
  // Called by the toolkit window when the user or the program closes it.
  void HandleClosed();

 protected:
  void ApplyProperty(std::string_view name, const PropertyValue& value) override;

 private:
  // Every control that the window's class declares exists, of the declared class.
  void CheckDeclaredControls() const;
  void UpdateWindowFlags();
  void UpdateSizeLimits();

  struct Native;
  std::unique_ptr<Native> native_;
  MenuBarView* menuBar_ = nullptr;  // shared, not owned
  MenuHandlers menuHandlers_;
  std::vector<std::unique_ptr<WindowControl>> controls_;
  bool open_ = false;
  bool showWhenBuilt_ = false;
};

// The control of that name on the window; fails loudly, naming it, when there is none.
WindowControl& RuntimeWindowControlByName(const Window& window, std::string_view name);
// The same, cast to the control's class.
template <typename Control>
Control& ControlNamed(const Window& window, std::string_view name) {
  if (auto* control = dynamic_cast<Control*>(&RuntimeWindowControlByName(window, name))) return *control;
  throw RuntimeException("The control " + std::string(name) + " is not of the expected class");
}

// The windows that are open, oldest first.
std::vector<Window*> RuntimeOpenWindows();
// The open window the user works in (the active one), or nullptr.
Window* RuntimeActiveWindow();
// The framework window behind a toolkit window, or nullptr.
Window* RuntimeWindowFor(const QWidget* widget);
// Destroys the windows that were closed; the event loop does this once no handler runs.
void ReleaseClosedWindows();
// Keeps the window and runs its Constructor; a window whose construction fails is
// dropped again, so that no half-built window stays behind.
Window& RuntimeConstructWindow(std::unique_ptr<Window> window);

// Creates, constructs and keeps a window of the given class.
template <typename WindowClass>
WindowClass& RuntimeNewWindow() {
  return static_cast<WindowClass&>(RuntimeConstructWindow(RuntimeNewObject<WindowClass>()));
}
