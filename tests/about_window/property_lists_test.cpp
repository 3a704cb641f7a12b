#include "about_window/property_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "tests/framework/property_list_test_support.h"

namespace {

constexpr int32_t kNoIndex = std::numeric_limits<int32_t>::min();

const std::string kDescription =
    "Open a text file and Varnholt Concordance will give you the word count, the line count and the unique "
    "word count along with a list of words and how many time each was used.\r\rYou can export this info in "
    "CSV (comma separated values) format or as a simple text file.";
const std::string kCopyright = "\xC2\xA9 2026 Varnholt Software";

std::vector<NamedValue> WindowEntries() {
  return {
      {"Placement", 0},         {"Width", 327},          {"Height", 261},          {"MinWidth", 64},
      {"MinHeight", 64},        {"MaxWidth", 32000},     {"MaxHeight", 32000},     {"Frame", 0},
      {"Composite", false},     {"HasBackColor", false}, {"BackColor", Color{0xFF, 0xFF, 0xFF}},
      {"Title", StringValue("About Quorvel")},                   {"Visible", true},        {"FullScreen", false},
      {"MenuBarVisible", true}, {"CloseButton", true},   {"Resizeable", false},    {"LiveResize", false},
      {"MaximizeButton", false}, {"MinimizeButton", true}, {"MacProcID", 0},
  };
}

// The four labels side by side, StaticText1 to StaticText4.
struct LabelRow {
  std::string_view name;
  std::array<PropertyValue, 4> values;
};

std::vector<LabelRow> LabelRows() {
  const Color black{0, 0, 0};
  const PropertyValue empty = StringValue("");
  return {
      {"Name", {StringValue("StaticText1"), StringValue("StaticText2"), StringValue("StaticText3"), StringValue("StaticText4")}},
      {"Index", {kNoIndex, kNoIndex, kNoIndex, kNoIndex}},
      {"Left", {20, 20, 20, 20}},
      {"Top", {14, 57, 198, 221}},
      {"Width", {287, 287, 287, 287}},
      {"Height", {20, 142, 20, 20}},
      {"LockLeft", {true, true, true, true}},
      {"LockTop", {true, true, true, true}},
      {"LockRight", {false, false, false, false}},
      {"LockBottom", {false, false, false, false}},
      {"TabPanelIndex", {0, 0, 0, 0}},
      {"TabIndex", {0, 1, 2, 3}},
      {"Text",
       {StringValue("Varnholt Concordance v1.0"), StringValue(kDescription), StringValue(kCopyright), StringValue("For more on Varnholt Software")}},
      {"TextAlign", {1, 1, 1, 1}},
      {"TextColor", {black, black, black, black}},
      {"Multiline", {false, true, false, false}},
      {"Enabled", {true, true, true, true}},
      {"Visible", {true, true, true, true}},
      {"HelpTag", {empty, empty, empty, empty}},
      {"AutoDeactivate", {true, true, true, true}},
      {"TextFont", {StringValue("System"), StringValue("System"), StringValue("System"), StringValue("System")}},
      {"Bold", {false, false, false, false}},
      {"Italic", {false, false, false, false}},
      {"Underline", {false, false, false, false}},
      {"DataSource", {empty, empty, empty, empty}},
      {"DataField", {empty, empty, empty, empty}},
      {"InitialParent", {empty, empty, empty, empty}},
  };
}

template <size_t Label>
std::vector<NamedValue> LabelEntries() {
  std::vector<NamedValue> entries;
  for (const LabelRow& row : LabelRows()) entries.push_back({row.name, row.values[Label]});
  return entries;
}

struct ListCase {
  const char* label;
  std::string_view (*list)();
  size_t length;
  std::vector<NamedValue> (*entries)();
};

void PrintTo(const ListCase& list_case, std::ostream* out) { *out << list_case.label; }

class AboutWindowList : public ::testing::TestWithParam<ListCase> {};

TEST_P(AboutWindowList, HasItsLength) { EXPECT_EQ(GetParam().list().size(), GetParam().length); }

TEST_P(AboutWindowList, HoldsEveryValueInOrder) { ExpectEntries(GetParam().list(), GetParam().entries()); }

TEST_P(AboutWindowList, IsExactlyWhatAPlainWriterProduces) {
  EXPECT_EQ(GetParam().list(), WritePropertyList(GetParam().entries()));
}

TEST_P(AboutWindowList, ReadsBackThroughWriterUnchanged) {
  EXPECT_EQ(WritePropertyList(ReadPropertyList(GetParam().list())), GetParam().list());
}

TEST_P(AboutWindowList, MutationsAreReadOrRejectedCleanly) {
  FuzzFromSeeds({std::string(GetParam().list())}, 11, 3000);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, AboutWindowList,
    ::testing::Values(ListCase{"Window", AboutWindowPropertyList, 280, WindowEntries},
                      ListCase{"StaticText1", AboutStaticText1PropertyList, 350, LabelEntries<0>},
                      ListCase{"StaticText2", AboutStaticText2PropertyList, 588, LabelEntries<1>},
                      ListCase{"StaticText3", AboutStaticText3PropertyList, 325 + kCopyright.size(), LabelEntries<2>},
                      ListCase{"StaticText4", AboutStaticText4PropertyList, 354, LabelEntries<3>}),
    [](const auto& info) { return std::string(info.param.label); });

std::string TextOf(std::string_view list) {
  for (const PropertyEntry& entry : ReadPropertyList(list)) {
    if (entry.name == "Text") return std::get<String>(entry.value).ToUtf8();
  }
  return {};
}

TEST(AboutWindowLists, DescriptionIsTwoParagraphsSplitByTwoCarriageReturns) {
  const std::string text = TextOf(AboutStaticText2PropertyList());
  EXPECT_EQ(text.size(), 263u);
  EXPECT_EQ(text, kDescription);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 2);
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_TRUE(text.ends_with("text file."));
  // The count field uses more than its lowest byte: 263 is 00 00 01 07.
  EXPECT_NE(AboutStaticText2PropertyList().find(std::string_view("Text \x00\x00\x01\x07Open", 13)),
            std::string_view::npos);
}

TEST(AboutWindowLists, CopyrightLineStartsWithTwoByteSign) {
  const std::string text = TextOf(AboutStaticText3PropertyList());
  EXPECT_TRUE(text.starts_with("\xC2\xA9"));
  EXPECT_EQ(AboutStaticText3PropertyList().size(), 325 + text.size());
}

TEST(AboutWindowLists, VersionDiffersFromResultsWindowLabel) {
  EXPECT_NE(TextOf(AboutStaticText1PropertyList()).find("v1.0"), std::string::npos);
}

}  // namespace
