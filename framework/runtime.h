#pragma once
// The runtime, the top of the toolkit layer: process start and end, the start-up routine,
// and the application's own window, which shows only the menu bar.

#include <cstdint>
#include <span>
#include <string_view>

// What the program tells the framework about itself.
struct RuntimeOptions {
  std::string_view applicationName;  // the title of the menu strip and of every message
  int32_t menuStripWidth;            // the width of the window that shows only the menu bar
};

// First call of the process: starts the event pump, names the application and registers
// the framework's own classes.
void RuntimeInit(int& argc, char** argv, const RuntimeOptions& options);
// Last call of the process; its result is the exit status.
int RuntimeExit();

// A plug-in's entry point in the framework's table.
struct PluginEntrypoint {
  std::string_view name;
  void (*entry)();
};

// Sets up the classes that come from outside the program and the framework (a plug-in's);
// a program that links none has nothing to set up.
void _RuntimeInitExternalClasses();
// Sets up the framework's table of plug-in entry points, replacing any earlier one.
void _InitPluginEntrypoints(std::span<const PluginEntrypoint> entries);
std::span<const PluginEntrypoint> RuntimePluginEntrypoints();

// Calls the start-up routine exactly once, before the event loop delivers any event.
void _RunFrameworkInitialization(void (*startup)());
// Shows the application's menu bar in a window of its own and runs the event loop; returns
// when the application quits.
void _RuntimeRun();

// Releases what the framework holds: open windows, the menu strip, the application object.
void RuntimeReleaseGlobals();
