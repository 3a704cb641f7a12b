#include "app/word_count.h"

#include <utility>

std::vector<uint32_t> SortedOrder(const WordCounts& counts) {
  // A stable radix sort on the counts, 16 bits at a time: equal counts keep the table's order.
  // The first pass places the row numbers straight from their order in the table, and counts
  // below 65536 (nearly always all of them) need no second pass.
  const std::vector<int32_t>& keys = counts.occurrences;
  const size_t n = keys.size();
  std::vector<uint32_t> order(n);
  if (n < 2) {
    if (n == 1) order[0] = 0;
    return order;
  }
  std::vector<uint32_t> starts(size_t{1} << 16);
  uint32_t high = 0;
  for (const int32_t key : keys) {
    ++starts[static_cast<uint32_t>(key) & 0xFFFF];
    high |= static_cast<uint32_t>(key) >> 16;
  }
  const auto prefixSums = [&] {
    uint32_t sum = 0;
    for (uint32_t& start : starts) sum += std::exchange(start, sum);
  };
  prefixSums();
  if (high == 0) {
    for (size_t i = 0; i < n; ++i) order[starts[static_cast<uint32_t>(keys[i])]++] = static_cast<uint32_t>(i);
    return order;
  }
  std::vector<uint32_t> byLowBits(n);
  for (size_t i = 0; i < n; ++i) byLowBits[starts[static_cast<uint32_t>(keys[i]) & 0xFFFF]++] = static_cast<uint32_t>(i);
  std::fill(starts.begin(), starts.end(), 0);
  for (const int32_t key : keys) ++starts[static_cast<uint32_t>(key) >> 16];
  prefixSums();
  for (const uint32_t index : byLowBits) order[starts[static_cast<uint32_t>(keys[index]) >> 16]++] = index;
  return order;
}

String TotalsLine(int32_t uniqueWords, int32_t wordCount, int32_t lineCount) {
  return Str(uniqueWords) + " unique words, " + Str(wordCount) + " words in file, " + Str(lineCount) +
         " lines in file";
}
