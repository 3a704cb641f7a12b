#include "framework/runtime.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QString>

#include <memory>
#include <vector>

#include "framework/application.h"
#include "framework/class_registry.h"
#include "framework/clipboard.h"
#include "framework/controls.h"
#include "framework/dictionary.h"
#include "framework/dispatch.h"
#include "framework/file_type.h"
#include "framework/folder_item.h"
#include "framework/menu_item.h"
#include "framework/text_input_stream.h"
#include "framework/text_output_stream.h"
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
  std::vector<PluginEntrypoint> pluginEntrypoints;
  std::unique_ptr<QMainWindow> menuStrip;
  int exitStatus = 0;
};

Runtime& TheRuntime() {
  static Runtime runtime;
  return runtime;
}

template <typename Class>
void RegisterFrameworkClass(std::string_view name, std::string_view base, std::vector<std::string> events = {}) {
  ClassRegistration<Class>(name, base).DeclareEvents(std::move(events)).Register();
}

// A class of the framework's that no C++ type of this layer stands for.
void RegisterAbstractFrameworkClass(std::string_view name, std::string_view base) {
  RuntimeRegisterClass({.name = std::string(name), .baseName = std::string(base)});
}

// The framework's own classes, before any of the program's, once per process.
void RegisterFrameworkClasses() {
  if (RuntimeClassNamed("Object") != nullptr) return;
  RegisterFrameworkClass<Object>("Object", "");
  RegisterFrameworkClass<Application>("Application", "Object",
                                      {"Open", "Close", "EnableMenuItems", "NewDocument", "OpenDocument",
                                       "HandleAppleEvent", "Activate", "Deactivate", "UnhandledException",
                                       "CancelClose"});
  RegisterFrameworkClass<Window>("Window", "Object",
                                 {"Layout", "CreateControls", "AddMenuHandlers", "SetupBindings", "Open", "Close",
                                  "CancelClose", "Activate", "Deactivate", "Moved", "Resized", "MouseDown",
                                  "KeyDown", "Paint", "EnableMenuItems"});
  RegisterAbstractFrameworkClass("Control", "Object");
  RegisterFrameworkClass<RectControl>("RectControl", "Control");
  RegisterFrameworkClass<Listbox>("Listbox", "RectControl", {"CompareRows"});
  RegisterFrameworkClass<StaticText>("StaticText", "RectControl", {"MouseDown"});
  RegisterFrameworkClass<MenuItem>("MenuItem", "Object");
  RegisterFrameworkClass<MenuBar>("MenuBar", "MenuItem");
  RegisterFrameworkClass<QuitMenuItem>("QuitMenuItem", "MenuItem");
  RegisterFrameworkClass<AppleMenuItem>("AppleMenuItem", "MenuItem");
  RegisterFrameworkClass<FolderItem>("FolderItem", "Object");
  RegisterFrameworkClass<TextInputStream>("TextInputStream", "Object");
  RegisterFrameworkClass<TextOutputStream>("TextOutputStream", "Object");
  RegisterFrameworkClass<Dictionary>("Dictionary", "Object");
  RegisterFrameworkClass<Clipboard>("Clipboard", "Object");
  RegisterFrameworkClass<FileType>("FileType", "Object");
  RegisterFrameworkClass<RuntimeException>("RuntimeException", "Object");
  RegisterFrameworkClass<IOException>("IOException", "RuntimeException");
}

}  // namespace

void RuntimeInit(int& argc, char** argv, const RuntimeOptions& options) {
  StartEventPump(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(options.applicationName.data(),
                                                     static_cast<qsizetype>(options.applicationName.size())));
  TheRuntime().menuStripWidth = options.menuStripWidth;
  RegisterFrameworkClasses();
  InstallShortcutEnablingFilter();
}

int RuntimeExit() {
  StopEventPump();
  return TheRuntime().exitStatus;
}

void _RuntimeInitExternalClasses() {
  // External classes come only with plug-ins, whose entry points register them.
  for (const PluginEntrypoint& plugin : TheRuntime().pluginEntrypoints) plugin.entry();
}

void _InitPluginEntrypoints(std::span<const PluginEntrypoint> entries) {
  TheRuntime().pluginEntrypoints.assign(entries.begin(), entries.end());
}

std::span<const PluginEntrypoint> RuntimePluginEntrypoints() { return TheRuntime().pluginEntrypoints; }

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
