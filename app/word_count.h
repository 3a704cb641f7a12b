#pragma once
// Counting the lines, words and distinct words of a text, without any window: File > Open
// runs this between opening the file and filling the results window.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/string.h"
#include "framework/text_column.h"
#include "framework/text_input_stream.h"

struct WordCounts {
  int32_t lineCount = 0;
  int32_t wordCount = 0;
  TextColumn words;                  // the distinct lower-case words, in order of first occurrence
  std::vector<int32_t> occurrences;  // occurrences[i]: how often words.At(i) occurs
  int32_t UniqueWords() const { return words.Count(); }
};

// How a file is cut up for counting. The defaults suit real files; tests shrink them so that
// every edge case falls on a block or chunk boundary. Zero means the default.
struct CountOptions {
  size_t blockSize = 0;        // bytes read at a time on one thread
  size_t chunkSize = 0;        // bytes handed to one worker thread at a time
  unsigned threads = 0;        // at most this many threads in all; 1 counts on the caller's thread only
  int64_t parallelFrom = -1;   // files smaller than this are counted on one thread (-1: default)
  int64_t largeTableFrom = -1; // from this many distinct words, lookups fetch the words ahead (-1: default)
};

// Reads the whole stream and counts it. The words are the runs of ASCII letters, lower-cased;
// a line ends at LF, CRLF or a lone CR, and a terminator at the very end adds no empty line.
// OverflowException if a count would pass 2147483647; IOException from the stream on a read
// error. Calls the yield hook as it goes, on the caller's thread only.
WordCounts CountWords(TextInputStream& stream, const CountOptions& options = {});
// The same, adding to counts already made.
void CountWordsInto(TextInputStream& stream, WordCounts& counts, const CountOptions& options = {});

// "5 unique words, 7 words in file, 2 lines in file"
String TotalsLine(int32_t uniqueWords, int32_t wordCount, int32_t lineCount);
