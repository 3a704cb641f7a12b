// The application shell as a user meets it: start-up and its failures, the shared menu
// bar, the menu-enabling pass, Quit, errors inside commands and the text file type.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QKeySequence>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "about_window/about_window.h"
#include "app/app.h"
#include "app/concordance_menu_bar.h"
#include "app/startup.h"
#include "app/text_files.h"
#include "concordance_window/word_count_window.h"
#include "framework/dialogs.h"
#include "framework/file_type.h"
#include "framework/runtime.h"
#include "tests/support/gui_test.h"

using ::testing::ElementsAre;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAre;
using ::testing::UnorderedElementsAreArray;

namespace {

// The runtime is up and the classes are registered, but start-up has not run yet.
class UnstartedProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "concordance-tests";
    static char* argv[] = {name, nullptr};
    RuntimeInit(argc, argv);
    RegisterClasses();
  }
  void TearDown() override {
    ReleaseModuleObjects();
    ProcessEvents();
  }
};

class StartUp : public UnstartedProgram {};
class Shell : public StartedProgram {};

// ---- Start-up

TEST_F(StartUp, RegistersTheFrameworkClassesFirstThenTheProgramsInTheirOrder) {
  const std::vector<std::string> program = {"WordCountWindow.WordCountWindow", "App",
                                            "ConcordanceMenuBar.ConcordanceMenuBar", "AboutWIndow.AboutWIndow"};
  _RunFrameworkInitialization(&_Startup);
  // Building windows uses the classes again; a class is registered once.
  RuntimeNewWindow<WordCountWindow>();
  ChooseMenuItem(Item("AboutMenuItem"));

  const std::vector<std::string>& classes = RuntimeRegisteredClasses();
  ASSERT_GT(classes.size(), program.size());
  const std::vector<std::string> framework(classes.begin(), classes.end() - static_cast<long>(program.size()));
  EXPECT_EQ(std::vector<std::string>(classes.end() - static_cast<long>(program.size()), classes.end()), program);
  for (const char* frameworkClass : {"Application", "Window", "MenuBar", "QuitMenuItem", "AppleMenuItem", "FileType"}) {
    EXPECT_THAT(framework, ::testing::Contains(frameworkClass));
  }
}

TEST_F(StartUp, LeavesTheFileTypeTheApplicationWithTheMenuBarAndTwoHandlersButNoWindow) {
  _RunFrameworkInitialization(&_Startup);

  ASSERT_NE(TextFiles::pText, nullptr);
  EXPECT_THAT(RegisteredFileTypes(), ElementsAre(TextFiles::pText.get()));
  ASSERT_NE(dynamic_cast<class App*>(_GetAppObject()), nullptr);
  EXPECT_EQ(App().GetMenuBar(), _implicitInstance.get());
  EXPECT_EQ(App().GetMenuBar(), &ConcordanceMenuBar());
  EXPECT_THAT(App().RegisteredMenuHandlers().Names(), ElementsAre("FileOpen", "AboutMenuItem"));
  ProcessEvents(50);
  EXPECT_TRUE(RuntimeOpenWindows().empty());
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(widget->isVisible()) << "A window is shown at launch: " << widget->windowTitle().toStdString();
  }
}

TEST_F(StartUp, FailingFileTypeRegistrationLeavesNoApplicationAndNoHandlers) {
  FailNextFileTypeRegistrationForTesting();
  EXPECT_THROW(_RunFrameworkInitialization(&_Startup), std::exception);
  EXPECT_EQ(_GetAppObject(), nullptr);
  EXPECT_EQ(_implicitInstance, nullptr) << "The menu bar is built after the file type";
  EXPECT_TRUE(RegisteredFileTypes().empty());
}

TEST_F(StartUp, MainReportsAStartUpFailureOnceAndDoesNotEnterTheEventLoop) {
  FailNextFileTypeRegistrationForTesting();
  // Started once the message is answered: if the event loop were entered after it,
  // this ends the loop and marks the failure instead of hanging the test.
  bool loopEntered = false;
  QTimer loopWatch;
  loopWatch.setSingleShot(true);
  loopWatch.setInterval(500);
  QObject::connect(&loopWatch, &QTimer::timeout, [&] {
    loopEntered = true;
    QCoreApplication::quit();
  });

  ModalDriver driver;
  const ModalDriver::Step accept = driver.AcceptMessage();
  driver.Then([&](QWidget* modal) {
    accept(modal);
    loopWatch.start();
  });
  driver.Run([] { _Main(); });

  ASSERT_EQ(driver.MessageTexts().size(), 1u);
  EXPECT_THAT(driver.MessageTexts()[0].toStdString(), StartsWith("An unexpected error occurred: "));
  EXPECT_THAT(driver.MessageTexts()[0].toStdString(), ::testing::HasSubstr("text/plain"));
  EXPECT_FALSE(loopEntered);
  EXPECT_EQ(_GetAppObject(), nullptr);
}

// ---- The menu bar

enum class ItemClass { Plain, Quit, About };

struct MenuRow {
  int menu;   // 0 File, 1 Edit
  int index;  // -1: the menu itself
  const char* name;
  ItemClass itemClass;
  const char* text;
  std::optional<const char*> shortcut;  // nullopt: never set
  const char* boundKeys;                // what the toolkit binds
};

const MenuRow kMenuRows[] = {
    {0, -1, "FileMenu", ItemClass::Plain, "&File", "", ""},
    {0, 0, "FileOpen", ItemClass::Plain, "Open", "Cmd+O", "Ctrl+O"},
    {0, 1, "FileClose", ItemClass::Plain, "Close", "Cmd+W", "Ctrl+W"},
    {0, 2, "UntitledSeparator", ItemClass::Plain, "-", std::nullopt, ""},
    {0, 3, "FileSaveAsCSV", ItemClass::Plain, "Save As CSV", "", ""},
    {0, 4, "FileSaveAsText", ItemClass::Plain, "Save As Text", "", ""},
    {0, 5, "FileQuit", ItemClass::Quit, "&Quit", "Cmd+Q", "Ctrl+Q"},
    {0, 6, "AboutMenuItem", ItemClass::About, "About Varnholt Concordance", "", ""},
    {1, -1, "EditMenu", ItemClass::Plain, "&Edit", "", ""},
    {1, 0, "EditUndo", ItemClass::Plain, "&Undo", "Cmd+Z", "Ctrl+Z"},
    {1, 1, "", ItemClass::Plain, "-", std::nullopt, ""},
    {1, 2, "EditCut", ItemClass::Plain, "Cu&t", "Cmd+X", "Ctrl+X"},
    {1, 3, "EditCopy", ItemClass::Plain, "&Copy", "Cmd+C", "Ctrl+C"},
    {1, 4, "EditPaste", ItemClass::Plain, "&Paste", "Cmd+V", "Ctrl+V"},
    {1, 5, "EditClear", ItemClass::Plain, "&Delete", "", ""},
    {1, 6, "", ItemClass::Plain, "-", std::nullopt, ""},
    {1, 7, "EditSelectAll", ItemClass::Plain, "Select &All", "Cmd+A", "Ctrl+A"},
};

class MenuBarRow : public StartedProgram, public ::testing::WithParamInterface<MenuRow> {};

TEST_P(MenuBarRow, HasItsNameClassTextShortcutAndAutomaticEnabling) {
  const MenuRow& row = GetParam();
  MenuItem& menu = ConcordanceMenuBar().Item(row.menu);
  MenuItem& item = row.index < 0 ? menu : menu.Item(row.index);

  EXPECT_EQ(item.Name().ToUtf8(), row.name);
  EXPECT_EQ(item.Text().ToUtf8(), row.text);
  EXPECT_EQ(item.IsSeparator(), std::string(row.text) == "-");
  EXPECT_EQ(dynamic_cast<QuitMenuItem*>(&item) != nullptr, row.itemClass == ItemClass::Quit);
  EXPECT_EQ(dynamic_cast<AppleMenuItem*>(&item) != nullptr, row.itemClass == ItemClass::About);
  EXPECT_TRUE(item.AutoEnable());
  EXPECT_EQ(item.HasKeyboardShortcut(), row.shortcut.has_value());
  if (row.shortcut) {
    EXPECT_EQ(item.KeyboardShortcut().ToUtf8(), *row.shortcut);
  }
  EXPECT_EQ(item.NativeAction()->shortcut(), QKeySequence(QString::fromLatin1(row.boundKeys)));
  if (row.index < 0) {
    ASSERT_NE(item.NativeMenu(), nullptr);
    EXPECT_EQ(item.NativeMenu()->title().toStdString(), row.text);
  } else {
    EXPECT_EQ(item.NativeMenu(), nullptr);
    // A separator is a line; some styles would print its "-" as a heading.
    EXPECT_EQ(item.NativeAction()->text().toStdString(), std::string(row.text) == "-" ? "" : row.text);
  }
}

INSTANTIATE_TEST_SUITE_P(FileAndEdit, MenuBarRow, ::testing::ValuesIn(kMenuRows),
                         [](const ::testing::TestParamInfo<MenuRow>& info) {
                           const std::string name = info.param.name;
                           return (info.param.menu == 0 ? std::string("File") : std::string("Edit")) +
                                  (info.param.index < 0 ? std::string("Menu") : std::to_string(info.param.index)) +
                                  (name.empty() || info.param.index < 0 ? "" : "_" + name);
                         });

TEST_F(Shell, MenuBarHoldsFileWithSevenItemsThenEditWithEight) {
  MenuBar& bar = ConcordanceMenuBar();
  ASSERT_EQ(bar.Count(), 2);
  EXPECT_EQ(bar.Item(0).Name().ToUtf8(), "FileMenu");
  EXPECT_EQ(bar.Item(1).Name().ToUtf8(), "EditMenu");
  EXPECT_EQ(bar.Item(0).Count(), 7);
  EXPECT_EQ(bar.Item(1).Count(), 8);
  // The toolkit menus show the same items, separators included.
  EXPECT_EQ(bar.Item(0).NativeMenu()->actions().size(), 7);
  EXPECT_EQ(bar.Item(1).NativeMenu()->actions().size(), 8);
}

TEST_F(Shell, MenuBarIsOneObjectSharedByTheApplicationAndEveryResultsWindow) {
  MenuBar& bar = ConcordanceMenuBar();
  EXPECT_EQ(&ConcordanceMenuBar(), &bar);
  EXPECT_EQ(App().GetMenuBar(), &bar);
  WordCountWindow& first = RuntimeNewWindow<WordCountWindow>();
  WordCountWindow& second = RuntimeNewWindow<WordCountWindow>();
  WordCountWindow& third = RuntimeNewWindow<WordCountWindow>();
  for (Window* window : {static_cast<Window*>(&first), static_cast<Window*>(&second), static_cast<Window*>(&third)}) {
    EXPECT_EQ(window->GetMenuBar(), &bar);
    const QList<QAction*> shown = window->NativeWindow()->menuBar()->actions();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0]->menu(), bar.Item(0).NativeMenu());
    EXPECT_EQ(shown[1]->menu(), bar.Item(1).NativeMenu());
  }
  // Fetching it again built nothing more.
  EXPECT_EQ(bar.Count(), 2);
  EXPECT_EQ(bar.Item(0).Count(), 7);
  EXPECT_EQ(bar.Item(1).Count(), 8);
}

TEST_F(Shell, LookupFromTheApplicationsBarFindsEachNamedItemInsideItsMenu) {
  MenuBar& bar = *App().GetMenuBar();
  for (const MenuRow& row : kMenuRows) {
    if (std::string(row.name).empty()) continue;
    SCOPED_TRACE(row.name);
    int found = 0;
    bar.ForEachItem([&](MenuItem& item) { found += item.Name().ToUtf8() == row.name ? 1 : 0; });
    EXPECT_EQ(found, 1);
    MenuItem* item = bar._Lookup(row.name);
    ASSERT_NE(item, nullptr);
    MenuItem& menu = bar.Item(row.menu);
    EXPECT_EQ(item, row.index < 0 ? &menu : &menu.Item(row.index));
  }
  EXPECT_EQ(&FileOpen(), bar._Lookup("FileOpen"));
  EXPECT_EQ(&FileClose(), bar._Lookup("FileClose"));
  EXPECT_EQ(&AboutMenuItem(), bar._Lookup("AboutMenuItem"));
  EXPECT_EQ(bar.Child("FileOpen"), nullptr) << "Items sit inside the menus, not on the bar";
}

// ---- The menu-enabling pass

enum class ActiveWindow { None, Results, About };

struct EnablingCase {
  ActiveWindow active;
  std::vector<std::string> enabled;
};

const std::vector<std::string> kCommands = {"FileOpen",  "FileClose", "FileSaveAsCSV", "FileSaveAsText",
                                            "FileQuit",  "AboutMenuItem", "EditUndo",  "EditCut",
                                            "EditCopy",  "EditPaste", "EditClear",     "EditSelectAll"};

class EnablingPass : public StartedProgram, public ::testing::WithParamInterface<EnablingCase> {};

TEST_P(EnablingPass, EnablesTheCommandsThatTheApplicationAndTheActiveWindowServe) {
  if (GetParam().active == ActiveWindow::Results) Activate(RuntimeNewWindow<WordCountWindow>());
  if (GetParam().active == ActiveWindow::About) Activate(RuntimeNewWindow<AboutWIndow>());
  // A pass starts from scratch: nothing left over from an earlier one counts.
  for (const std::string& name : kCommands) Item(name).Enable();

  RunMenuEnablingPass();

  std::vector<std::string> enabled;
  for (const std::string& name : kCommands) {
    if (Item(name).Enabled()) enabled.push_back(name);
  }
  EXPECT_THAT(enabled, UnorderedElementsAreArray(GetParam().enabled));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, EnablingPass,
    ::testing::Values(EnablingCase{ActiveWindow::None, {"FileOpen", "AboutMenuItem", "FileQuit"}},
                      EnablingCase{ActiveWindow::Results,
                                   {"FileOpen", "AboutMenuItem", "FileQuit", "FileClose", "EditCopy", "FileSaveAsCSV",
                                    "FileSaveAsText"}},
                      EnablingCase{ActiveWindow::About, {"FileOpen", "AboutMenuItem", "FileQuit", "FileClose"}}),
    [](const ::testing::TestParamInfo<EnablingCase>& info) {
      switch (info.param.active) {
        case ActiveWindow::None: return std::string("NoWindow");
        case ActiveWindow::Results: return std::string("ResultsWindowActive");
        case ActiveWindow::About: return std::string("AboutWindowActive");
      }
      return std::string();
    });

TEST_F(Shell, OpeningTheFileMenuRunsTheEnablingPass) {
  WordCountWindow& window = RuntimeNewWindow<WordCountWindow>();
  Activate(window);
  for (const std::string& name : kCommands) Item(name).Disable();
  Item("EditUndo").Enable();

  QMenuBar* bar = window.NativeWindow()->menuBar();
  QMenu* fileMenu = ConcordanceMenuBar().Item(0).NativeMenu();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(fileMenu->menuAction()).center());
  EXPECT_TRUE(QTest::qWaitFor([&] { return fileMenu->isVisible(); }, 2000));

  EXPECT_TRUE(Item("FileOpen").Enabled());
  EXPECT_TRUE(Item("FileClose").Enabled());
  EXPECT_TRUE(Item("FileSaveAsCSV").Enabled());
  EXPECT_TRUE(Item("FileQuit").Enabled());
  EXPECT_FALSE(Item("EditUndo").Enabled());
  fileMenu->hide();
  ProcessEvents();
}

TEST_F(Shell, CtrlWInAnAboutWindowClosesThatWindowOnly) {
  WordCountWindow& results = RuntimeNewWindow<WordCountWindow>();
  AboutWIndow& firstAbout = RuntimeNewWindow<AboutWIndow>();
  AboutWIndow& secondAbout = RuntimeNewWindow<AboutWIndow>();
  Activate(secondAbout);

  QTest::keyClick(secondAbout.NativeWindow(), Qt::Key_W, Qt::ControlModifier);
  ProcessEvents(50);

  EXPECT_THAT(RuntimeOpenWindows(), UnorderedElementsAre(&results, &firstAbout));
}

// ---- Quit

enum class QuitBy { Menu, CtrlQInMenuBarWindow, CtrlQInResultsWindow, ClosingTheMenuBarWindow };

// The window that shows only the menu bar: the program's own, not one of its windows.
QMainWindow* MenuBarWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* window = qobject_cast<QMainWindow*>(widget);
    if (window != nullptr && window->isVisible() && RuntimeWindowFor(window) == nullptr) return window;
  }
  return nullptr;
}

class Quit : public StartedProgram, public ::testing::WithParamInterface<QuitBy> {};

TEST_P(Quit, EndsTheEventLoopAndShutDownReleasesMenuBarAndFileType) {
  WordCountWindow* results = nullptr;
  if (GetParam() == QuitBy::CtrlQInResultsWindow) results = &RuntimeNewWindow<WordCountWindow>();

  bool timedOut = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    timedOut = true;
    QCoreApplication::quit();
  });
  watchdog.start(5000);
  QTimer::singleShot(0, [&] {
    switch (GetParam()) {
      case QuitBy::Menu:
        ChooseMenuItem(Item("FileQuit"));
        break;
      case QuitBy::CtrlQInMenuBarWindow: {
        QMainWindow* window = MenuBarWindow();
        ASSERT_NE(window, nullptr) << "No menu-bar window at launch";
        ActivateNative(window);
        QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
        break;
      }
      case QuitBy::CtrlQInResultsWindow:
        Activate(*results);
        QTest::keyClick(results->NativeWindow(), Qt::Key_Q, Qt::ControlModifier);
        break;
      case QuitBy::ClosingTheMenuBarWindow: {
        QMainWindow* window = MenuBarWindow();
        ASSERT_NE(window, nullptr) << "No menu-bar window at launch";
        window->close();
        break;
      }
    }
  });

  ModalDriver noMessages;
  noMessages.Run([] { _RuntimeRun(); });
  watchdog.stop();
  EXPECT_FALSE(timedOut) << "The event loop did not end";

  ReleaseModuleObjects();
  EXPECT_EQ(_implicitInstance, nullptr);
  EXPECT_EQ(TextFiles::pText, nullptr);
  EXPECT_TRUE(RegisteredFileTypes().empty());
  EXPECT_EQ(_GetAppObject(), nullptr);
  EXPECT_TRUE(RuntimeOpenWindows().empty());
  EXPECT_EQ(RuntimeExit(), 0);
}

INSTANTIATE_TEST_SUITE_P(Ways, Quit,
                         ::testing::Values(QuitBy::Menu, QuitBy::CtrlQInMenuBarWindow, QuitBy::CtrlQInResultsWindow,
                                           QuitBy::ClosingTheMenuBarWindow),
                         [](const ::testing::TestParamInfo<QuitBy>& info) {
                           switch (info.param) {
                             case QuitBy::Menu: return std::string("ChoosingQuit");
                             case QuitBy::CtrlQInMenuBarWindow: return std::string("CtrlQInMenuBarWindow");
                             case QuitBy::CtrlQInResultsWindow: return std::string("CtrlQInResultsWindow");
                             case QuitBy::ClosingTheMenuBarWindow: return std::string("ClosingMenuBarWindow");
                           }
                           return std::string();
                         });

// ---- Errors inside commands

TEST_F(Shell, AnExceptionInACommandIsShownAndTheProgramGoesOn) {
  App()._AddMenuHandler("EditUndo", []() -> bool { throw std::runtime_error("the undo history is gone"); });
  WordCountWindow& window = RuntimeNewWindow<WordCountWindow>();
  Activate(window);

  ModalDriver driver;
  driver.Then(driver.AcceptMessage()).Run([&] { QTest::keyClick(window.NativeWindow(), Qt::Key_Z, Qt::ControlModifier); });
  EXPECT_THAT(driver.MessageTexts(), ElementsAre("An unexpected error occurred: the undo history is gone"));

  // The window is still there and another command still works.
  EXPECT_THAT(RuntimeOpenWindows(), ElementsAre(&window));
  Activate(window);
  EXPECT_TRUE(ChooseMenuItem(Item("AboutMenuItem")));
  EXPECT_EQ(RuntimeOpenWindows().size(), 2u);
}

// ---- The text file type

TEST(TextFiles, AllIsTheTypeNameAndASemicolonEvenBeforeStartUp) {
  EXPECT_EQ(TextFiles::pText, nullptr);
  EXPECT_EQ(TextFiles::All().ToUtf8(), "text/plain;");
  EXPECT_EQ(TextFiles::All().ToUtf8(), "text/plain;");
}

TEST_F(Shell, TextFileTypeIsRegisteredOnceWithItsFourValues) {
  const FileType& type = *TextFiles::pText;
  EXPECT_EQ(type.Name().ToUtf8(), "text/plain");
  EXPECT_EQ(type.Extensions().ToUtf8(),
            ".asc;.ascii;.bas;.c;.class;.cp;.cpp;.h;.hp;.hpp;.i3;.java;.m2;.m3;.mak;.text;.txt");
  EXPECT_EQ(type.MacType().ToUtf8(), "TEXT");
  EXPECT_EQ(type.MacCreator().ToUtf8(), "????");
  EXPECT_TRUE(type.IsRegistered());
  // Converting it to text again does not register it a second time.
  EXPECT_EQ(TextFiles::pText->ToString().ToUtf8(), "text/plain");
  EXPECT_THAT(RegisteredFileTypes(), ElementsAre(&type));
}

TEST_F(Shell, DialogFiltersListEveryTextExtensionThenAllFiles) {
  EXPECT_THAT(DialogNameFilters(TextFiles::All()),
              ElementsAre("Text files (*.asc *.ascii *.bas *.c *.class *.cp *.cpp *.h *.hp *.hpp *.i3 *.java *.m2 "
                          "*.m3 *.mak *.text *.txt)",
                          "All files (*)"));
}

// The names the open dialog lists in its folder, once the folder has been read.
std::vector<std::string> ListedNames(QFileDialog& dialog, const std::filesystem::path& folder) {
  auto* model = dialog.findChild<QFileSystemModel*>();
  auto* view = dialog.findChild<QListView*>("listView");
  if (model == nullptr || view == nullptr) {
    ADD_FAILURE() << "The open dialog has no file list";
    return {};
  }
  QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
  dialog.setDirectory(QString::fromStdString(folder.string()));
  loaded.wait(3000);
  ProcessEvents(100);
  std::vector<std::string> names;
  const QModelIndex root = view->rootIndex();
  for (int row = 0; row < view->model()->rowCount(root); ++row) {
    names.push_back(view->model()->index(row, 0, root).data().toString().toStdString());
  }
  return names;
}

TEST_F(Shell, OpenDialogListsTextFilesWhateverTheCaseOfTheirExtension) {
  TemporaryFolder folder;
  folder.Write("notes.txt", "a");
  folder.Write("NOTES2.TXT", "b");
  folder.Write("Program.Cpp", "c");
  folder.Write("picture.png", "d");

  std::vector<std::string> listed;
  ModalDriver driver;
  driver
      .Then([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        listed = ListedNames(*dialog, folder.Path());
        static_cast<QDialog*>(dialog)->reject();
      })
      .Run([] { EXPECT_EQ(GetOpenFolderItem(TextFiles::All()), nullptr); });

  EXPECT_THAT(listed, UnorderedElementsAre("notes.txt", "NOTES2.TXT", "Program.Cpp"));
}

}  // namespace
