// The keyed table, the values it holds and the sort of a count array with its words: what
// the line-by-line count of File > Open is made of.

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core_test_support.h"
#include "framework/array.h"
#include "framework/dictionary.h"
#include "framework/exceptions.h"
#include "framework/row_sort.h"
#include "framework/variant.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// Each row: a value, its conversions to Int32 and to text.
TEST(Variant, ConvertsToInt32AndText) {
  const std::tuple<Variant, int32_t, std::string> cases[] = {
      {Variant(), 0, ""},
      {Variant(42), 42, "42"},
      {Variant(kMin), kMin, "-2147483648"},
      {Variant(true), 1, "True"},
      {Variant("the"), 0, "the"},
      {Variant(" -17 "), -17, " -17 "},
      {Variant("caf\xC3\xA9"), 0, "caf\xC3\xA9"},
  };
  for (const auto& [value, number, text] : cases) {
    EXPECT_EQ(VariantToInt32(value), number) << text;
    EXPECT_EQ(VariantToString(value).ToUtf8(), text);
  }
  EXPECT_THROW(VariantToInt32(Variant("2147483648")), OverflowException);
}

TEST(Variant, SubtractsAsInt32AndRaisesBeyondIt) {
  EXPECT_EQ(VariantSubtract(Variant(2), Variant(9)), Variant(-7));
  EXPECT_EQ(VariantSubtract(Variant("12"), Variant(2)), Variant(10));
  EXPECT_EQ(VariantSubtract(Variant(kMax), Variant(kMax)), Variant(0));
  EXPECT_THROW(VariantSubtract(Variant(kMin), Variant(1)), OverflowException);
  EXPECT_THROW(VariantSubtract(Variant(kMax), Variant(-1)), OverflowException);
}

// Counting words as File > Open's own steps do: HasKey, Value read and SetValue, then Key(i).
TEST(Dictionary, CountsWordsAndListsTheKeysInTheOrderFirstStored) {
  Dictionary wordCounts;
  EXPECT_EQ(wordCounts.Count(), 0);
  for (const char* word : {"the", "cat", "and", "the", "hat", "a", "cat", "The", "caf\xC3\xA9", "the"}) {
    const Variant key(word);
    wordCounts.SetValue(key, wordCounts.HasKey(key) ? VariantToInt32(wordCounts.Value(key)) + 1 : 1);
  }
  ASSERT_EQ(wordCounts.Count(), 7);
  std::vector<std::pair<std::string, int32_t>> entries;
  for (int32_t i = 0; i < wordCounts.Count(); ++i) {
    const String key = VariantToString(wordCounts.Key(i));
    entries.emplace_back(key.ToUtf8(), VariantToInt32(wordCounts.Value(key)));
  }
  const std::vector<std::pair<std::string, int32_t>> expected = {
      {"the", 3}, {"cat", 2}, {"and", 1}, {"hat", 1}, {"a", 1}, {"The", 1}, {"caf\xC3\xA9", 1}};
  EXPECT_EQ(entries, expected);
}

// Keys of different types never meet; a key made anew finds the one stored.
TEST(Dictionary, KeysMatchBySameTypeAndValue) {
  Dictionary table;
  table.SetValue(Variant(5), "five as a number");
  table.SetValue(Variant("5"), "five as text");
  table.SetValue(String("a longer key than seven"), 1);
  EXPECT_EQ(table.Count(), 3);
  EXPECT_EQ(VariantToString(table.Value(5)).ToUtf8(), "five as a number");
  EXPECT_EQ(VariantToString(table.Value("5")).ToUtf8(), "five as text");
  EXPECT_TRUE(table.HasKey(String("a longer ") + String("key than seven")));
  EXPECT_FALSE(table.HasKey(String("A longer key than seven")));
}

TEST(Dictionary, MissingKeysAndIndexesRaiseAndChangeNothing) {
  Dictionary table;
  table.SetValue("present", 1);
  ExpectThrowMentioning<KeyNotFoundException>([&] { table.Value("absent"); }, "\"absent\"");
  EXPECT_THROW(table.Key(-1), OutOfBoundsException);
  EXPECT_THROW(table.Key(1), OutOfBoundsException);
  EXPECT_EQ(table.Count(), 1);
  EXPECT_FALSE(table.HasKey("absent"));
}

TEST(SortWith, RefusesArraysOfDifferentSizes) {
  std::vector<int32_t> counts = {1, 2};
  std::vector<String> words = {"a"};
  EXPECT_THROW(SortWith(counts, words), OutOfBoundsException);
  EXPECT_EQ(counts, (std::vector<int32_t>{1, 2}));
}

// Sorting the counts with their words gives the rows the list first shows (StableOrderByNumber,
// itself held to a stable sort): equal counts keep their words' order, for narrow and wide
// ranges of counts.
TEST(SortWith, MovesEachWordWithItsCountInTheListsFirstOrder) {
  std::mt19937 random(99);
  for (const auto& [low, high] : {std::pair{1, 5}, std::pair{-3, 3}, std::pair{0, 1000000000}, std::pair{kMin, kMax}}) {
    std::uniform_int_distribution<int32_t> value(low, high);
    for (const size_t n : {0u, 1u, 2u, 17u, 5000u}) {
      std::vector<int32_t> counts(n);
      std::vector<String> words(n);
      for (size_t i = 0; i < n; ++i) {
        counts[i] = value(random);
        words[i] = String("w") + Str(static_cast<int32_t>(i));
      }
      std::vector<int32_t> expectedCounts;
      std::vector<String> expectedWords;
      for (const uint32_t i : StableOrderByNumber(counts, SortDirection::kAscending)) {
        expectedCounts.push_back(counts[i]);
        expectedWords.push_back(words[i]);
      }
      SortWith(counts, words);
      EXPECT_EQ(counts, expectedCounts) << low << " to " << high << ", " << n;
      EXPECT_TRUE(words == expectedWords) << low << " to " << high << ", " << n;
      EXPECT_EQ(Ubound(words), static_cast<int32_t>(n) - 1);
    }
  }
}

}  // namespace
