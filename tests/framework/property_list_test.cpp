// The property-list reader: documented examples, names in any letter case, malformed
// lists with the messages they give, and a fuzz of lists shaped like the real ones.
#include "framework/property_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <random>

namespace {

using ::testing::HasSubstr;
using namespace std::string_literals;
using Entries = std::vector<std::pair<std::string_view, PropertyValue>>;

std::string BigEndian32(uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
          static_cast<char>(value)};
}

// A plain writer, kept apart from the program's compile-time one.
std::string WriteEntry(std::string_view name, const PropertyValue& value) {
  std::string bytes = std::string(name) + ' ';
  if (auto* number = std::get_if<int32_t>(&value)) bytes += BigEndian32(static_cast<uint32_t>(*number));
  if (auto* flag = std::get_if<bool>(&value)) bytes += *flag ? '\x01' : '\x00';
  if (auto* text = std::get_if<String>(&value)) bytes += BigEndian32(uint32_t(text->ToUtf8().size())) + text->ToUtf8();
  if (auto* color = std::get_if<Color>(&value)) bytes += {char(color->red), char(color->green), char(color->blue)};
  return bytes;
}

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
        Malformed{"EndsInsideBoolean", "Enabled ", {"\"Enabled\"", "Boolean", "0 of 1"}},
        Malformed{"StringCountOneTooMany", std::string("Title \x00\x00\x00\x09Untitled", 18),
                  {"\"Title\"", "String of 9 bytes", "8 bytes remain"}},
        Malformed{"StringCountHuge", std::string("Title \xFF\xFF\xFF\xFF", 10) + "abc",
                  {"\"Title\"", "4294967295"}},
        Malformed{"BooleanTwo", "Visible \x02", {"\"Visible\"", "0x02"}},
        Malformed{"ErrorUsesCanonicalName", "multiline \x05", {"\"Multiline\"", "0x05"}},
        Malformed{"UnprintableNameIsEscaped", "\x01\xFFWidth \x00", {"\"\\x01\\xFFWidth\""}},
        Malformed{"LongGarbageNameIsShortened", std::string(100000, 'A'), {"no blank"}}),
    [](const auto& info) { return std::string(info.param.label); });

// Reads one input: the reader must either succeed or throw PropertyListError giving an
// offset inside the list, and what it accepts must write back to the same bytes up to
// the letter case of names. The input sits in an allocation of exactly its size, so that
// AddressSanitizer catches a read one byte too far.
bool ReadMustAcceptOrReject(const std::string& input) {
  const std::unique_ptr<char[]> exact(new char[input.size()]);
  std::copy(input.begin(), input.end(), exact.get());
  try {
    std::string rewritten;
    for (const PropertyEntry& entry : ReadPropertyList({exact.get(), input.size()})) {
      EXPECT_EQ(entry.offset, rewritten.size()) << entry.name;
      rewritten += WriteEntry(entry.name, entry.value);
    }
    EXPECT_EQ(LowerAscii(rewritten), LowerAscii(input)) << "accepted list does not write back the same";
    return true;
  } catch (const PropertyListError& error) {
    EXPECT_THAT(error.what(), HasSubstr("at byte " + std::to_string(error.Offset())));
    EXPECT_LT(error.Offset(), input.size());
    return false;
  }
}

// Lists shaped like the real ones, every known name in any order and letter case with edge
// values, then mutated: bit flips, truncation, inserted and removed bytes, String counts set
// huge, blanks that split names, scrambled case.
TEST(PropertyList, MutatedListsAreReadOrRejectedCleanly) {
  std::mt19937 random(2);
  const auto below = [&](size_t bound) { return std::uniform_int_distribution<size_t>(0, bound - 1)(random); };
  const int32_t numbers[] = {0, 1, -1, 600, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
  const std::string_view texts[] = {"", "Untitled", "Count\tWord", "\xC2\xA9 2026", "a\rb"};
  int accepted = 0, rejected = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string list;
    std::vector<size_t> stringCounts;  // where each String's byte count starts
    for (size_t e = below(30); e > 0; --e) {
      const PropertyDefinition& definition = kPropertyDefinitions[below(kPropertyDefinitions.size())];
      const std::string name = below(4) == 0 ? LowerAscii(std::string(definition.name)) : std::string(definition.name);
      PropertyValue value = numbers[below(std::size(numbers))];
      if (definition.type == PropertyType::Boolean) value = below(2) == 1;
      if (definition.type == PropertyType::String) value = String::FromUtf8(texts[below(std::size(texts))]);
      if (definition.type == PropertyType::Color) value = Color{uint8_t(below(256)), 0, uint8_t(below(256))};
      if (definition.type == PropertyType::String) stringCounts.push_back(list.size() + name.size() + 1);
      list += WriteEntry(name, value);
    }
    if (round < 500) {
      EXPECT_TRUE(ReadMustAcceptOrReject(list));
      continue;
    }
    for (int m = 1 + static_cast<int>(below(3)); m > 0 && !list.empty(); --m) {
      switch (below(7)) {
        case 0: list[below(list.size())] ^= static_cast<char>(1 << below(8)); break;
        case 1: list.resize(below(list.size())); break;
        case 2: list.insert(below(list.size() + 1), std::string(1 + below(4), static_cast<char>(below(256)))); break;
        case 3: list.erase(below(list.size()), 1 + below(4)); break;
        case 4:
          if (!stringCounts.empty() && stringCounts.back() + 4 <= list.size()) {
            const uint32_t justPastTheEnd = uint32_t(list.size() - stringCounts.back() - 3);
            const uint32_t huge[] = {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, justPastTheEnd};
            list.replace(stringCounts.back(), 4, BigEndian32(huge[below(std::size(huge))]));
          }
          break;
        case 5: list[below(list.size())] = ' '; break;
        case 6:
          for (char& letter : list) {
            if (below(2) && letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
          }
          break;
      }
    }
    (ReadMustAcceptOrReject(list) ? accepted : rejected)++;
  }
  // Both outcomes must really be exercised for the run to mean anything.
  EXPECT_GT(accepted, 500);
  EXPECT_GT(rejected, 5000);
}

}  // namespace
