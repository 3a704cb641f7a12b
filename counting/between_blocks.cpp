#include "counting/between_blocks.h"

#include <algorithm>
#include <limits>
#include <string>

#include "counting/tuning.h"
#include "framework/exceptions.h"

namespace counting {

namespace {

[[noreturn]] void ThrowTooMany(const char* what) {
  throw OverflowException(std::string("The file has more than 2147483647 ") + what +
                          "; counts beyond that are not supported.");
}

// For text of mostly new words: the index grows at once to what the rest of the file would add
// at the rate of the last block, rather than rehashing again and again (each time touching every
// word). The first block tells nothing (every word is new to an empty table), and the rest of the
// file may be of another kind, so the index grows only when the next block of the same kind
// would make it grow anyway, and then at most kMostIndexGrowth-fold.
void ReserveForNewWords(WordTable& table, size_t wordsBefore, size_t wordsAfter, size_t bytes, int64_t bytesLeft) {
  if (wordsBefore == 0 || bytesLeft <= 0 || bytes == 0) return;
  const size_t newWords = wordsAfter - wordsBefore;
  const double expected = static_cast<double>(newWords) / static_cast<double>(bytes) * static_cast<double>(bytesLeft);
  const double most = static_cast<double>(wordsAfter) * (kMostIndexGrowth - 1);
  table.GrowIndexAhead(wordsAfter + newWords, wordsAfter + static_cast<size_t>(std::min(expected, most)));
}

}  // namespace

void CheckTotals(const WordCounts& counts, const ScanTotals& totals) {
  if (totals.lineEnds + counts.lineCount > kMaxCount) ThrowTooMany("lines");
  if (totals.words + counts.wordCount > kMaxCount) ThrowTooMany("words");
}

void AddTotals(WordCounts& counts, ScanTotals totals, TextEnd end) {
  if (end == TextEnd::kInsideALine) ++totals.lineEnds;
  CheckTotals(counts, totals);
  counts.lineCount += static_cast<int32_t>(totals.lineEnds);
  counts.wordCount += static_cast<int32_t>(totals.words);
}

uint32_t Passes(size_t bytes) { return static_cast<uint32_t>(std::min<size_t>(bytes, std::numeric_limits<uint32_t>::max())); }

// Mostly new to the whole table, not just to the block: text whose vocabulary merely keeps
// growing, as prose does, has many distinct words in every block, but most of them are repeats
// of earlier ones. Only text of mostly new words makes the table grow with every block, and
// merging the work on threads.
bool JudgeNewWords(WordTable& table, size_t wordsBefore, size_t wordsAfter, int64_t words, size_t bytes, int64_t bytesLeft) {
  if (static_cast<int64_t>(wordsAfter - wordsBefore) * 2 <= words) return false;
  ReserveForNewWords(table, wordsBefore, wordsAfter, bytes, bytesLeft);
  return true;
}

}  // namespace counting
