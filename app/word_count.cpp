#include "app/word_count.h"

String TotalsLine(int32_t uniqueWords, int32_t wordCount, int32_t lineCount) {
  return Str(uniqueWords) + " unique words, " + Str(wordCount) + " words in file, " + Str(lineCount) +
         " lines in file";
}
