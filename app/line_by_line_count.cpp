#include "app/line_by_line_count.h"

#include <limits>
#include <string>
#include <utility>

#include "app/app.h"
#include "framework/array.h"
#include "framework/dictionary.h"
#include "framework/exceptions.h"
#include "framework/variant.h"
#include "framework/yield.h"

namespace {

// The counts are 32-bit; past that the count stops with a message rather than wrapping.
int32_t PlusOne(int32_t count, const char* what) {
  if (count == std::numeric_limits<int32_t>::max())
    throw OverflowException(std::string("A file with more than 2147483647 ") + what + " is not supported.");
  return count + 1;
}

}  // namespace

LineByLineCounts CountWordsLineByLine(TextInputStream& stream, class App& application) {
  std::vector<String> wordList;
  std::vector<int32_t> countList;
  int32_t wordCount = 0;
  int32_t lineCount = 0;
  Dictionary wordCounts;

  while (!stream.EOF()) {
    const String line = stream.ReadLine();
    int32_t position = 1;
    lineCount = PlusOne(lineCount, "lines");
    for (;;) {
      const String word = Lowercase(application.GetWord(line, position));
      if (word == "") break;
      wordCount = PlusOne(wordCount, "words");
      // A repeated word costs one test, one read and one write; a new word a test and a write.
      if (wordCounts.HasKey(word))
        wordCounts.SetValue(word, PlusOne(VariantToInt32(wordCounts.Value(word)), "occurrences of one word"));
      else
        wordCounts.SetValue(word, 1);
      RuntimeBackgroundTask();
    }
    RuntimeBackgroundTask();
  }
  stream.Close();

  // The words in the table's key order, then sorted by count with their words.
  for (int32_t i = 0; i <= wordCounts.Count() - 1; ++i) {
    const String word = VariantToString(wordCounts.Key(i));
    wordList.push_back(word);
    countList.push_back(VariantToInt32(wordCounts.Value(word)));
    RuntimeBackgroundTask();
  }
  SortWith(countList, wordList);

  return LineByLineCounts{.lineCount = lineCount,
                          .wordCount = wordCount,
                          .uniqueWords = wordCounts.Count(),
                          .wordList = std::move(wordList),
                          .countList = std::move(countList)};
}
