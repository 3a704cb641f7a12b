#pragma once
// Counting the lines, words and distinct words of a text, without any window: File > Open
// runs this between opening the file and filling the results window.

#include <cstdint>
#include <vector>

#include "framework/dictionary.h"
#include "framework/string.h"
#include "framework/text_input_stream.h"

struct WordCounts {
  int32_t lineCount = 0;
  int32_t wordCount = 0;
  Dictionary wordCounts;  // lower-case word -> occurrences (Int32)
};

// Reads every line of `stream` and counts it. OverflowException if a count would pass
// 2147483647; IOException from the stream on a read error.
WordCounts CountWords(TextInputStream& stream);
// The same, adding to counts already made (CountWords starts from zero).
void CountWordsInto(TextInputStream& stream, WordCounts& counts);

// Replaces the two arrays with the table's words and counts, then orders both by count,
// ascending; words with equal counts keep the table's order.
void FillSortedArrays(const Dictionary& wordCounts, std::vector<String>& wordList, std::vector<int32_t>& countList);

// "5 unique words, 7 words in file, 2 lines in file"
String TotalsLine(int32_t uniqueWords, int32_t wordCount, int32_t lineCount);
