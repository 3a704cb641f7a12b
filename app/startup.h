#pragma once
// Start-up and shut-down of the process.

#include "framework/runtime.h"

// What the program tells the framework about itself: its name, and the width of the window
// that shows only its menu bar.
inline constexpr RuntimeOptions kRuntimeOptions{"Varnholt Concordance", 480};

// Registers the program's classes after the framework's, in their fixed order.
void RegisterClasses();
// Start-up and the event loop, under the program's one last-resort handler.
void _Main();
void _Startup();
void _InitFileTypes();
void _NewAppInstance();
void _ApplicationAddMenuHandlers();
// Releases the module-level objects: the framework's, then the menu bar, then the file type.
void ReleaseModuleObjects();
