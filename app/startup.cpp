#include "app/startup.h"

#include <exception>
#include <functional>
#include <memory>

#include "app/app.h"
#include "app/concordance_menu_bar.h"
#include "app/text_files.h"
#include "framework/application.h"
#include "framework/runtime.h"
#include "framework/unhandled_exception.h"

void _Main() {
  try {
    _RunFrameworkInitialization(&_Startup);
    _RuntimeRun();
  } catch (...) {
    _UnhandledException(std::current_exception());
  }
}

void _Startup() {
  // The framework has no external classes or plug-ins to set up for this program.
  _InitFileTypes();
  _NewAppInstance();
  _ApplicationAddMenuHandlers();
}

void _InitFileTypes() { TextFiles::_Initialize(); }

void _NewAppInstance() {
  auto application = std::make_unique<class App>();
  application->SetMenuBar(&ConcordanceMenuBar());
  _RuntimeRegisterAppObject(std::move(application));
}

void _ApplicationAddMenuHandlers() {
  App()._AddMenuHandler("FileOpen", std::bind_front(&App::_FileOpen_Action, &App()));
  App()._AddMenuHandler("AboutMenuItem", std::bind_front(&App::_AboutMenuItem_Action, &App()));
}

void ReleaseModuleObjects() {
  RuntimeReleaseGlobals();
  _implicitInstance.reset();
  TextFiles::pText.reset();
}
