// The application shell as a user meets it: start-up failure, the menu-enabling pass, Quit, errors inside commands and the open dialog's filter.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <stdexcept>
#include <string>
#include <vector>

#include "about_window/about_window.h"
#include "app/app.h"
#include "app/startup.h"
#include "app/text_files.h"
#include "concordance_window/word_count_window.h"
#include "framework/dialogs.h"
#include "framework/file_type.h"
#include "framework/runtime.h"
#include "tests/support/gui_test.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAre;

namespace {

class Shell : public StartedProgram {};

// Once started, ends the event loop after `ms` and notes that it had to, so that a loop that
// should have ended (or never begun) fails the test instead of hanging it.
struct LoopWatch {
  explicit LoopWatch(int ms) {
    timer.setSingleShot(true);
    timer.setInterval(ms);
    QObject::connect(&timer, &QTimer::timeout, [this] {
      fired = true;
      QCoreApplication::quit();
    });
  }
  QTimer timer;
  bool fired = false;
};

// The runtime is up and the classes are registered, but start-up has not run yet.
class StartUp : public ::testing::Test {
 protected:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "concordance-tests";
    static char* argv[] = {name, nullptr};
    RuntimeInit(argc, argv, kRuntimeOptions);
    RegisterClasses();
  }
  void TearDown() override {
    ReleaseModuleObjects();
    ProcessEvents();
  }
};

TEST_F(StartUp, FailureIsReportedOnceAndTheEventLoopIsNotEntered) {
  FailNextFileTypeRegistrationForTesting();
  LoopWatch loopWatch(500);  // started once the message is answered

  ModalDriver driver;
  const ModalDriver::Step accept = driver.AcceptMessage();
  driver.Then([&](QWidget* modal) {
    accept(modal);
    loopWatch.timer.start();
  });
  driver.Run([] { _Main(); });

  ASSERT_EQ(driver.MessageTexts().size(), 1u);
  EXPECT_THAT(driver.MessageTexts()[0].toStdString(), StartsWith("An unexpected error occurred: "));
  EXPECT_THAT(driver.MessageTexts()[0].toStdString(), HasSubstr("text/plain"));
  EXPECT_FALSE(loopWatch.fired) << "The event loop was entered";
}

// The commands enabled after a pass. A pass starts from scratch: nothing left over from an
// earlier one counts.
std::vector<std::string> EnabledAfterAPass() {
  const std::vector<std::string> commands = {"FileOpen", "FileClose", "FileSaveAsCSV", "FileSaveAsText",
                                             "FileQuit", "AboutMenuItem", "EditUndo", "EditCut",
                                             "EditCopy", "EditPaste", "EditClear", "EditSelectAll"};
  for (const std::string& name : commands) Item(name).Enable();
  RunMenuEnablingPass();
  std::vector<std::string> enabled;
  for (const std::string& name : commands) {
    if (Item(name).Enabled()) enabled.push_back(name);
  }
  return enabled;
}

const std::vector<std::string> kApplicationCommands = {"FileOpen", "FileQuit", "AboutMenuItem"};

// With no window, a results window and an About window active in turn.
TEST_F(Shell, EnablingPassEnablesTheCommandsThatTheApplicationAndTheActiveWindowServe) {
  EXPECT_EQ(EnabledAfterAPass(), kApplicationCommands);
  Activate(RuntimeNewWindow<WordCountWindow>());
  EXPECT_THAT(EnabledAfterAPass(), ElementsAre("FileOpen", "FileClose", "FileSaveAsCSV", "FileSaveAsText", "FileQuit",
                                               "AboutMenuItem", "EditCopy"));
  Activate(RuntimeNewWindow<AboutWIndow>());
  EXPECT_THAT(EnabledAfterAPass(), ElementsAre("FileOpen", "FileClose", "FileQuit", "AboutMenuItem"));
}

// Ctrl+Q in the menu-bar window is pressed on the real desktop, in the desktop tests.
enum class QuitBy { CtrlQInResultsWindow, ClosingTheMenuBarWindow };

// The window that shows only the menu bar: the program's own, not one of its windows.
QMainWindow* MenuBarWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* window = qobject_cast<QMainWindow*>(widget);
    if (window != nullptr && window->isVisible() && RuntimeWindowFor(window) == nullptr) return window;
  }
  return nullptr;
}

// File > Quit itself runs the handler that Ctrl+Q runs.
const char* const kQuitNames[] = {"CtrlQInResultsWindow", "ClosingMenuBarWindow"};

class Quit : public StartedProgram, public ::testing::WithParamInterface<QuitBy> {};

TEST_P(Quit, EndsTheEventLoopWithoutAMessage) {
  WordCountWindow* results = nullptr;
  if (GetParam() == QuitBy::CtrlQInResultsWindow) results = &RuntimeNewWindow<WordCountWindow>();

  LoopWatch watchdog(5000);
  watchdog.timer.start();
  QTimer::singleShot(0, [&] {
    QMainWindow* menuBarWindow = MenuBarWindow();
    ASSERT_NE(menuBarWindow, nullptr) << "No menu-bar window at launch";
    if (GetParam() == QuitBy::ClosingTheMenuBarWindow) {
      EXPECT_TRUE(RuntimeOpenWindows().empty()) << "A window opened at launch";
    }
    switch (GetParam()) {
      case QuitBy::CtrlQInResultsWindow:
        Activate(*results);
        QTest::keyClick(results->NativeWindow(), Qt::Key_Q, Qt::ControlModifier);
        break;
      case QuitBy::ClosingTheMenuBarWindow:
        menuBarWindow->close();
        break;
    }
  });

  ModalDriver noMessages;
  noMessages.Run([] { _RuntimeRun(); });
  watchdog.timer.stop();
  EXPECT_FALSE(watchdog.fired) << "The event loop did not end";
  ReleaseModuleObjects();
  EXPECT_EQ(RuntimeExit(), 0);
}

INSTANTIATE_TEST_SUITE_P(Ways, Quit,
                         ::testing::Values(QuitBy::CtrlQInResultsWindow, QuitBy::ClosingTheMenuBarWindow),
                         [](const auto& info) { return std::string(kQuitNames[static_cast<int>(info.param)]); });

// The menu strip, active in front of a results window, serves only the application's commands.
TEST_F(Shell, MenuStripActiveInFrontOfAResultsWindowLeavesItsCommandsDisabled) {
  Activate(RuntimeNewWindow<WordCountWindow>());
  std::vector<std::string> enabled;
  bool copied = true;
  LoopWatch watchdog(5000);
  watchdog.timer.start();
  QTimer::singleShot(0, [&] {
    if (QMainWindow* strip = MenuBarWindow()) ActivateNative(strip);
    else ADD_FAILURE() << "No menu strip";
    enabled = EnabledAfterAPass();
    copied = ChooseMenuItem(Item("EditCopy"));
    QCoreApplication::quit();
  });
  _RuntimeRun();
  EXPECT_FALSE(watchdog.fired) << "The event loop did not end";
  EXPECT_EQ(enabled, kApplicationCommands);
  EXPECT_FALSE(copied);
}

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
  TempFolder folder;
  for (const char* name : {"notes.txt", "NOTES2.TXT", "Program.Cpp", "read.me.text", "picture.png", "notes.txt.bak"}) {
    folder.Write(name, "a");
  }

  std::vector<std::string> listed;
  ModalDriver()
      .Then([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        listed = ListedNames(*dialog, folder.Path());
        static_cast<QDialog*>(dialog)->reject();
      })
      .Run([] { EXPECT_EQ(GetOpenFolderItem(TextFiles::All()), nullptr); });

  EXPECT_THAT(listed, UnorderedElementsAre("notes.txt", "NOTES2.TXT", "Program.Cpp", "read.me.text"));
}

}  // namespace
