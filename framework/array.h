#pragma once
// Growable arrays are std::vector; these are the array operations the program names.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "framework/exceptions.h"
#include "framework/row_sort.h"

// The index of the last element, -1 when the array is empty.
template <class T>
int32_t Ubound(const std::vector<T>& array) {
  return static_cast<int32_t>(array.size()) - 1;
}

// Sorts `keys` ascending and moves each element of `companion` along with its key. Stable:
// equal keys keep their order, which makes this the very order the list first shows
// (StableOrderByNumber). OutOfBoundsException when the sizes differ.
template <class T>
void SortWith(std::vector<int32_t>& keys, std::vector<T>& companion) {
  if (keys.size() != companion.size())
    throw OutOfBoundsException("SortWith needs arrays of the same size, not " + std::to_string(keys.size()) + " and " +
                               std::to_string(companion.size()) + ".");
  const std::vector<uint32_t> order = StableOrderByNumber(keys, SortDirection::kAscending);
  std::vector<int32_t> sortedKeys;
  std::vector<T> sortedCompanion;
  sortedKeys.reserve(order.size());
  sortedCompanion.reserve(order.size());
  for (const uint32_t from : order) {
    sortedKeys.push_back(keys[from]);
    sortedCompanion.push_back(std::move(companion[from]));
  }
  keys = std::move(sortedKeys);
  companion = std::move(sortedCompanion);
}
