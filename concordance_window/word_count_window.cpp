#include "concordance_window/word_count_window.h"

#include "app/concordance_menu_bar.h"
#include "concordance_window/property_lists.h"

void WordCountWindow::Layout() {
  SetMenuBar(&ConcordanceMenuBar());
  _SetProperties(*this, WordCountWindowPropertyList());
}

void WordCountWindow::CreateControls() { _CreateControls0(); }

void WordCountWindow::_CreateControls0() {
  _AddControl("theWords", std::make_unique<Listbox>());
  ControlNamed<Listbox>(*this, "theWords").SetTextUnit(0);
  _SetProperties(ControlNamed<Listbox>(*this, "theWords"), TheWordsPropertyList());
  InstallRowOrdering(ControlNamed<Listbox>(*this, "theWords"));

  _AddControl("Status", std::make_unique<StaticText>());
  ControlNamed<StaticText>(*this, "Status").SetTextUnit(0);
  _SetProperties(ControlNamed<StaticText>(*this, "Status"), StatusPropertyList());

  _AddControl("StaticText1", std::make_unique<StaticText>());
  ControlNamed<StaticText>(*this, "StaticText1").SetTextSize(9.0f);
  ControlNamed<StaticText>(*this, "StaticText1").SetTextUnit(0);
  _SetProperties(ControlNamed<StaticText>(*this, "StaticText1"), VersionLabelPropertyList());
}
