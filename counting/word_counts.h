#pragma once
// What counting a text gives, and how the text is cut up for it.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/text_column.h"

struct WordCounts {
  int32_t lineCount = 0;
  int32_t wordCount = 0;
  TextColumn words;                  // the distinct lower-case words, in order of first occurrence
  std::vector<int32_t> occurrences;  // occurrences[i]: how often words.At(i) occurs
  int32_t UniqueWords() const { return words.Count(); }
};

// How a file is cut up for counting. The defaults suit real files; tests shrink them so that
// every edge case falls on a block or chunk boundary. Zero means the default in every field.
struct CountOptions {
  size_t blockSize = 0;       // bytes read at a time on one thread, or while the words are mostly new
  size_t chunkSize = 0;       // bytes handed to one worker thread at a time
  unsigned threads = 0;       // at most this many threads in all, and no more than the processors; 1: the caller's only
  int64_t parallelFrom = 0;   // files of at least this many bytes are counted on threads
  size_t largeTableFrom = 0;  // from this many distinct words on, lookups fetch the words ahead
  // Every word hashes alike, so that every lookup meets other words and only comparing the
  // letters tells them apart.
  bool everyWordCollidesForTesting = false;
  // `threads` even beyond the processors, so that counting on threads is tested on any machine.
  bool threadsBeyondProcessorsForTesting = false;
  // Set to the number of worker threads started besides the caller's.
  unsigned* workersStartedForTesting = nullptr;
};
