#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "framework/array.h"
#include "framework/dictionary.h"
#include "framework/exceptions.h"

namespace {

std::vector<std::string> KeysInOrder(const Dictionary& d) {
  std::vector<std::string> keys;
  for (int32_t i = 0; i < d.Count(); ++i) keys.push_back(d.Key(i).ToString().ToUtf8());
  return keys;
}

TEST(Dictionary, KeepsKeysInTheOrderFirstEntered) {
  Dictionary d;
  for (const char* word : {"the", "cat", "and", "the", "hat", "a", "cat"})
    d.SetValue(word, d.HasKey(word) ? d.Value(word).ToInt32() + 1 : 1);
  EXPECT_EQ(d.Count(), 5);
  EXPECT_EQ(KeysInOrder(d), (std::vector<std::string>{"the", "cat", "and", "hat", "a"}));
  EXPECT_EQ(d.Value("the").ToInt32(), 2);
  EXPECT_EQ(d.Value("cat").ToInt32(), 2);
  EXPECT_EQ(d.Value("hat").ToInt32(), 1);
}

TEST(Dictionary, MissingKeysAndIndexesRaise) {
  Dictionary d;
  d.SetValue("present", 1);
  EXPECT_THROW(d.Value("absent"), KeyNotFoundException);
  EXPECT_THROW(d.Key(-1), OutOfBoundsException);
  EXPECT_THROW(d.Key(1), OutOfBoundsException);
}

TEST(Dictionary, GrowsToManyKeysWithoutLosingAny) {
  Dictionary d;
  constexpr int32_t kKeys = 200000;
  for (int32_t i = 0; i < kKeys; ++i) d.SetValue(String("key number ") + Str(i), i);
  for (int32_t i = 0; i < kKeys; i += 2) d.SetValue(String("key number ") + Str(i), -i);
  ASSERT_EQ(d.Count(), kKeys);
  for (int32_t i = 0; i < kKeys; ++i) {
    ASSERT_EQ(d.Key(i).ToString(), String("key number ") + Str(i));
    ASSERT_EQ(d.Value(String("key number ") + Str(i)).ToInt32(), i % 2 == 0 ? -i : i);
  }
  EXPECT_FALSE(d.HasKey("key number 200000"));
}

TEST(Dictionary, AnswersCorrectlyWhenLookupsAlternate) {
  // Interleaved keys exercise the one-entry cache; temporaries may reuse each other's memory.
  Dictionary d;
  d.SetValue(String("first long key"), 1);
  for (int round = 0; round < 100; ++round) {
    const String probe = String("probe key number ") + Str(round);
    EXPECT_FALSE(d.HasKey(probe));
    EXPECT_TRUE(d.HasKey(String("first long key")));
    d.SetValue(probe, round);
    EXPECT_EQ(d.Value(probe).ToInt32(), round);
    EXPECT_EQ(d.Value(String("first long key")).ToInt32(), 1);
  }
  EXPECT_EQ(d.Count(), 101);
}

TEST(SortWith, RefusesArraysOfDifferentSizes) {
  std::vector<int32_t> counts = {1, 2};
  std::vector<String> words = {"a"};
  EXPECT_THROW(SortWith(counts, words), OutOfBoundsException);
}

// Narrow ranges take one method and wide ranges (or negatives) another; both must agree with a
// plain stable sort.
class SortWithRandom : public testing::TestWithParam<std::pair<int32_t, int32_t>> {};

TEST_P(SortWithRandom, MatchesAStableSort) {
  const auto [low, high] = GetParam();
  std::mt19937 random(99);
  std::uniform_int_distribution<int32_t> value(low, high);
  for (size_t n : {0u, 1u, 2u, 17u, 5000u}) {
    std::vector<int32_t> keys(n);
    std::vector<String> companion(n);
    for (size_t i = 0; i < n; ++i) {
      keys[i] = value(random);
      companion[i] = Str(static_cast<int32_t>(i));
    }
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::vector<int32_t> expectedKeys;
    std::vector<String> expectedCompanion;
    for (size_t i : order) {
      expectedKeys.push_back(keys[i]);
      expectedCompanion.push_back(companion[i]);
    }
    SortWith(keys, companion);
    EXPECT_EQ(keys, expectedKeys);
    EXPECT_TRUE(companion == expectedCompanion) << "equal keys keep their companions' order";
  }
}

INSTANTIATE_TEST_SUITE_P(Ranges, SortWithRandom,
                         testing::Values(std::pair{1, 5}, std::pair{-3, 3}, std::pair{0, 1000000000},
                                         std::pair{std::numeric_limits<int32_t>::min(),
                                                   std::numeric_limits<int32_t>::max()}));

}  // namespace
