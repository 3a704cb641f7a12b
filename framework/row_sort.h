#pragma once
// Stable orders of rows by one key, without a comparison per pair: by a number (counting
// sort) or by a text's bytes (first bytes radix-bucketed, then sorted as numbers, equal
// prefixes settled on the whole text). Both give exactly what std::stable_sort gives with
// the same key: rows with equal keys keep the order they had, in either direction. The
// parallel sort of a count array and the list's sorts by a column are these.

#include <cstdint>
#include <vector>

#include "framework/text_column.h"

enum class SortDirection { kAscending, kDescending };

// Every row of `numbers`, taken in stored order (0, 1, 2 ...), ordered by numbers[row]: the
// result holds the row numbers.
std::vector<uint32_t> StableOrderByNumber(const std::vector<int32_t>& numbers, SortDirection direction);
// `rows` holds stored row numbers in their present order; the result holds the same rows
// ordered by numbers[row].
std::vector<uint32_t> StableOrderByNumber(const std::vector<int32_t>& numbers, const std::vector<uint32_t>& rows,
                                          SortDirection direction);

// The same by texts.At(row), compared byte by byte, a text before any longer one it starts.
std::vector<uint32_t> StableOrderByBytes(const TextColumn& texts, const std::vector<uint32_t>& rows,
                                         SortDirection direction);
