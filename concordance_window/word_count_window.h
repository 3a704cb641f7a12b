#pragma once
// The results window: the totals line Status, the two-column list theWords (count,
// word) and the version label. It holds no references to its controls: each use finds
// the control by name.

#include <cstdint>
#include <string_view>

#include "framework/controls.h"
#include "framework/menu_item.h"
#include "framework/window.h"

class WordCountWindow : public Window {
 public:
  // Registers the class with the runtime: its name, its methods in their order, the window
  // events it binds and the controls it holds.
  static void RegisterClass();

  // Construction.
  virtual void Layout();
  virtual void CreateControls();
  virtual void _CreateControls0();

  // Row ordering: the list asks this for every pair of rows it sorts.
  virtual bool theWords_CompareRows(Listbox& me, int32_t row1, int32_t row2, int32_t column, int32_t& result);

  // The items of the window's menu bar, looked up afresh at every call.
  virtual MenuItem& EditMenu();
  virtual MenuItem& EditSelectAll();
  virtual MenuItem& EditClear();
  virtual MenuItem& EditPaste();
  virtual MenuItem& EditCopy();
  virtual MenuItem& EditCut();
  virtual MenuItem& EditUndo();
  virtual MenuItem& FileMenu();
  virtual AppleMenuItem& AboutMenuItem();
  virtual QuitMenuItem& FileQuit();
  virtual MenuItem& FileSaveAsText();
  virtual MenuItem& FileSaveAsCSV();
  virtual MenuItem& UntitledSeparator();
  virtual MenuItem& FileClose();
  virtual MenuItem& FileOpen();

  // Menu commands.
  virtual void AddMenuHandlers(Window& w);
  virtual void Event_EnableMenuItems();
  virtual bool _FileClose_Action();
  virtual bool _EditCopy_Action();
  virtual bool _FileSaveAsCSV_Action();
  virtual bool _FileSaveAsText_Action();

 private:
  template <typename ItemClass>
  ItemClass& MenuBarItem(std::string_view name);
  // Installs theWords_CompareRows on the list, with what it compares each column by.
  void InstallRowOrdering(Listbox& list);
  // Whether an export starts with the "Concordance for" line and a blank line.
  enum class ExportHeading { kNone, kTitleLine };
  // Writes every row as word, separator, count and a carriage return, after the heading.
  bool ExportRows(const String& defaultName, std::string_view separator, ExportHeading heading);
};
