#pragma once
// The About window: product name and version, a description, and two lines that open
// the maker's web pages when clicked.

#include <cstdint>

#include "framework/controls.h"
#include "framework/window.h"

class AboutWIndow : public Window {
 public:
  static constexpr const char* kHomePage = "https://varnholt.example/";
  static constexpr const char* kSoftwarePage = "https://varnholt.example/software/";

  // Registers the class with the runtime: its name, its methods in their order and the
  // window events it binds.
  static void RegisterClass();

  virtual void Layout();
  virtual void CreateControls();
  virtual void _CreateControls0();
  virtual bool StaticText3_MouseDown(StaticText& me, int32_t x, int32_t y);
  virtual bool StaticText4_MouseDown(StaticText& me, int32_t x, int32_t y);
  virtual void AddMenuHandlers(Window& w);
  virtual void Event_EnableMenuItems();
  virtual bool _FileClose_Action();
};
