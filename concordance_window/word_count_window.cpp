#include "concordance_window/word_count_window.h"

#include "app/concordance_menu_bar.h"
#include "concordance_window/property_lists.h"
#include "framework/class_registry.h"

void WordCountWindow::RegisterClass() {
  using Self = WordCountWindow;
  ClassRegistration<Self>("WordCountWindow.WordCountWindow", "Window")
      .Publish("Layout", &Self::Layout)
      .Publish("CreateControls", &Self::CreateControls)
      .Publish("_CreateControls0", &Self::_CreateControls0, MethodScope::kPublicHidden)
      .Publish("theWords_CompareRows", &Self::theWords_CompareRows)
      .Publish("EditMenu", &Self::EditMenu)
      .Publish("EditSelectAll", &Self::EditSelectAll)
      .Publish("EditClear", &Self::EditClear)
      .Publish("EditPaste", &Self::EditPaste)
      .Publish("EditCopy", &Self::EditCopy)
      .Publish("EditCut", &Self::EditCut)
      .Publish("EditUndo", &Self::EditUndo)
      .Publish("FileMenu", &Self::FileMenu)
      .Publish("AboutMenuItem", &Self::AboutMenuItem)
      .Publish("FileQuit", &Self::FileQuit)
      .Publish("FileSaveAsText", &Self::FileSaveAsText)
      .Publish("FileSaveAsCSV", &Self::FileSaveAsCSV)
      .Publish("UntitledSeparator", &Self::UntitledSeparator)
      .Publish("FileClose", &Self::FileClose)
      .Publish("FileOpen", &Self::FileOpen)
      .Publish("AddMenuHandlers", &Self::AddMenuHandlers)
      .Publish("Event_EnableMenuItems", &Self::Event_EnableMenuItems)
      .Publish("_FileClose_Action", &Self::_FileClose_Action)
      .Publish("_EditCopy_Action", &Self::_EditCopy_Action)
      .Publish("_FileSaveAsCSV_Action", &Self::_FileSaveAsCSV_Action)
      .Publish("_FileSaveAsText_Action", &Self::_FileSaveAsText_Action)
      .Bind("Layout", "Layout", &Self::Layout)
      .Bind("CreateControls", "CreateControls", &Self::CreateControls)
      .Bind("AddMenuHandlers", "AddMenuHandlers", &Self::AddMenuHandlers)
      .Bind("EnableMenuItems", "Event_EnableMenuItems", &Self::Event_EnableMenuItems)
      .DeclareControl("theWords", "Listbox")
      .DeclareControl("Status", "StaticText")
      .DeclareControl("StaticText1", "StaticText")
      .Register();
}

void WordCountWindow::Layout() {
  SetMenuBar(&ConcordanceMenuBar());
  _SetProperties(*this, WordCountWindowPropertyList());
}

void WordCountWindow::CreateControls() { _CreateControls0(); }

void WordCountWindow::_CreateControls0() {
  _AddControl("theWords", std::make_unique<Listbox>());
  ControlNamed<Listbox>(*this, "theWords").SetTextUnit(FontUnits::kDefault);
  _SetProperties(ControlNamed<Listbox>(*this, "theWords"), TheWordsPropertyList());
  InstallRowOrdering(ControlNamed<Listbox>(*this, "theWords"));

  _AddControl("Status", std::make_unique<StaticText>());
  ControlNamed<StaticText>(*this, "Status").SetTextUnit(FontUnits::kDefault);
  _SetProperties(ControlNamed<StaticText>(*this, "Status"), StatusPropertyList());

  _AddControl("StaticText1", std::make_unique<StaticText>());
  ControlNamed<StaticText>(*this, "StaticText1").SetTextSize(9.0f);
  ControlNamed<StaticText>(*this, "StaticText1").SetTextUnit(FontUnits::kDefault);
  _SetProperties(ControlNamed<StaticText>(*this, "StaticText1"), VersionLabelPropertyList());
}
