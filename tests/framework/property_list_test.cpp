// The property-list reader: documented examples, names in any letter case, and malformed
// lists with the messages they give. The lists it reads are the program's own, built at
// compile time, so a fuzz of hostile input would guard against nothing that can happen.
#include "framework/property_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

using ::testing::HasSubstr;
using namespace std::string_literals;
using Entries = std::vector<std::pair<std::string_view, PropertyValue>>;

std::string LowerAscii(std::string text) {
  for (char& letter : text) letter = letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter + 32) : letter;
  return text;
}

struct Example {
  const char* label;
  std::string bytes;
  Entries expected;  // names as the program spells them
};

void PrintTo(const Example& example, std::ostream* out) { *out << example.label; }

class PropertyListExamples : public ::testing::TestWithParam<Example> {};

TEST_P(PropertyListExamples, ReadsEntriesInOrderWithWhereEachStarts) {
  const std::vector<PropertyEntry> entries = ReadPropertyList(GetParam().bytes);
  ASSERT_EQ(entries.size(), GetParam().expected.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].name, GetParam().expected[i].first);
    EXPECT_TRUE(entries[i].value == GetParam().expected[i].second) << entries[i].name;
    EXPECT_EQ(LowerAscii(GetParam().bytes.substr(entries[i].offset, entries[i].name.size())),
              LowerAscii(std::string(entries[i].name)));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, PropertyListExamples,
    ::testing::Values(
        Example{"Empty", "", {}},
        Example{"PlacementAndWidth", "Placement \0\0\0\0Width \0\0\x02\x58"s, {{"Placement", 0}, {"Width", 600}}},
        Example{"BackColorWhite", "BackColor \xFF\xFF\xFF", {{"BackColor", Color{255, 255, 255}}}},
        Example{"EmptyHelpTagThenNextName", "HelpTag \0\0\0\0Visible \0"s, {{"HelpTag", String()}, {"Visible", false}}},
        Example{"NulInsideString", "Text \0\0\0\x03" "a\0bTop \0\0\0\x07"s,
                {{"Text", String::FromUtf8("a\0b"s)}, {"Top", 7}}},
        Example{"NamesInAnyCase", "MacProcId \0\0\0\x01ScrollBarHorizontal \x01scrollbarvertical \0MULTILINE \x01"s,
                {{"MacProcID", 1}, {"ScrollbarHorizontal", true}, {"ScrollBarVertical", false}, {"Multiline", true}}}),
    [](const auto& info) { return std::string(info.param.label); });

struct Malformed {
  const char* label;
  std::string bytes;  // preceded in the test by one good entry, so offsets are 9 and up
  std::vector<std::string> message_parts;
};

void PrintTo(const Malformed& malformed, std::ostream* out) { *out << malformed.label; }

class MalformedList : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedList, ThrowsNamingPropertyAndOffset) {
  const std::string good = "Visible \x01";
  const std::string list = good + GetParam().bytes;
  const std::unique_ptr<char[]> exact(new char[list.size()]);  // a read past the end shows up under ASan
  std::copy(list.begin(), list.end(), exact.get());
  try {
    ReadPropertyList({exact.get(), list.size()});
    FAIL() << "accepted";
  } catch (const PropertyListError& error) {
    EXPECT_EQ(error.Offset(), good.size());
    EXPECT_THAT(error.what(), HasSubstr("at byte 9"));
    EXPECT_LT(std::string_view(error.what()).size(), 200u);
    for (const std::string& part : GetParam().message_parts) EXPECT_THAT(error.what(), HasSubstr(part));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, MalformedList,
    ::testing::Values(
        Malformed{"UnknownName", "Colour \xFF\x00\x00", {"\"Colour\"", "no known property"}},
        Malformed{"NameRunsToEnd", "Visible", {"\"Visible\"", "no blank"}},
        Malformed{"EndsInsideInt32", std::string("Width \x00\x00\x02", 9), {"\"Width\"", "Int32", "3 of 4"}},
        Malformed{"StringCountOneTooMany", std::string("Title \x00\x00\x00\x09Untitled", 18),
                  {"\"Title\"", "String of 9 bytes", "8 bytes remain"}},
        Malformed{"StringCountHuge", std::string("Title \xFF\xFF\xFF\xFF", 10) + "abc",
                  {"\"Title\"", "4294967295"}},
        Malformed{"BooleanTwo", "Visible \x02", {"\"Visible\"", "0x02"}},
        Malformed{"LongGarbageNameIsShortened", std::string(100000, 'A'), {"no blank"}}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
