// The About window's property lists, decoded: the properties the user sees in the window
// and its four labels.
#include "about_window/property_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/property_list.h"

namespace {

struct ListCase {
  const char* name;
  std::string_view (*list)();
  std::vector<std::pair<std::string_view, PropertyValue>> shown;
};

void PrintTo(const ListCase& c, std::ostream* out) { *out << c.name; }

class AboutWindowList : public ::testing::TestWithParam<ListCase> {};

TEST_P(AboutWindowList, GivesThePropertiesTheUserSees) {
  const std::vector<PropertyEntry> entries = ReadPropertyList(GetParam().list());
  for (const auto& [name, value] : GetParam().shown) {
    const auto entry = std::find_if(entries.begin(), entries.end(), [&](auto& e) { return e.name == name; });
    ASSERT_NE(entry, entries.end()) << name;
    EXPECT_TRUE(entry->value == value) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, AboutWindowList,
    ::testing::Values(
        ListCase{"Window", AboutWindowPropertyList,
                 {{"Width", 327}, {"Height", 261}, {"Title", String("About Quorvel")}, {"Resizeable", false},
                  {"CloseButton", true}, {"MaximizeButton", false}, {"MinimizeButton", true}}},
        ListCase{"StaticText1", AboutStaticText1PropertyList,
                 {{"Left", 20}, {"Top", 14}, {"Width", 287}, {"Height", 20}, {"TextAlign", 1}, {"Multiline", false},
                  {"Text", String("Varnholt Concordance v1.0")}}},
        ListCase{"StaticText2", AboutStaticText2PropertyList,
                 {{"Left", 20}, {"Top", 57}, {"Width", 287}, {"Height", 142}, {"TextAlign", 1}, {"Multiline", true}}},
        ListCase{"StaticText3", AboutStaticText3PropertyList,
                 {{"Left", 20}, {"Top", 198}, {"Width", 287}, {"Height", 20}, {"TextAlign", 1}, {"Multiline", false},
                  {"Text", String::FromUtf8("\xC2\xA9 2026 Varnholt Software")}}},
        ListCase{"StaticText4", AboutStaticText4PropertyList,
                 {{"Left", 20}, {"Top", 221}, {"Width", 287}, {"Height", 20}, {"TextAlign", 1}, {"Multiline", false},
                  {"Text", String("For more on Varnholt Software")}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
