#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

#include "framework/row_sort.h"
#include "framework/text_column.h"
#include "framework/yield.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

std::vector<uint32_t> StableSorted(std::vector<uint32_t> rows, const std::vector<int32_t>& numbers,
                                   SortDirection direction) {
  std::stable_sort(rows.begin(), rows.end(), [&](uint32_t a, uint32_t b) {
    return direction == SortDirection::kAscending ? numbers[a] < numbers[b] : numbers[a] > numbers[b];
  });
  return rows;
}

// Counts of every size, and counts that all fit in 16 bits (ordered in one pass); the rows
// in stored order (the first order of counted rows) and shuffled (a list already sorted).
TEST(StableOrderByNumber, GivesTheOrderOfAStableSortInEitherDirection) {
  std::mt19937 random(5);
  for (const bool sixteenBits : {false, true}) {
    std::vector<int32_t> numbers;
    for (int i = 0; i < 5000; ++i) {
      const auto r = static_cast<int32_t>(random() % 200000);
      const int32_t number = std::array{1 + r % 5, 65530 + r % 12, kMax - r % 3, kMin + r % 3, -r}[random() % 5];
      numbers.push_back(sixteenBits ? 1 + (number & 0xFFFF) : number);
    }
    std::vector<uint32_t> stored(numbers.size());
    std::iota(stored.begin(), stored.end(), 0u);
    std::vector<uint32_t> shuffled = stored;
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    for (const SortDirection direction : {SortDirection::kAscending, SortDirection::kDescending}) {
      EXPECT_EQ(StableOrderByNumber(numbers, direction), StableSorted(stored, numbers, direction)) << sixteenBits;
      EXPECT_EQ(StableOrderByNumber(numbers, shuffled, direction), StableSorted(shuffled, numbers, direction))
          << sixteenBits;
    }
  }
  EXPECT_TRUE(StableOrderByNumber({}, SortDirection::kAscending).empty());
}

// Words that all share their first two letters fall into one bucket of the sort by bytes; the
// event loop must still get its turn while that bucket is sorted, not only between buckets.
int handlerTurns = 0;
void CountTurn() {
  ++handlerTurns;
  ExpireBackgroundTaskIntervalForTesting();  // every look at the clock gives the next turn
}

TEST(StableOrderByBytes, GivesTheEventLoopItsTurnsInsideOneLargeBucket) {
  constexpr int kRows = 1 << 19;
  std::mt19937 random(3);
  TextColumn texts;
  for (int i = 0; i < kRows; ++i) {
    char word[8] = {'q', 'q'};
    for (int k = 2; k < 8; ++k) word[k] = static_cast<char>('a' + random() % 26);
    texts.Append(std::string_view(word, sizeof word));
  }
  std::vector<uint32_t> rows(kRows);
  std::iota(rows.begin(), rows.end(), 0u);
  handlerTurns = 0;
  SetBackgroundTaskHandler(&CountTurn);
  ExpireBackgroundTaskIntervalForTesting();
  const std::vector<uint32_t> sorted = StableOrderByBytes(texts, rows, SortDirection::kAscending);
  SetBackgroundTaskHandler(nullptr);
  // Reading the prefixes alone gives 8 turns, one every 65536 rows; the bucket gives at
  // least as many again.
  EXPECT_GE(handlerTurns, 16);
  EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end(), [&](uint32_t a, uint32_t b) {
    return texts.At(static_cast<int32_t>(a)) < texts.At(static_cast<int32_t>(b));
  }));
}

}  // namespace
