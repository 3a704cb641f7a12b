// The menu bar as a user sees it, and which of its items the application and each window
// serve: the items each one enables in its enabling event and the handlers it registers.

#include <gmock/gmock.h>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <optional>
#include <string_view>
#include <typeinfo>

#include "about_window/about_window.h"
#include "app/app.h"
#include "concordance_window/word_count_window.h"
#include "framework/runtime.h"
#include "tests/support/gui_test.h"

namespace {

using ::testing::ElementsAreArray;
using ::testing::UnorderedElementsAreArray;

enum class ItemClass { kMenuItem, kQuitMenuItem, kAppleMenuItem };

struct MenuRow {
  int menu;      // 0 File, 1 Edit
  int position;  // 0: the menu itself; 1 on: its items, top to bottom
  ItemClass itemClass;
  const char* name;
  const char* text;
  std::optional<const char*> shortcut;  // nullopt: never set, which differs from the empty text
};

void PrintTo(const MenuRow& row, std::ostream* out) { *out << row.menu << "." << row.position; }

class MenuBarRow : public StartedProgram, public ::testing::WithParamInterface<MenuRow> {};

// Checked on the menu bar object and on what a results window shows of it.
TEST_P(MenuBarRow, HasItsPlaceClassNameTextAndShortcut) {
  const MenuRow& row = GetParam();
  MenuBar& bar = *App().GetMenuBar();
  ASSERT_EQ(bar.Count(), 2);
  MenuItem& menu = bar.Item(row.menu);
  ASSERT_EQ(menu.Count(), row.menu == 0 ? 7 : 8);
  MenuItem& item = row.position == 0 ? menu : menu.Item(row.position - 1);

  const std::type_info& expectedClass = row.itemClass == ItemClass::kQuitMenuItem    ? typeid(QuitMenuItem)
                                        : row.itemClass == ItemClass::kAppleMenuItem ? typeid(AppleMenuItem)
                                                                                     : typeid(MenuItem);
  EXPECT_TRUE(typeid(item) == expectedClass) << typeid(item).name();
  EXPECT_EQ(item.Name().ToUtf8(), row.name);
  EXPECT_EQ(item.Text().ToUtf8(), row.text);
  EXPECT_TRUE(item.AutoEnable());
  EXPECT_EQ(item.HasKeyboardShortcut(), row.shortcut.has_value());
  if (row.shortcut) {
    EXPECT_EQ(item.KeyboardShortcut().ToUtf8(), *row.shortcut);
  }
  if (*row.name != '\0') {
    EXPECT_EQ(bar._Lookup(row.name), &item);
  }

  // What the user sees: the menus in the bar, the items in each menu, their texts and keys.
  QMenuBar* shown = RuntimeNewWindow<WordCountWindow>().NativeWindow()->menuBar();
  ASSERT_EQ(shown->actions().size(), 2);
  QMenu* shownMenu = shown->actions()[row.menu]->menu();
  ASSERT_NE(shownMenu, nullptr);
  ASSERT_EQ(shownMenu->actions().size(), menu.Count());
  if (row.position == 0) {
    EXPECT_EQ(shownMenu, item.NativeMenu());
    EXPECT_EQ(shownMenu->title().toStdString(), row.text);
    return;
  }
  const QAction* action = shownMenu->actions()[row.position - 1];
  EXPECT_EQ(action, item.NativeAction());
  const bool separator = std::string_view(row.text) == "-";
  EXPECT_EQ(action->isSeparator(), separator);
  if (!separator) {
    EXPECT_EQ(action->text().toStdString(), row.text);
  }
  QString keys = row.shortcut ? QString(*row.shortcut) : QString();
  EXPECT_EQ(action->shortcut(), QKeySequence(keys.replace("Cmd+", "Ctrl+"), QKeySequence::PortableText));
}

INSTANTIATE_TEST_SUITE_P(
    FileAndEdit, MenuBarRow,
    ::testing::Values(MenuRow{0, 0, ItemClass::kMenuItem, "FileMenu", "&File", ""},
                      MenuRow{0, 1, ItemClass::kMenuItem, "FileOpen", "Open", "Cmd+O"},
                      MenuRow{0, 2, ItemClass::kMenuItem, "FileClose", "Close", "Cmd+W"},
                      MenuRow{0, 3, ItemClass::kMenuItem, "UntitledSeparator", "-", std::nullopt},
                      MenuRow{0, 4, ItemClass::kMenuItem, "FileSaveAsCSV", "Save As CSV", ""},
                      MenuRow{0, 5, ItemClass::kMenuItem, "FileSaveAsText", "Save As Text", ""},
                      MenuRow{0, 6, ItemClass::kQuitMenuItem, "FileQuit", "&Quit", "Cmd+Q"},
                      MenuRow{0, 7, ItemClass::kAppleMenuItem, "AboutMenuItem", "About Varnholt Concordance", ""},
                      MenuRow{1, 0, ItemClass::kMenuItem, "EditMenu", "&Edit", ""},
                      MenuRow{1, 1, ItemClass::kMenuItem, "EditUndo", "&Undo", "Cmd+Z"},
                      MenuRow{1, 2, ItemClass::kMenuItem, "", "-", std::nullopt},
                      MenuRow{1, 3, ItemClass::kMenuItem, "EditCut", "Cu&t", "Cmd+X"},
                      MenuRow{1, 4, ItemClass::kMenuItem, "EditCopy", "&Copy", "Cmd+C"},
                      MenuRow{1, 5, ItemClass::kMenuItem, "EditPaste", "&Paste", "Cmd+V"},
                      MenuRow{1, 6, ItemClass::kMenuItem, "EditClear", "&Delete", ""},
                      MenuRow{1, 7, ItemClass::kMenuItem, "", "-", std::nullopt},
                      MenuRow{1, 8, ItemClass::kMenuItem, "EditSelectAll", "Select &All", "Cmd+A"}),
    [](const ::testing::TestParamInfo<MenuRow>& info) {
      const MenuRow& row = info.param;
      return *row.name != '\0' ? std::string(row.name) : "EditSeparator" + std::to_string(row.position);
    });

// The application or one window of a class, as the menus meet it.
struct Server {
  std::function<void()> enableMenuItems;  // raises its enabling event
  const MenuHandlers* handlers;
};

struct ServingClass {
  const char* name;
  Server (*make)();
  std::vector<std::string> enables;  // in the order of the calls
  std::vector<std::string> handles;  // in the order of registration
};

void PrintTo(const ServingClass& serving, std::ostream* out) { *out << serving.name; }

class ServedItems : public StartedProgram, public ::testing::WithParamInterface<ServingClass> {
 protected:
  void TearDown() override {
    MenuItem::ObserveEnableForTesting(nullptr);
    StartedProgram::TearDown();
  }

  static void SetEveryItem(bool enabled) {
    App().GetMenuBar()->ForEachItem([&](MenuItem& item) { enabled ? item.Enable() : item.Disable(); });
  }
  static std::vector<std::string> EnabledItems() {
    std::vector<std::string> names;
    App().GetMenuBar()->ForEachItem([&](MenuItem& item) {
      if (item.Enabled() && &item != App().GetMenuBar()) names.push_back(item.Name().ToUtf8());
    });
    return names;
  }
};

// The framework's own enabling is left out: only the class's event runs, raised through its
// class's binding as an enabling pass raises it, from all off.
TEST_P(ServedItems, EnablingEventEnablesItsOwnItemsInOrderAndDisablesNothing) {
  const Server server = GetParam().make();
  SetEveryItem(false);
  std::vector<std::string> calls;
  MenuItem::ObserveEnableForTesting([&](const MenuItem& item) { calls.push_back(item.Name().ToUtf8()); });
  server.enableMenuItems();
  EXPECT_THAT(calls, ElementsAreArray(GetParam().enables));
  EXPECT_THAT(EnabledItems(), UnorderedElementsAreArray(GetParam().enables));

  MenuItem::ObserveEnableForTesting(nullptr);
  SetEveryItem(true);
  server.enableMenuItems();
  EXPECT_EQ(EnabledItems().size(), 17u);
}

TEST_P(ServedItems, RegistersItsHandlersInOrder) {
  EXPECT_THAT(GetParam().make().handlers->Names(), ElementsAreArray(GetParam().handles));
}

template <typename WindowClass>
Server NewWindow() {
  WindowClass& window = RuntimeNewWindow<WindowClass>();
  return {[&window] { RuntimeRaiseEvent(window, "EnableMenuItems"); }, &window.RegisteredMenuHandlers()};
}

INSTANTIATE_TEST_SUITE_P(
    ApplicationAndWindows, ServedItems,
    ::testing::Values(
        ServingClass{"App", [] { return Server{[] { RuntimeRaiseEvent(App(), "EnableMenuItems"); }, &App().RegisteredMenuHandlers()}; },
                     {"FileOpen", "AboutMenuItem"},
                     {"FileOpen", "AboutMenuItem"}},
        ServingClass{"WordCountWindow", &NewWindow<WordCountWindow>,
                     {"FileSaveAsCSV", "FileSaveAsText", "EditCopy", "FileClose"},
                     {"FileClose", "EditCopy", "FileSaveAsCSV", "FileSaveAsText"}},
        ServingClass{"AboutWIndow", &NewWindow<AboutWIndow>, {"FileClose"}, {"FileClose"}}),
    [](const ::testing::TestParamInfo<ServingClass>& info) { return std::string(info.param.name); });

}  // namespace
