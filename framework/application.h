#pragma once
// The application object: the menu bar of the application and its menu handlers. The
// framework keeps the one application object of the process.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/class_registry.h"
#include "framework/menu_bar_view.h"
#include "framework/string.h"

using MenuHandler = std::function<bool()>;

// Menu handlers registered under item names, in registration order.
class MenuHandlers {
 public:
  void Add(std::string_view name, MenuHandler handler);
  const MenuHandler* Find(std::string_view name) const;
  // The names that have a handler, in the order of their first registration.
  std::vector<std::string> Names() const;

 private:
  std::vector<std::pair<std::string, MenuHandler>> handlers_;
};

class Application : public Object {
 public:
  Application();
  ~Application() override;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  MenuBar* GetMenuBar() const { return menuBar_ != nullptr ? &menuBar_->AsMenuBar() : nullptr; }
  MenuBarView* GetMenuBarView() const { return menuBar_; }
  void SetMenuBar(MenuBarView* menuBar) { menuBar_ = menuBar; }

  void _AddMenuHandler(std::string_view itemName, MenuHandler handler);
  const MenuHandlers& RegisteredMenuHandlers() const { return menuHandlers_; }

 private:
  MenuBarView* menuBar_ = nullptr;  // not owned: the menu bar outlives the application's use of it
  MenuHandlers menuHandlers_;
};

// The application object: the framework owns it until RuntimeReleaseAppObject.
void _RuntimeRegisterAppObject(std::unique_ptr<Application> application);
Application* _GetAppObject();
void RuntimeReleaseAppObject();
