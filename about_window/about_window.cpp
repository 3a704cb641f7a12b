#include "about_window/about_window.h"

#include <functional>
#include <string_view>

#include "about_window/property_lists.h"
#include "app/concordance_menu_bar.h"
#include "framework/checked_cast.h"
#include "framework/show_url.h"

namespace {

struct LabelDesign {
  const char* name;
  float textSize;
  std::string_view (*propertyList)();
};

constexpr LabelDesign kLabels[] = {
    {"StaticText1", 16.0f, &AboutStaticText1PropertyList},
    {"StaticText2", 12.0f, &AboutStaticText2PropertyList},
    {"StaticText3", 12.0f, &AboutStaticText3PropertyList},
    {"StaticText4", 12.0f, &AboutStaticText4PropertyList},
};

}  // namespace

void AboutWIndow::Layout() { _SetProperties(*this, AboutWindowPropertyList()); }

void AboutWIndow::CreateControls() { _CreateControls0(); }

void AboutWIndow::_CreateControls0() {
  for (const LabelDesign& label : kLabels) {
    _AddControl(label.name, std::make_unique<StaticText>());
    ControlNamed<StaticText>(*this, label.name).SetTextSize(label.textSize);
    ControlNamed<StaticText>(*this, label.name).SetTextUnit(0);
    _SetProperties(ControlNamed<StaticText>(*this, label.name), label.propertyList());
  }
  ControlNamed<StaticText>(*this, "StaticText3")
      .InstallMouseDownHandler(std::bind_front(&AboutWIndow::StaticText3_MouseDown, this));
  ControlNamed<StaticText>(*this, "StaticText4")
      .InstallMouseDownHandler(std::bind_front(&AboutWIndow::StaticText4_MouseDown, this));
}

bool AboutWIndow::StaticText3_MouseDown(StaticText&, int32_t, int32_t) {
  ShowURL(kHomePage);
  return false;
}

bool AboutWIndow::StaticText4_MouseDown(StaticText&, int32_t, int32_t) {
  ShowURL(kSoftwarePage);
  return false;
}

void AboutWIndow::AddMenuHandlers(Window& w) {
  auto& window = RuntimeCheckCast<AboutWIndow>(w);
  _AddMenuHandler("FileClose", std::bind_front(&AboutWIndow::_FileClose_Action, &window));
}

void AboutWIndow::Event_EnableMenuItems() { MenuItemNamed<MenuItem>(&ConcordanceMenuBar(), "FileClose").Enable(); }

bool AboutWIndow::_FileClose_Action() {
  Close();
  return true;
}
