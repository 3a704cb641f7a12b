#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

#include "app/word_count.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// Counts of every size, and counts that all fit in 16 bits (sorted in one pass).
TEST(SortedOrder, IsAStableSortByCount) {
  std::mt19937 random(5);
  for (const int32_t largest : {kMax, int32_t{65535}}) {
    WordCounts counts;
    for (int i = 0; i < 5000; ++i) {
      const auto r = static_cast<int32_t>(random() % 200000);
      const int32_t count = std::array{1 + r % 5, 65530 + r % 12, kMax - r % 3, 1 + r}[random() % 4];
      counts.words.Append("w");
      counts.occurrences.push_back(count <= largest ? count : 1 + count % largest);
    }
    std::vector<uint32_t> expected(counts.occurrences.size());
    std::iota(expected.begin(), expected.end(), 0u);
    std::stable_sort(expected.begin(), expected.end(),
                     [&](uint32_t a, uint32_t b) { return counts.occurrences[a] < counts.occurrences[b]; });
    EXPECT_EQ(SortedOrder(counts), expected) << largest;
  }
}

}  // namespace
