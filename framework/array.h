#pragma once
// Growable arrays are std::vector; these are the array helpers the program uses.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "framework/exceptions.h"
#include "framework/string.h"

// The index of the last element, -1 when the array is empty.
template <class T>
int32_t Ubound(const std::vector<T>& a) {
  return static_cast<int32_t>(a.size()) - 1;
}

// Sorts `keys` ascending and moves each element of `companion` along with its key. Stable.
// Counts are mostly small, so a narrow key range takes a counting sort; a wide one sorts
// (key, index) pairs. OutOfBoundsException when the sizes differ.
inline void SortWith(std::vector<int32_t>& keys, std::vector<String>& companion) {
  if (keys.size() != companion.size())
    throw OutOfBoundsException("SortWith needs arrays of the same size, not " + std::to_string(keys.size()) +
                               " and " + std::to_string(companion.size()) + ".");
  const size_t n = keys.size();
  if (n < 2) return;
  if (n > std::numeric_limits<uint32_t>::max()) throw OutOfBoundsException("SortWith cannot sort more than 4294967295 elements.");
  const auto [low, high] = std::minmax_element(keys.begin(), keys.end());
  const int64_t minimum = *low;
  const uint64_t range = static_cast<uint64_t>(static_cast<int64_t>(*high) - minimum);
  // Work out where each element goes, rewrite the keys in order, then move the companions
  // round the permutation's cycles: 4 bytes of scratch per element instead of a second
  // companion array, since memory is what a large concordance runs short of.
  std::vector<uint32_t> destination(n);
  if (range < 2 * n + 65536) {
    std::vector<uint32_t> start(range + 1, 0);
    for (int32_t key : keys) ++start[static_cast<uint64_t>(key - minimum)];
    uint32_t running = 0;
    for (uint32_t& bucket : start) running += std::exchange(bucket, running);
    for (size_t i = 0; i < n; ++i) destination[i] = start[static_cast<uint64_t>(keys[i] - minimum)]++;
    size_t next = 0;
    for (uint64_t bucket = 0; bucket <= range; ++bucket)
      while (next < start[bucket]) keys[next++] = static_cast<int32_t>(minimum + static_cast<int64_t>(bucket));
  } else {
    // (key, index) pairs: sorting them is stable because no two are equal.
    std::vector<uint64_t> order(n);
    for (size_t i = 0; i < n; ++i)
      order[i] = (static_cast<uint64_t>(static_cast<int64_t>(keys[i]) - std::numeric_limits<int32_t>::min()) << 32) | i;
    std::sort(order.begin(), order.end());
    for (size_t rank = 0; rank < n; ++rank) {
      destination[order[rank] & 0xFFFFFFFFu] = static_cast<uint32_t>(rank);
      keys[rank] = static_cast<int32_t>(static_cast<int64_t>(order[rank] >> 32) + std::numeric_limits<int32_t>::min());
    }
  }
  for (size_t i = 0; i < n; ++i) {
    while (destination[i] != i) {
      const uint32_t j = destination[i];
      std::swap(companion[i], companion[j]);
      std::swap(destination[i], destination[j]);
    }
  }
}
