// The application shell as a user meets it: start-up failure, the menu-enabling pass, Quit,
// errors inside commands and the open dialog's filter.

#include <gmock/gmock.h>

#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <stdexcept>

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

// Once started, ends the event loop and notes that it had to: a loop that should have ended
// (or never begun) fails the test instead of hanging it.
struct LoopWatch {
  LoopWatch() {
    timer.setSingleShot(true);
    timer.callOnTimeout([this] { fired = true; QCoreApplication::quit(); });
  }
  QTimer timer;
  bool fired = false;
};

class StartUp : public StartedProgram {
 protected:
  void SetUp() override { StartRuntime(); }
};

TEST_F(StartUp, FailureIsReportedOnceAndTheEventLoopIsNotEntered) {
  FailNextFileTypeRegistrationForTesting();
  LoopWatch loopWatch;  // started once the message is answered

  ModalDriver driver;
  const ModalDriver::Step accept = driver.AcceptMessage();
  driver.Then([&](QWidget* modal) {
    accept(modal);
    loopWatch.timer.start(500);
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

// The window that shows only the menu bar: the program's own, not one of its windows.
QMainWindow* MenuBarWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* window = qobject_cast<QMainWindow*>(widget);
    if (window != nullptr && window->isVisible() && RuntimeWindowFor(window) == nullptr) return window;
  }
  return nullptr;
}

// Runs the event loop with `inside` as its first event, for at most five seconds, and no
// message: whether the loop ended. Ctrl+Q in the menu-bar window is pressed in the desktop tests.
bool LoopEndedAfter(const std::function<void(QMainWindow* menuBarWindow)>& inside) {
  LoopWatch watchdog;
  watchdog.timer.start(5000);
  QTimer::singleShot(0, [&] {
    QMainWindow* menuBarWindow = MenuBarWindow();
    ASSERT_NE(menuBarWindow, nullptr) << "No menu-bar window at launch";
    inside(menuBarWindow);
  });
  ModalDriver().Run([] { _RuntimeRun(); });
  return !watchdog.fired;
}

TEST_F(Shell, CtrlQInAResultsWindowQuits) {
  WordCountWindow& results = RuntimeNewWindow<WordCountWindow>();
  EXPECT_TRUE(LoopEndedAfter([&](QMainWindow*) {
    Activate(results);
    QTest::keyClick(results.NativeWindow(), Qt::Key_Q, Qt::ControlModifier);
  }));
  ReleaseModuleObjects();
  EXPECT_EQ(RuntimeExit(), 0);
}

TEST_F(Shell, ClosingTheMenuBarWindowQuits) {
  EXPECT_TRUE(LoopEndedAfter([](QMainWindow* menuBarWindow) {
    EXPECT_TRUE(RuntimeOpenWindows().empty()) << "A window opened at launch";
    menuBarWindow->close();
  }));
  ReleaseModuleObjects();
  EXPECT_EQ(RuntimeExit(), 0);
}

// The menu strip, active in front of a results window, serves only the application's commands.
TEST_F(Shell, MenuStripActiveInFrontOfAResultsWindowLeavesItsCommandsDisabled) {
  Activate(RuntimeNewWindow<WordCountWindow>());
  std::vector<std::string> enabled;
  bool copied = true;
  EXPECT_TRUE(LoopEndedAfter([&](QMainWindow* strip) {
    ActivateNative(strip);
    enabled = EnabledAfterAPass();
    copied = ChooseMenuItem(Item("EditCopy"));
    QCoreApplication::quit();
  }));
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

TEST_F(Shell, OpenDialogListsTextFilesWhateverTheCaseOfTheirExtension) {
  TempFolder folder;
  for (const char* name : {"notes.txt", "NOTES2.TXT", "Program.Cpp", "read.me.text", "picture.png", "notes.txt.bak"}) {
    folder.Write(name, "a");
  }

  std::vector<std::string> listed;
  ModalDriver()
      .Then([&](QWidget* modal) {
        auto* model = modal->findChild<QFileSystemModel*>();
        auto* view = modal->findChild<QListView*>("listView");
        ASSERT_TRUE(model != nullptr && view != nullptr) << "The open dialog has no file list";
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        qobject_cast<QFileDialog*>(modal)->setDirectory(QString::fromStdString(folder.Path().string()));
        loaded.wait(3000);
        ProcessEvents(100);
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
          listed.push_back(view->model()->index(row, 0, view->rootIndex()).data().toString().toStdString());
        }
        qobject_cast<QDialog*>(modal)->reject();
      })
      .Run([] { EXPECT_EQ(GetOpenFolderItem(TextFiles::All()), nullptr); });

  EXPECT_THAT(listed, UnorderedElementsAre("notes.txt", "NOTES2.TXT", "Program.Cpp", "read.me.text"));
}

}  // namespace
