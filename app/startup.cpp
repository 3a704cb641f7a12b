#include "app/startup.h"

#include <exception>
#include <memory>

#include "about_window/about_window.h"
#include "app/app.h"
#include "app/concordance_menu_bar.h"
#include "app/text_files.h"
#include "concordance_window/word_count_window.h"
#include "framework/application.h"
#include "framework/class_registry.h"
#include "framework/runtime.h"
#include "framework/unhandled_exception.h"

void RegisterClasses() {
  RuntimeClassFor<WordCountWindow>();
  RuntimeClassFor<class App>();
  RuntimeClassFor<class ConcordanceMenuBar>();
  RuntimeClassFor<AboutWIndow>();
}

void _Main() {
  try {
    _RunFrameworkInitialization(&_Startup);
    _RuntimeRun();
  } catch (...) {
    _UnhandledException(std::current_exception());
  }
}

void _Startup() {
  _RuntimeInitExternalClasses();
  _InitPluginEntrypoints({});  // the program has no plug-ins
  _InitFileTypes();
  _NewAppInstance();
  _ApplicationAddMenuHandlers();
}

void _InitFileTypes() { TextFiles::_Initialize(); }

void _NewAppInstance() {
  auto application = RuntimeNewObject<class App>();
  application->SetMenuBar(&ConcordanceMenuBar());
  _RuntimeRegisterAppObject(std::move(application));
}

void _ApplicationAddMenuHandlers() {
  App()._AddMenuHandler("FileOpen", RuntimeCreateDelegate(&App::_FileOpen_Action, App()));
  App()._AddMenuHandler("AboutMenuItem", RuntimeCreateDelegate(&App::_AboutMenuItem_Action, App()));
}

void ReleaseModuleObjects() {
  RuntimeReleaseGlobals();
  _implicitInstance.reset();
  TextFiles::pText.reset();
}
