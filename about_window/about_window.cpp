#include "about_window/about_window.h"

#include <string_view>

#include "about_window/property_lists.h"
#include "app/app.h"
#include "framework/checked_cast.h"
#include "framework/class_registry.h"
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

void AboutWIndow::RegisterClass() {
  using Self = AboutWIndow;
  ClassRegistration<Self>("AboutWIndow.AboutWIndow", "Window")
      .Publish("Layout", &Self::Layout)
      .Publish("CreateControls", &Self::CreateControls)
      .Publish("_CreateControls0", &Self::_CreateControls0, MethodScope::kPublicHidden)
      .Publish("StaticText3_MouseDown", &Self::StaticText3_MouseDown)
      .Publish("StaticText4_MouseDown", &Self::StaticText4_MouseDown)
      .Publish("AddMenuHandlers", &Self::AddMenuHandlers)
      .Publish("Event_EnableMenuItems", &Self::Event_EnableMenuItems)
      .Publish("_FileClose_Action", &Self::_FileClose_Action)
      .Bind("Layout", "Layout", &Self::Layout)
      .Bind("CreateControls", "CreateControls", &Self::CreateControls)
      .Bind("AddMenuHandlers", "AddMenuHandlers", &Self::AddMenuHandlers)
      .Bind("EnableMenuItems", "Event_EnableMenuItems", &Self::Event_EnableMenuItems)
      .Register();
}

void AboutWIndow::Layout() { _SetProperties(*this, AboutWindowPropertyList()); }

void AboutWIndow::CreateControls() { _CreateControls0(); }

void AboutWIndow::_CreateControls0() {
  for (const LabelDesign& label : kLabels) {
    _AddControl(label.name, std::make_unique<StaticText>());
    ControlNamed<StaticText>(*this, label.name).SetTextSize(label.textSize);
    ControlNamed<StaticText>(*this, label.name).SetTextUnit(FontUnits::kDefault);
    _SetProperties(ControlNamed<StaticText>(*this, label.name), label.propertyList());
  }
  _InstallInstanceEventHandler(ControlNamed<StaticText>(*this, "StaticText3"), "MouseDown",
                               RuntimeCreateDelegate(&AboutWIndow::StaticText3_MouseDown, *this));
  _InstallInstanceEventHandler(ControlNamed<StaticText>(*this, "StaticText4"), "MouseDown",
                               RuntimeCreateDelegate(&AboutWIndow::StaticText4_MouseDown, *this));
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
  _AddMenuHandler("FileClose", RuntimeCreateDelegate(&AboutWIndow::_FileClose_Action, window));
}

void AboutWIndow::Event_EnableMenuItems() { FileClose().Enable(); }

bool AboutWIndow::_FileClose_Action() {
  Close();
  return true;
}
