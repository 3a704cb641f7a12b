#pragma once
// Finding the words and line ends of a block of bytes and counting the words into a table.

#include <cstdint>

#include "counting/word_table.h"

namespace counting {

// Line ends and words found so far. A CRLF split between two blocks is one line end.
struct ScanTotals {
  int64_t lineEnds = 0;
  int64_t words = 0;
  bool lastWasCarriageReturn = false;
};

// Counts the words and line ends of [begin, end), which ends after a non-letter or at the end
// of the file (so no word runs on into the next block) and has kPadding readable bytes after it.
void ScanBlock(const char* begin, const char* end, WordTable& table, ScanTotals& totals);

}  // namespace counting
