#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

#include "framework/row_sort.h"

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

}  // namespace
