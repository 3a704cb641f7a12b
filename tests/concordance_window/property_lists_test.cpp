// The results window's property lists, decoded: the properties the user sees in the
// window and its controls (size, title, places, anchoring, columns, texts).
#include "concordance_window/property_lists.h"

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

class ResultsWindowList : public ::testing::TestWithParam<ListCase> {};

TEST_P(ResultsWindowList, GivesThePropertiesTheUserSees) {
  const std::vector<PropertyEntry> entries = ReadPropertyList(GetParam().list());
  for (const auto& [name, value] : GetParam().shown) {
    const auto entry = std::find_if(entries.begin(), entries.end(), [&](auto& e) { return e.name == name; });
    ASSERT_NE(entry, entries.end()) << name;
    EXPECT_TRUE(entry->value == value) << name;
  }
}

const String kNone("");

INSTANTIATE_TEST_SUITE_P(
    Lists, ResultsWindowList,
    ::testing::Values(
        ListCase{"Window", WordCountWindowPropertyList,
                 {{"Width", 600}, {"Height", 400}, {"MinWidth", 64}, {"MinHeight", 64}, {"Title", String("Untitled")},
                  {"Visible", true}, {"Resizeable", true}, {"CloseButton", true}, {"MaximizeButton", false},
                  {"MinimizeButton", true}}},
        ListCase{"TheWords", TheWordsPropertyList,
                 {{"Left", 20}, {"Top", 49}, {"Width", 560}, {"Height", 331}, {"LockLeft", true}, {"LockTop", true},
                  {"LockRight", true}, {"LockBottom", true}, {"ColumnCount", 2}, {"ColumnWidths", String("20%,80%")},
                  {"HasHeading", true}, {"InitialValue", String("Count\tWord")}, {"ScrollbarHorizontal", false},
                  {"ScrollBarVertical", true}, {"TextFont", String("System")}}},
        ListCase{"Status", StatusPropertyList,
                 {{"Left", 20}, {"Top", 17}, {"Width", 560}, {"Height", 20}, {"LockLeft", true}, {"LockTop", true},
                  {"LockRight", true}, {"LockBottom", false}, {"Text", kNone}, {"TextAlign", 1}}},
        ListCase{"VersionLabel", VersionLabelPropertyList,
                 {{"Left", 4}, {"Top", 384}, {"Width", 18}, {"Height", 20}, {"LockLeft", true}, {"LockTop", false},
                  {"LockRight", false}, {"LockBottom", true}, {"Text", String("v1")}, {"TextAlign", 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
