#pragma once
// Start-up and shut-down of the process.

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
