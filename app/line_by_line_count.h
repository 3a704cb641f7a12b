#pragma once
// File > Open's counting as the application's design gives it, step by step: the file line by
// line through the text stream, each line word by word through App::GetWord, the lower-cased
// words into a Dictionary, then the counts sorted with their words. The program itself counts
// with the engine (CountWords, then StableOrderByNumber for the rows' first order), many times
// faster; the tests hold the engine to this, total for total and row for row.

#include <cstdint>
#include <vector>

#include "framework/string.h"
#include "framework/text_input_stream.h"

class App;

struct LineByLineCounts {
  int32_t lineCount = 0;
  int32_t wordCount = 0;
  int32_t uniqueWords = 0;
  // The distinct words and their counts, in ascending order of count; equal counts keep the
  // order in which their words first occur.
  std::vector<String> wordList;
  std::vector<int32_t> countList;  // countList[i]: how often wordList[i] occurs
};

// Reads the stream to its end, closes it, and counts. IOException from the stream on a read
// error; OverflowException if a count would pass 2147483647. Calls the yield hook after every
// character, word, line and distinct word.
LineByLineCounts CountWordsLineByLine(TextInputStream& stream, class App& application);
