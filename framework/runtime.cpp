#include "framework/runtime.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QString>

#include <memory>

#include "framework/application.h"
#include "framework/dispatch.h"
#include "framework/menu_item.h"
#include "framework/window.h"

namespace {

// The application's own window: only the menu bar. Closing it quits.
class MenuStrip : public QMainWindow {
 protected:
  void closeEvent(QCloseEvent* event) override {
    QMainWindow::closeEvent(event);
    RuntimeQuit();
  }
};

struct Runtime {
  int32_t menuStripWidth = 0;
  std::unique_ptr<QMainWindow> menuStrip;
  int exitStatus = 0;
};

Runtime& TheRuntime() {
  static Runtime runtime;
  return runtime;
}

}  // namespace

void RuntimeInit(int& argc, char** argv, const RuntimeOptions& options) {
  StartEventPump(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(options.applicationName.data(),
                                                     static_cast<qsizetype>(options.applicationName.size())));
  TheRuntime().menuStripWidth = options.menuStripWidth;
  InstallShortcutEnablingFilter();
}

int RuntimeExit() {
  StopEventPump();
  return TheRuntime().exitStatus;
}

void _RunFrameworkInitialization(void (*startup)()) { startup(); }

void _RuntimeRun() {
  Runtime& runtime = TheRuntime();
  Application* application = _GetAppObject();
  if (application != nullptr && application->GetMenuBarView() != nullptr) {
    runtime.menuStrip = std::make_unique<MenuStrip>();
    QMainWindow& window = *runtime.menuStrip;
    window.setWindowTitle(QApplication::applicationName());
    window.menuBar()->setNativeMenuBar(false);
    application->GetMenuBarView()->ShowIn(window);
    application->GetMenuBarView()->AddShortcutsTo(window);
    window.setFixedSize(runtime.menuStripWidth, window.menuBar()->sizeHint().height());
    window.show();
  }
  runtime.exitStatus = RunEventLoop();
}

void RuntimeReleaseGlobals() {
  for (Window* window : RuntimeOpenWindows()) window->Close();
  ReleaseClosedWindows();
  TheRuntime().menuStrip.reset();
  RuntimeReleaseAppObject();
}
