#include "framework/runtime.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCursor>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <chrono>

#include "framework/application.h"
#include "framework/dialogs.h"
#include "framework/menu_item.h"
#include "framework/native.h"
#include "framework/window.h"
#include "framework/yield.h"

namespace {

struct RuntimeState {
  std::unique_ptr<QApplication> ownToolkit;
  std::vector<std::string> classes;
  std::unique_ptr<Application> application;
  std::unique_ptr<QMainWindow> menuBarWindow;
  int exitStatus = 0;
  bool busyCursorShown = false;
  bool inputHeld = false;  // user input may wait in the toolkit's queues
};

RuntimeState& State() {
  static RuntimeState state;
  return state;
}

// The application's own window: only the menu bar. Closing it quits.
class MenuBarWindow : public QMainWindow {
 protected:
  void closeEvent(QCloseEvent* event) override {
    QMainWindow::closeEvent(event);
    RuntimeQuit();
  }
};

// Makes the event loop take one pass even when nothing new arrives: the pass delivers
// input that was held back, in the order it came.
void WakeEventLoop() {
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) dispatcher->wakeUp();
}

// Keeps windows painting during long commands without letting a second command start.
void ProcessPendingEvents() {
  if (DispatchScope::Depth() > 0 && !State().busyCursorShown) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    State().busyCursorShown = true;
  }
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  // Keys, clicks and close requests that came meanwhile stay queued inside the toolkit, and
  // nothing else would wake the event loop for them: no new event arrives to do it.
  if (DispatchScope::Depth() == 0) WakeEventLoop();
  else State().inputHeld = true;
}

int dispatchDepth = 0;
QPointer<QWidget> commandWindow;
// Work that came due while a handler ran; posted again when the outermost one ends.
std::vector<std::pair<QPointer<QObject>, std::function<void()>>> workAfterHandlers;

}  // namespace

DispatchScope::DispatchScope() {
  if (dispatchDepth++ == 0) commandWindow = QApplication::activeWindow();
}

DispatchScope::~DispatchScope() {
  if (--dispatchDepth == 0) {
    commandWindow = nullptr;
    if (State().busyCursorShown) {
      QApplication::restoreOverrideCursor();
      State().busyCursorShown = false;
    }
    if (State().inputHeld) {
      State().inputHeld = false;
      WakeEventLoop();
    }
    auto waiting = std::move(workAfterHandlers);
    workAfterHandlers.clear();
    for (auto& [context, work] : waiting) {
      if (context) RunFromEventLoop(context, std::move(work));
    }
  }
}

void DispatchScope::RunFromEventLoop(QObject* context, std::function<void()> work) {
  QTimer::singleShot(0, context, [context, work = std::move(work)]() mutable {
    if (dispatchDepth == 0) work();
    else workAfterHandlers.emplace_back(context, std::move(work));
  });
}

int DispatchScope::Depth() { return dispatchDepth; }

QWidget* DispatchScope::CommandWindow() { return dispatchDepth > 0 ? commandWindow.data() : nullptr; }

void RuntimeInit(int& argc, char** argv) {
  RuntimeState& state = State();
  if (QApplication::instance() == nullptr) state.ownToolkit = std::make_unique<QApplication>(argc, argv);
  QApplication::setApplicationName("Varnholt Concordance");
  QApplication::setQuitOnLastWindowClosed(false);
  for (const char* name : {"Object", "Application", "Window", "RectControl", "Listbox", "StaticText", "MenuItem",
                           "MenuBar", "QuitMenuItem", "AppleMenuItem", "FolderItem", "TextInputStream",
                           "TextOutputStream", "Dictionary", "Clipboard", "FileType", "RuntimeException",
                           "IOException"}) {
    RuntimeRegisterClass(name);
  }
  SetBackgroundTaskHandler(&ProcessPendingEvents);
  InstallShortcutEnablingFilter();
}

int RuntimeExit() {
  RuntimeState& state = State();
  SetBackgroundTaskHandler(nullptr);
  state.ownToolkit.reset();
  return state.exitStatus;
}

void RuntimeRegisterClass(std::string_view className) {
  auto& classes = State().classes;
  if (std::find(classes.begin(), classes.end(), className) == classes.end()) classes.emplace_back(className);
}

void _RunFrameworkInitialization(void (*startup)()) { startup(); }

void _RuntimeRun() {
  RuntimeState& state = State();
  if (state.application != nullptr && state.application->GetMenuBar() != nullptr) {
    state.menuBarWindow = std::make_unique<MenuBarWindow>();
    QMainWindow& window = *state.menuBarWindow;
    window.setWindowTitle(QApplication::applicationName());
    window.menuBar()->setNativeMenuBar(false);
    ShowMenuBarIn(window, *state.application->GetMenuBar());
    AddMenuShortcutsTo(window, *state.application->GetMenuBar());
    window.setFixedSize(480, window.menuBar()->sizeHint().height());
    window.show();
  }
  state.exitStatus = QApplication::exec();
}

void RuntimeQuit() { QCoreApplication::quit(); }

void _UnhandledException(std::exception_ptr exception) {
  std::string what = "unknown error";
  try {
    std::rethrow_exception(exception);
  } catch (const std::exception& error) {
    what = error.what();
  } catch (...) {
  }
  try {
    MsgBox(String("An unexpected error occurred: ") + String::FromUtf8(what), MessageKind::Error);
  } catch (...) {
    // The message itself failed; there is nothing left to tell the user with.
  }
}

void _RuntimeRegisterAppObject(std::unique_ptr<Application> application) {
  State().application = std::move(application);
}

Application* _GetAppObject() { return State().application.get(); }

void RuntimeReleaseGlobals() {
  RuntimeState& state = State();
  for (Window* window : RuntimeOpenWindows()) window->Close();
  ReleaseClosedWindows();
  state.menuBarWindow.reset();
  state.application.reset();
}
