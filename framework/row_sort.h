#pragma once
// Stable orders of a list's rows by one key, without a comparison per pair: by a number
// (radix sort) or by a text's bytes (first bytes radix-bucketed, then sorted as numbers, equal
// prefixes settled on the whole text). Both give exactly what std::stable_sort gives with
// the same key: rows with equal keys keep the order they had, in either direction.

#include <cstdint>
#include <vector>

#include "framework/text_column.h"

// `rows` holds stored row numbers in their present order; the result holds the same rows
// ordered by numbers[row], ascending or descending.
std::vector<uint32_t> StableOrderByNumber(const std::vector<int32_t>& numbers, const std::vector<uint32_t>& rows,
                                          bool ascending);

// The same by texts.At(row), compared byte by byte, a text before any longer one it starts.
std::vector<uint32_t> StableOrderByBytes(const TextColumn& texts, const std::vector<uint32_t>& rows, bool ascending);
