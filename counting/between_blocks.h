#pragma once
// What both ways of counting do after each block of the file (counted here or merged from a
// worker's chunk): keep the totals within bounds, and judge from the block whether the text is
// of mostly new words.

#include <cstddef>
#include <cstdint>

#include "counting/byte_scan.h"
#include "counting/characters.h"
#include "counting/word_counts.h"
#include "counting/word_table.h"

namespace counting {

// OverflowException as soon as the totals so far are past the limits, rather than at the end of
// the file.
void CheckTotals(const WordCounts& counts, const ScanTotals& totals);
// Adds the totals to the counts, with one more line for a text that ends inside one.
void AddTotals(WordCounts& counts, ScanTotals totals, TextEnd end);

// Passes of the yield hook for a block of this many bytes.
uint32_t Passes(size_t bytes);

// After a block of `words` words and `bytes` bytes has been counted into the table, whose words
// went from `wordsBefore` to `wordsAfter`: whether most of the block's words were new to the
// whole table. If so, the index is grown at once for more of the same in the `bytesLeft` bytes
// still to come, rather than step by step.
bool JudgeNewWords(WordTable& table, size_t wordsBefore, size_t wordsAfter, int64_t words, size_t bytes, int64_t bytesLeft);

}  // namespace counting
