#include "framework/property_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "tests/framework/property_list_test_support.h"

namespace {

using ::testing::HasSubstr;

struct Example {
  const char* label;
  std::string hex;
  std::vector<NamedValue> expected;
};

void PrintTo(const Example& example, std::ostream* out) { *out << example.label; }

class PropertyListExamples : public ::testing::TestWithParam<Example> {};

TEST_P(PropertyListExamples, ReadsEntriesAndOffsets) {
  ExpectEntries(FromHex(GetParam().hex), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    DocumentedBytes, PropertyListExamples,
    ::testing::Values(
        Example{"PlacementAndWidth",
                "50 6C 61 63 65 6D 65 6E 74 20 00 00 00 00 57 69 64 74 68 20 00 00 02 58",
                {{"Placement", 0}, {"Width", 600}}},
        Example{"VisibleTrue", "56 69 73 69 62 6C 65 20 01", {{"Visible", true}}},
        Example{"BackColorWhite", "42 61 63 6B 43 6F 6C 6F 72 20 FF FF FF", {{"BackColor", Color{255, 255, 255}}}},
        Example{"Title", "54 69 74 6C 65 20 00 00 00 08 55 6E 74 69 74 6C 65 64", {{"Title", StringValue("Untitled")}}},
        Example{"EmptyHelpTagThenNextName", "48 65 6C 70 54 61 67 20 00 00 00 00 56 69 73 69 62 6C 65 20 00",
                {{"HelpTag", StringValue("")}, {"Visible", false}}},
        Example{"SmallestIndex", "49 6E 64 65 78 20 80 00 00 00",
                {{"Index", std::numeric_limits<int32_t>::min()}}},
        Example{"HeadingIndexMinusOne", "48 65 61 64 69 6E 67 49 6E 64 65 78 20 FF FF FF FF", {{"HeadingIndex", -1}}},
        Example{"HeadingWithTab",
                "49 6E 69 74 69 61 6C 56 61 6C 75 65 20 00 00 00 0A 43 6F 75 6E 74 09 57 6F 72 64",
                {{"InitialValue", StringValue("Count\tWord")}}},
        Example{"CopyrightSignTakesTwoBytes", "54 65 78 74 20 00 00 00 03 C2 A9 41",
                {{"Text", StringValue("\xC2\xA9" "A")}}},
        Example{"NulInsideString", "54 65 78 74 20 00 00 00 03 61 00 62 54 6F 70 20 00 00 00 07",
                {{"Text", StringValue(std::string_view("a\0b", 3))}, {"Top", 7}}},
        Example{"LargestInt32AndBlackTextColor", "4C 65 66 74 20 7F FF FF FF 54 65 78 74 43 6F 6C 6F 72 20 00 00 00",
                {{"Left", std::numeric_limits<int32_t>::max()}, {"TextColor", Color{0, 0, 0}}}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(PropertyList, EmptyListHasNoEntries) { EXPECT_TRUE(ReadPropertyList({}).empty()); }

TEST(PropertyList, LengthNotNulEndsTheList) {
  const std::string list = FromHex("50 6C 61 63 65 6D 65 6E 74 20 00 00 00 00 57 69 64 74 68 20 00 00 02 58");
  EXPECT_EQ(ReadPropertyList(list).size(), 2u);
  EXPECT_EQ(ReadPropertyList(std::string_view(list.data(), 14)).size(), 1u);
}

struct Spelling {
  const char* spelled;
  const char* canonical;
  PropertyType type;
};

class PropertyNameCase : public ::testing::TestWithParam<Spelling> {};

TEST_P(PropertyNameCase, ResolvesToCanonicalName) {
  EXPECT_EQ(PropertyTypeOf(GetParam().spelled), GetParam().type);
  const PropertyValue value = [&]() -> PropertyValue {
    switch (GetParam().type) {
      case PropertyType::Int32: return -7;
      case PropertyType::Boolean: return true;
      case PropertyType::String: return StringValue("x");
      case PropertyType::Color: return Color{1, 2, 3};
    }
    return 0;
  }();
  const auto entries = ReadPropertyList(WriteEntry(GetParam().spelled, value));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, GetParam().canonical);
  EXPECT_EQ(entries[0].value, value);
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, PropertyNameCase,
    ::testing::Values(Spelling{"MacProcID", "MacProcID", PropertyType::Int32},
                      Spelling{"MacProcId", "MacProcID", PropertyType::Int32},
                      Spelling{"ScrollbarHorizontal", "ScrollbarHorizontal", PropertyType::Boolean},
                      Spelling{"ScrollBarHorizontal", "ScrollbarHorizontal", PropertyType::Boolean},
                      Spelling{"scrollbarvertical", "ScrollBarVertical", PropertyType::Boolean},
                      Spelling{"MultiLine", "Multiline", PropertyType::Boolean},
                      Spelling{"_SCROLLWIDTH", "_ScrollWidth", PropertyType::Int32},
                      Spelling{"TITLE", "Title", PropertyType::String},
                      Spelling{"textcolor", "TextColor", PropertyType::Color}),
    [](const auto& info) { return std::string(info.param.spelled); });

TEST(PropertyList, TypeOfUnknownNameIsEmpty) {
  EXPECT_EQ(PropertyTypeOf("Colour"), std::nullopt);
  EXPECT_EQ(PropertyTypeOf(""), std::nullopt);
  EXPECT_EQ(PropertyTypeOf("Width "), std::nullopt);
  EXPECT_EQ(PropertyTypeOf("ScrollWidth"), std::nullopt);  // the underscore is part of the name
  EXPECT_EQ(PropertyTypeOf("Resizable"), std::nullopt);    // the window's property keeps its e
  EXPECT_EQ(PropertyTypeOf("ColumnsResizable"), PropertyType::Boolean);
}

struct Malformed {
  const char* label;
  std::string bytes;  // preceded in the test by one good entry, so offsets are 9 and up
  std::vector<std::string> message_parts;
};

void PrintTo(const Malformed& malformed, std::ostream* out) { *out << malformed.label; }

class MalformedList : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedList, ThrowsNamingPropertyAndOffset) {
  const std::string good = "Visible \x01";
  const ExactBuffer list(good + GetParam().bytes);
  try {
    ReadPropertyList(list.View());
    FAIL() << "accepted";
  } catch (const PropertyListError& error) {
    EXPECT_EQ(error.Offset(), good.size());
    EXPECT_THAT(error.what(), HasSubstr("at byte 9"));
    for (const std::string& part : GetParam().message_parts) EXPECT_THAT(error.what(), HasSubstr(part));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, MalformedList,
    ::testing::Values(
        Malformed{"UnknownName", "Colour \xFF\x00\x00", {"\"Colour\"", "no known property"}},
        Malformed{"EmptyName", " \x01", {"\"\"", "no known property"}},
        Malformed{"NameRunsToEnd", "Visible", {"\"Visible\"", "no blank"}},
        Malformed{"EndsInsideInt32", std::string("Width \x00\x00\x02", 9), {"\"Width\"", "Int32", "3 of 4"}},
        Malformed{"EndsInsideBoolean", "Enabled ", {"\"Enabled\"", "Boolean", "0 of 1"}},
        Malformed{"EndsInsideColor", "BackColor \xFF\xFF", {"\"BackColor\"", "Color"}},
        Malformed{"EndsInsideStringCount", std::string("Title \x00\x00", 8), {"\"Title\"", "String"}},
        Malformed{"StringCountOneTooMany", std::string("Title \x00\x00\x00\x09Untitled", 18),
                  {"\"Title\"", "String of 9 bytes", "8 bytes remain"}},
        Malformed{"StringCountHuge", std::string("Title \xFF\xFF\xFF\xFF", 10) + "abc",
                  {"\"Title\"", "4294967295"}},
        Malformed{"BooleanTwo", "Visible \x02", {"\"Visible\"", "0x02"}},
        Malformed{"BooleanAllOnes", "LockTop \xFF", {"\"LockTop\"", "0xFF"}},
        Malformed{"ErrorUsesCanonicalName", "multiline \x05", {"\"Multiline\"", "0x05"}},
        Malformed{"UnprintableNameIsEscaped", "\x01\xFFWidth \x00", {"\"\\x01\\xFFWidth\""}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(PropertyList, ErrorIsARuntimeException) {
  EXPECT_THROW(ReadPropertyList("Nonsense \x01"), RuntimeException);
}

TEST(PropertyList, LongGarbageNameIsShortenedInMessage) {
  try {
    ReadPropertyList(std::string(100000, 'A'));
    FAIL() << "accepted";
  } catch (const PropertyListError& error) {
    EXPECT_EQ(error.Offset(), 0u);
    EXPECT_LT(std::string_view(error.what()).size(), 200u);
  }
}

// Lists shaped like the real ones: every known name once or more, in a random
// order and letter case, with edge values.
std::vector<std::string> RandomWellFormedLists(uint32_t seed, int count) {
  std::mt19937 random(seed);
  auto below = [&](size_t bound) { return std::uniform_int_distribution<size_t>(0, bound - 1)(random); };
  const int32_t numbers[] = {0, 1, -1, 600, 32000, std::numeric_limits<int32_t>::min(),
                             std::numeric_limits<int32_t>::max()};
  const std::string_view texts[] = {"", "Untitled", "Count\tWord", "\xC2\xA9 2026", "a\rb", "System"};
  std::vector<std::string> lists;
  for (int i = 0; i < count; ++i) {
    std::string list;
    const size_t entries = below(30);
    for (size_t e = 0; e < entries; ++e) {
      const PropertyDefinition& definition = kPropertyDefinitions[below(kPropertyDefinitions.size())];
      std::string name(definition.name);
      if (below(4) == 0) name = LowerAscii(name);
      PropertyValue value = 0;
      switch (definition.type) {
        case PropertyType::Int32: value = numbers[below(std::size(numbers))]; break;
        case PropertyType::Boolean: value = below(2) == 1; break;
        case PropertyType::String: value = StringValue(texts[below(std::size(texts))]); break;
        case PropertyType::Color:
          value = Color{static_cast<uint8_t>(below(256)), static_cast<uint8_t>(below(256)), static_cast<uint8_t>(below(256))};
          break;
      }
      list += WriteEntry(name, value);
    }
    lists.push_back(list);
  }
  return lists;
}

TEST(PropertyListFuzz, WellFormedRandomListsAreAccepted) {
  for (const std::string& list : RandomWellFormedLists(1, 500)) EXPECT_TRUE(ReadMustAcceptOrReject(list));
}

TEST(PropertyListFuzz, MutatedListsAreReadOrRejectedCleanly) {
  const FuzzCounts counts = FuzzFromSeeds(RandomWellFormedLists(2, 200), 3, 20000);
  // Both outcomes must really be exercised for the run to mean anything.
  EXPECT_GT(counts.accepted, 500);
  EXPECT_GT(counts.rejected, 5000);
}

TEST(PropertyListFuzz, RandomBytesAreReadOrRejectedCleanly) {
  std::mt19937 random(4);
  // Mostly name letters and blanks, so that some inputs get past the names.
  const std::string alphabet = std::string("WidthVisibleTitle _\x00\x01\x02\xFF", 24);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes(std::uniform_int_distribution<size_t>(0, 40)(random), '\0');
    const bool any_byte = round % 2 == 0;
    for (char& byte : bytes) {
      byte = any_byte ? static_cast<char>(random() & 0xFF) : alphabet[random() % alphabet.size()];
    }
    ReadMustAcceptOrReject(bytes);
  }
}

}  // namespace
