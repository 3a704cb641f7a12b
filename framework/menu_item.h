#pragma once
// Menus. A MenuItem with children is a menu; a MenuBar is the root whose children are
// the top-level menus. One menu bar can be shown by many windows at once: its items,
// their shortcuts and their enabled state are shared. Menus sit above windows: a chosen
// command goes to the active window's handler first, then to the application's.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/class_registry.h"
#include "framework/exceptions.h"
#include "framework/menu_bar_view.h"
#include "framework/string.h"

class QAction;
class QMenu;

class MenuItem : public Object {
 public:
  MenuItem();
  ~MenuItem() override;
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const String& Name() const { return name_; }
  void SetName(const String& name) { name_ = name; }

  // "&" marks the mnemonic letter; "-" makes the item a separator.
  const String& Text() const { return text_; }
  void SetText(const String& text);

  // "Cmd+X" binds the platform's command key (Ctrl here) with X. Setting the empty text
  // and never setting a shortcut are told apart.
  const String& KeyboardShortcut() const { return shortcut_; }
  bool HasKeyboardShortcut() const { return shortcutSet_; }
  void SetKeyboardShortcut(const String& shortcut);

  bool AutoEnable() const { return autoEnable_; }
  void SetAutoEnable(bool autoEnable) { autoEnable_ = autoEnable; }

  // Enables the item for the current menu-enabling pass.
  void Enable();
  void Disable();
  bool Enabled() const;
  // From now on `observer` sees every item that Enable is called on, in the order of the
  // calls; an empty observer stops it.
  static void ObserveEnableForTesting(std::function<void(const MenuItem&)> observer);

  bool IsSeparator() const;

  // Adds at the end; the item belongs to this one from then on.
  void Append(std::unique_ptr<MenuItem> item);
  int32_t Count() const { return static_cast<int32_t>(children_.size()); }
  MenuItem& Item(int32_t index) const { return *children_.at(static_cast<size_t>(index)); }
  // A direct child by name, or nullptr.
  MenuItem* Child(std::string_view name) const;
  // The item of that name anywhere below this one, or nullptr.
  MenuItem* _Lookup(std::string_view name) const;

  // What the item does by itself when nobody handles its command; false = nothing.
  virtual bool DefaultAction() { return false; }

  // Toolkit objects, for the framework and for tests.
  QAction* NativeAction() const { return action_; }
  QMenu* NativeMenu() const { return menu_.get(); }

  // Calls visit on this item and every item below it, depth first.
  template <typename Visitor>
  void ForEachItem(Visitor&& visit) {
    visit(*this);
    for (auto& child : children_) child->ForEachItem(visit);
  }

 private:
  QMenu& EnsureMenu();

  String name_;
  String text_;
  String shortcut_;
  bool shortcutSet_ = false;
  bool autoEnable_ = false;
  QAction* action_;  // owned; parentless so that no window owns it
  std::unique_ptr<QMenu> menu_;
  std::vector<std::unique_ptr<MenuItem>> children_;
};

class MenuBar : public MenuItem, public MenuBarView {
 public:
  MenuBar& AsMenuBar() override { return *this; }
  void ShowIn(QMainWindow& window) override;
  void AddShortcutsTo(QWidget& window) override;
};

// The item of that name anywhere below `root`, as its class; fails loudly, naming the item,
// when there is none or it is of another class.
template <typename ItemClass>
ItemClass& MenuItemNamed(const MenuItem* root, std::string_view name) {
  MenuItem* item = root != nullptr ? root->_Lookup(name) : nullptr;
  if (item == nullptr) throw RuntimeException("The menu bar has no item named " + std::string(name));
  if (auto* typed = dynamic_cast<ItemClass*>(item)) return *typed;
  throw RuntimeException("The menu item " + std::string(name) + " is not of the expected class");
}

// Quits the application when chosen and nobody handles it.
class QuitMenuItem : public MenuItem {
 public:
  bool DefaultAction() override;
};

// The application-menu kind of item (About); shown where it was appended.
class AppleMenuItem : public MenuItem {};

// Runs one menu-enabling pass now: every item off, items with AutoEnable on that have a
// handler on the application or the active window on, Quit on, then the application's
// and the active window's EnableMenuItems handlers.
void RunMenuEnablingPass();

// Routes a chosen command: the active window's handler first, then the application's,
// then the item's own action. Returns whether anyone handled it.
bool DispatchMenuCommand(MenuItem& item);

// Chooses the item as a user would: enabling pass, then the command is routed.
// Returns whether anyone handled it.
bool ChooseMenuItem(MenuItem& item);

// Installs the filter that runs the menu-enabling pass before a shortcut is looked up.
void InstallShortcutEnablingFilter();
