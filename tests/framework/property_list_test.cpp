// The property-list reader: documented examples, names in any letter case, and malformed
// lists with the messages they give. The lists it reads are the program's own, built at
// compile time, so a fuzz of hostile input would guard against nothing that can happen.
#include "framework/property_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <strings.h>

#include <limits>
#include <memory>

namespace {

using ::testing::HasSubstr;
using namespace std::string_literals;
using Entries = std::vector<std::pair<std::string_view, PropertyValue>>;

TEST(PropertyList, ReadsEntriesInOrderWithWhereEachStarts) {
  const std::vector<std::pair<std::string, Entries>> examples = {  // names as the program spells them
      {"", {}},
      {"Placement \0\0\0\0Width \0\0\x02\x58"s, {{"Placement", 0}, {"Width", 600}}},
      {"BackColor \xFF\xFF\xFF", {{"BackColor", Color{255, 255, 255}}}},
      {"HelpTag \0\0\0\0Visible \0"s, {{"HelpTag", String()}, {"Visible", false}}},
      {"Text \0\0\0\x03" "a\0bTop \0\0\0\x07"s, {{"Text", String::FromUtf8("a\0b"s)}, {"Top", 7}}},
      {"MacProcId \0\0\0\x01ScrollBarHorizontal \x01scrollbarvertical \0MULTILINE \x01"s,
       {{"MacProcID", 1}, {"ScrollbarHorizontal", true}, {"ScrollBarVertical", false}, {"Multiline", true}}},
      // Negative values, never read as the unsigned 4294967295 and 2147483648.
      {"HeadingIndex \xFF\xFF\xFF\xFF" "DefaultRowHeight \xFF\xFF\xFF\xFF" "_ScrollWidth \xFF\xFF\xFF\xFF" "Index \x80\0\0\0"s,
       {{"HeadingIndex", -1}, {"DefaultRowHeight", -1}, {"_ScrollWidth", -1}, {"Index", std::numeric_limits<int32_t>::min()}}}};
  for (const auto& [bytes, expected] : examples) {
    const std::vector<PropertyEntry> entries = ReadPropertyList(bytes);
    ASSERT_EQ(entries.size(), expected.size()) << testing::PrintToString(bytes);
    for (size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(entries[i].name, expected[i].first);
      EXPECT_TRUE(entries[i].value == expected[i].second) << entries[i].name;
      EXPECT_EQ(strncasecmp(bytes.data() + entries[i].offset, entries[i].name.data(), entries[i].name.size()), 0);
    }
  }
}

// Each list follows one good entry, so the error is at byte 9. The list sits in an allocation
// of exactly its size: a read past the end shows up under ASan.
TEST(PropertyList, MalformedListThrowsNamingPropertyAndOffset) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> lists = {  // bytes, parts of the message
      {"Colour \xFF\x00\x00", {"\"Colour\"", "no known property"}},
      {"Visible", {"\"Visible\"", "no blank"}},
      {std::string("Width \x00\x00\x02", 9), {"\"Width\"", "Int32", "3 of 4"}},
      {std::string("Title \x00\x00\x00\x09Untitled", 18), {"\"Title\"", "String of 9 bytes", "8 bytes remain"}},
      {std::string("Title \xFF\xFF\xFF\xFF", 10) + "abc", {"\"Title\"", "4294967295"}},
      {"Visible \x02", {"\"Visible\"", "0x02"}},
      {std::string(100000, 'A'), {"no blank"}}};  // a long garbage name is shortened in the message
  for (const auto& [bytes, messageParts] : lists) {
    const std::string list = "Visible \x01" + bytes;
    const std::unique_ptr<char[]> exact(new char[list.size()]);
    std::copy(list.begin(), list.end(), exact.get());
    try {
      ReadPropertyList({exact.get(), list.size()});
      ADD_FAILURE() << "accepted " << testing::PrintToString(bytes.substr(0, 40));
    } catch (const PropertyListError& error) {
      EXPECT_EQ(error.Offset(), 9u);
      EXPECT_THAT(error.what(), HasSubstr("at byte 9"));
      EXPECT_LT(std::string_view(error.what()).size(), 200u);
      for (const std::string& part : messageParts) EXPECT_THAT(error.what(), HasSubstr(part));
    }
  }
}

}  // namespace
