#include "app/startup.h"
#include "framework/runtime.h"

int main(int argc, char** argv) {
  RuntimeInit(argc, argv, kRuntimeOptions);
  RegisterClasses();
  _Main();
  ReleaseModuleObjects();
  return RuntimeExit();
}
