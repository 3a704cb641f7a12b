#include "app/word_count.h"

#include <limits>
#include <string>
#include <utility>

#include "app/word_tokeniser.h"
#include "framework/array.h"
#include "framework/exceptions.h"
#include "framework/yield.h"

namespace {

constexpr int32_t kMaxCount = std::numeric_limits<int32_t>::max();

int32_t CountOneMore(int32_t count, const char* what) {
  if (count == kMaxCount)
    throw OverflowException(std::string("The file has more than 2147483647 ") + what +
                            "; counts beyond that are not supported.");
  return count + 1;
}

}  // namespace

void CountWordsInto(TextInputStream& stream, WordCounts& counts) {
  Dictionary& table = counts.wordCounts;
  while (!stream.EOF()) {
    const String line = stream.ReadLine();
    int32_t position = 1;
    counts.lineCount = CountOneMore(counts.lineCount, "lines");
    for (;;) {
      String lowered = Lowercase(GetWord(line, position));
      if (lowered.IsEmpty()) break;
      const Variant word(std::move(lowered));
      counts.wordCount = CountOneMore(counts.wordCount, "words");
      if (table.HasKey(word)) {
        const int32_t present = table.Value(word).ToInt32();
        if (present == kMaxCount)
          throw OverflowException("The word \"" + word.ToString().ToUtf8() +
                                  "\" occurs more than 2147483647 times; counts beyond that are not supported.");
        table.SetValue(word, present + 1);
      } else {
        table.SetValue(word, 1);
      }
      RuntimeBackgroundTask();
    }
    RuntimeBackgroundTask();
  }
}

WordCounts CountWords(TextInputStream& stream) {
  WordCounts counts;
  CountWordsInto(stream, counts);
  return counts;
}

void FillSortedArrays(const Dictionary& wordCounts, std::vector<String>& wordList, std::vector<int32_t>& countList) {
  wordList.clear();
  countList.clear();
  wordList.reserve(static_cast<size_t>(wordCounts.Count()));
  countList.reserve(static_cast<size_t>(wordCounts.Count()));
  for (int32_t i = 0; i <= wordCounts.Count() - 1; ++i) {
    String word = wordCounts.Key(i).ToString();
    countList.push_back(wordCounts.Value(word).ToInt32());
    wordList.push_back(std::move(word));
    RuntimeBackgroundTask();
  }
  SortWith(countList, wordList);
}

String TotalsLine(int32_t uniqueWords, int32_t wordCount, int32_t lineCount) {
  return Str(uniqueWords) + " unique words, " + Str(wordCount) + " words in file, " + Str(lineCount) +
         " lines in file";
}
