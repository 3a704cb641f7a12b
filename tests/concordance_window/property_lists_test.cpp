#include "concordance_window/property_lists.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/framework/property_list_test_support.h"

namespace {

constexpr int32_t kNoIndex = std::numeric_limits<int32_t>::min();
const Color kWhite{0xFF, 0xFF, 0xFF};
const Color kBlack{0x00, 0x00, 0x00};

std::vector<NamedValue> WindowEntries() {
  return {
      {"Placement", 0},         {"Width", 600},          {"Height", 400},        {"MinWidth", 64},
      {"MinHeight", 64},        {"MaxWidth", 32000},     {"MaxHeight", 32000},   {"Frame", 0},
      {"Composite", false},     {"HasBackColor", false}, {"BackColor", kWhite},  {"Title", StringValue("Untitled")},
      {"Visible", true},        {"FullScreen", false},   {"MenuBarVisible", true}, {"CloseButton", true},
      {"Resizeable", true},     {"LiveResize", true},    {"MaximizeButton", false}, {"MinimizeButton", true},
      {"MacProcID", 0},
  };
}

std::vector<NamedValue> TheWordsEntries() {
  return {
      {"Name", StringValue("theWords")},
      {"Index", kNoIndex},
      {"Left", 20},
      {"Top", 49},
      {"Width", 560},
      {"Height", 331},
      {"LockLeft", true},
      {"LockTop", true},
      {"LockRight", true},
      {"LockBottom", true},
      {"TabPanelIndex", 0},
      {"TabIndex", 0},
      {"TabStop", true},
      {"Visible", true},
      {"HelpTag", StringValue("")},
      {"AutoDeactivate", true},
      {"Enabled", true},
      {"Border", true},
      {"ColumnCount", 2},
      {"ColumnWidths", StringValue("20%,80%")},
      {"HasHeading", true},
      {"UseFocusRing", true},
      {"InitialValue", StringValue("Count\tWord")},
      {"HeadingIndex", -1},
      {"ScrollbarHorizontal", false},
      {"ScrollBarVertical", true},
      {"GridLinesHorizontal", 0},
      {"GridLinesVertical", 0},
      {"DefaultRowHeight", -1},
      {"_ScrollWidth", -1},
      {"TextFont", StringValue("System")},
      {"Bold", false},
      {"Italic", false},
      {"Underline", false},
      {"Hierarchical", false},
      {"EnableDrag", false},
      {"EnableDragReorder", false},
      {"RequiresSelection", false},
      {"SelectionType", 0},
      {"ColumnsResizable", false},
      {"AutoHideScrollbars", true},
      {"DataSource", StringValue("")},
      {"DataField", StringValue("")},
      {"InitialParent", StringValue("")},
  };
}

// The two labels side by side, as one table, so that their shared order shows.
struct LabelRow {
  std::string_view name;
  PropertyValue status;
  PropertyValue version;
};

std::vector<LabelRow> LabelRows() {
  return {
      {"Name", StringValue("Status"), StringValue("StaticText1")},
      {"Index", kNoIndex, kNoIndex},
      {"Left", 20, 4},
      {"Top", 17, 384},
      {"Width", 560, 18},
      {"Height", 20, 20},
      {"LockLeft", true, true},
      {"LockTop", true, false},
      {"LockRight", true, false},
      {"LockBottom", false, true},
      {"TabPanelIndex", 0, 0},
      {"TabIndex", 1, 2},
      {"Text", StringValue(""), StringValue("v1")},
      {"TextAlign", 1, 0},
      {"TextColor", kBlack, kBlack},
      {"Multiline", false, false},
      {"Enabled", true, true},
      {"Visible", true, true},
      {"HelpTag", StringValue(""), StringValue("")},
      {"AutoDeactivate", true, true},
      {"TextFont", StringValue("System"), StringValue("System")},
      {"Bold", false, false},
      {"Italic", false, false},
      {"Underline", false, false},
      {"DataSource", StringValue(""), StringValue("")},
      {"DataField", StringValue(""), StringValue("")},
      {"InitialParent", StringValue(""), StringValue("")},
  };
}

std::vector<NamedValue> StatusEntries() {
  std::vector<NamedValue> entries;
  for (const LabelRow& row : LabelRows()) entries.push_back({row.name, row.status});
  return entries;
}

std::vector<NamedValue> VersionLabelEntries() {
  std::vector<NamedValue> entries;
  for (const LabelRow& row : LabelRows()) entries.push_back({row.name, row.version});
  return entries;
}

struct ListCase {
  const char* label;
  std::string_view (*list)();
  size_t length;
  std::vector<NamedValue> (*entries)();
};

void PrintTo(const ListCase& list_case, std::ostream* out) { *out << list_case.label; }

class ConcordanceWindowList : public ::testing::TestWithParam<ListCase> {};

TEST_P(ConcordanceWindowList, HasItsLength) { EXPECT_EQ(GetParam().list().size(), GetParam().length); }

TEST_P(ConcordanceWindowList, HoldsEveryValueInOrder) {
  ExpectEntries(GetParam().list(), GetParam().entries());
}

// Byte for byte, so names must also keep their exact case ("MacProcID",
// "ScrollbarHorizontal", "Multiline"), which reading alone would forgive.
TEST_P(ConcordanceWindowList, IsExactlyWhatAPlainWriterProduces) {
  EXPECT_EQ(GetParam().list(), WritePropertyList(GetParam().entries()));
}

TEST_P(ConcordanceWindowList, ReadsBackThroughWriterUnchanged) {
  const std::vector<PropertyEntry> entries = ReadPropertyList(GetParam().list());
  EXPECT_EQ(WritePropertyList(entries), GetParam().list());
}

TEST_P(ConcordanceWindowList, MutationsAreReadOrRejectedCleanly) {
  FuzzFromSeeds({std::string(GetParam().list())}, 7, 3000);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ConcordanceWindowList,
    ::testing::Values(ListCase{"Window", WordCountWindowPropertyList, 275, WindowEntries},
                      ListCase{"TheWords", TheWordsPropertyList, 646, TheWordsEntries},
                      ListCase{"Status", StatusPropertyList, 320, StatusEntries},
                      ListCase{"VersionLabel", VersionLabelPropertyList, 327, VersionLabelEntries}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ConcordanceWindowLists, KindsHaveTheirEntryCounts) {
  EXPECT_EQ(ReadPropertyList(WordCountWindowPropertyList()).size(), 21u);
  EXPECT_EQ(ReadPropertyList(TheWordsPropertyList()).size(), 44u);
  EXPECT_EQ(ReadPropertyList(StatusPropertyList()).size(), 27u);
  EXPECT_EQ(ReadPropertyList(VersionLabelPropertyList()).size(), 27u);
}

TEST(ConcordanceWindowLists, WindowListStartsWithPlacementAndWidth) {
  EXPECT_EQ(WordCountWindowPropertyList().substr(0, 24),
            FromHex("50 6C 61 63 65 6D 65 6E 74 20 00 00 00 00 57 69 64 74 68 20 00 00 02 58"));
}

TEST(ConcordanceWindowLists, ListHeadingIsTenBytesWithTab) {
  const std::string heading =
      FromHex("49 6E 69 74 69 61 6C 56 61 6C 75 65 20 00 00 00 0A 43 6F 75 6E 74 09 57 6F 72 64");
  EXPECT_NE(TheWordsPropertyList().find(heading), std::string_view::npos);
}

}  // namespace
