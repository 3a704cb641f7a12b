#include <gtest/gtest.h>

#include <cerrno>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "../framework/core_test_support.h"
#include "app/word_count.h"
#include "app/word_tokeniser.h"
#include "framework/exceptions.h"
#include "framework/text_input_stream.h"

using namespace std::string_literals;

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// What the results window would show: the totals line and the rows in their first order.
struct Concordance {
  std::string totals;
  std::vector<std::pair<int32_t, std::string>> rows;
};

Concordance CountFile(const std::filesystem::path& file) {
  auto stream = TextInputStream::Open(FolderItem(file));
  WordCounts counts = CountWords(*stream);
  stream->Close();
  std::vector<String> words;
  std::vector<int32_t> countList;
  FillSortedArrays(counts.wordCounts, words, countList);
  Concordance result;
  result.totals = TotalsLine(counts.wordCounts.Count(), counts.wordCount, counts.lineCount).ToUtf8();
  for (size_t i = 0; i < words.size(); ++i) result.rows.emplace_back(countList[i], words[i].ToUtf8());
  return result;
}

using Rows = std::vector<std::pair<int32_t, std::string>>;

class WordCount : public testing::Test {
 protected:
  Concordance Count(const std::string& bytes) { return CountFile(folder_.Write("input.txt", bytes)); }
  TempFolder folder_;
};

TEST_F(WordCount, TwoLineExampleGivesTotalsAndRowsInCountOrder) {
  const Concordance c = Count("The cat and the hat.\nA cat!\n");
  EXPECT_EQ(c.totals, "5 unique words, 7 words in file, 2 lines in file");
  EXPECT_EQ(c.rows, (Rows{{1, "and"}, {1, "hat"}, {1, "a"}, {2, "the"}, {2, "cat"}}));
}

TEST_F(WordCount, CapitalsFoldIntoOneRow) {
  const Concordance c = Count("The the THE");
  EXPECT_EQ(c.totals, "1 unique words, 3 words in file, 1 lines in file");
  EXPECT_EQ(c.rows, (Rows{{3, "the"}}));
}

TEST_F(WordCount, ApostropheSplitsWord) {
  EXPECT_EQ(Count("don't stop").rows, (Rows{{1, "don"}, {1, "t"}, {1, "stop"}}));
}

TEST_F(WordCount, RowsStartInAscendingOrderOfCount) {
  EXPECT_EQ(Count("x y y z z z\n").rows, (Rows{{1, "x"}, {2, "y"}, {3, "z"}}));
  EXPECT_EQ(Count("z z z x y y\n").rows, (Rows{{1, "x"}, {2, "y"}, {3, "z"}}));
}

struct TotalsCase {
  std::string bytes;
  const char* totals;
};

class WordCountTotals : public WordCount, public testing::WithParamInterface<TotalsCase> {};

TEST_P(WordCountTotals, CountsLinesWordsAndDistinctWords) { EXPECT_EQ(Count(GetParam().bytes).totals, GetParam().totals); }

INSTANTIATE_TEST_SUITE_P(
    Files, WordCountTotals,
    testing::Values(TotalsCase{"", "0 unique words, 0 words in file, 0 lines in file"},
                    TotalsCase{"\n  \n\t\n", "0 unique words, 0 words in file, 3 lines in file"},
                    TotalsCase{"123 456\n!?.,;\n--- '''\n", "0 unique words, 0 words in file, 3 lines in file"},
                    TotalsCase{"one\r\ntwo\r\nthree\r\n", "3 unique words, 3 words in file, 3 lines in file"},
                    TotalsCase{"one\rtwo\rthree\r", "3 unique words, 3 words in file, 3 lines in file"},
                    TotalsCase{"one\ntwo\nlast line", "4 unique words, 4 words in file, 3 lines in file"},
                    TotalsCase{"word", "1 unique words, 1 words in file, 1 lines in file"},
                    TotalsCase{"ab\0cd\0ab"s, "2 unique words, 3 words in file, 1 lines in file"}));

TEST_F(WordCount, LettersOutsideAsciiEndWordsWhateverTheEncoding) {
  // UTF-8, then the same words in Latin-1, then broken UTF-8.
  const Concordance c = Count("caf\xC3\xA9 na\xC3\xAFve\ncaf\xE9 na\xEFve\ncaf\xC3 na\xE2\x82ve\n");
  EXPECT_EQ(c.totals, "3 unique words, 9 words in file, 3 lines in file");
  EXPECT_EQ(c.rows, (Rows{{3, "caf"}, {3, "na"}, {3, "ve"}}));
}

TEST_F(WordCount, HugeLineWithoutTerminatorIsCountedWhole) {
  std::string bytes;
  while (bytes.size() < 10'000'000) bytes += "Alpha beta, GAMMA-";
  const Concordance c = Count(bytes);
  const int32_t repeats = static_cast<int32_t>(bytes.size() / 18);
  EXPECT_EQ(c.totals, "3 unique words, " + std::to_string(3 * repeats) + " words in file, 1 lines in file");
}

TEST_F(WordCount, ReadErrorInTheMiddleRaisesIOException) {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += "some words on a line\n";
  ChunkedTextInputStream stream(folder_.Write("input.txt", bytes), 4096, /*failingRead=*/3);
  EXPECT_THROW(CountWords(stream), IOException);
}

class WordCountOverflow : public WordCount {
 protected:
  WordCounts Start() {
    WordCounts counts;
    counts.lineCount = 1;
    counts.wordCount = 1;
    counts.wordCounts.SetValue("word", 1);
    return counts;
  }
  void ExpectOverflow(WordCounts counts, const std::string& bytes, const std::string& messagePart) {
    auto stream = TextInputStream::Open(FolderItem(folder_.Write("input.txt", bytes)));
    try {
      CountWordsInto(*stream, counts);
      FAIL() << "no exception";
    } catch (const OverflowException& error) {
      EXPECT_NE(std::string(error.what()).find(messagePart), std::string::npos) << error.what();
    }
  }
};

TEST_F(WordCountOverflow, LineCountBeyondInt32Raises) {
  WordCounts counts = Start();
  counts.lineCount = kMax - 1;
  ExpectOverflow(std::move(counts), "\n\n", "more than 2147483647 lines");
}

TEST_F(WordCountOverflow, WordCountBeyondInt32Raises) {
  WordCounts counts = Start();
  counts.wordCount = kMax - 2;
  ExpectOverflow(std::move(counts), "a b c", "more than 2147483647 words");
}

TEST_F(WordCountOverflow, OneWordOccurringTooOftenRaises) {
  WordCounts counts = Start();
  counts.wordCounts.SetValue("word", kMax);
  ExpectOverflow(std::move(counts), "other WORD", "\"word\" occurs more than 2147483647 times");
}

TEST_F(WordCountOverflow, CountsUpToTheLimitAreFine) {
  WordCounts counts = Start();
  counts.wordCount = kMax - 1;
  counts.lineCount = kMax - 1;
  counts.wordCounts.SetValue("word", kMax - 1);
  auto stream = TextInputStream::Open(FolderItem(folder_.Write("input.txt", "word")));
  CountWordsInto(*stream, counts);
  EXPECT_EQ(counts.wordCount, kMax);
  EXPECT_EQ(counts.lineCount, kMax);
  EXPECT_EQ(counts.wordCounts.Value("word").ToInt32(), kMax);
}

TEST(TotalsLine, HasNoSingularFormAndNoFullStop) {
  EXPECT_EQ(TotalsLine(1, 1, 1).ToUtf8(), "1 unique words, 1 words in file, 1 lines in file");
  EXPECT_EQ(TotalsLine(66460, 35900400, 6065280).ToUtf8(),
            "66460 unique words, 35900400 words in file, 6065280 lines in file");
}

// A plain byte loop that splits lines at LF, CRLF and lone CR and takes runs of ASCII letters as
// words. Multi-byte UTF-8 never contains ASCII bytes, so it must agree with the real reader.
std::vector<std::vector<std::string>> ReferenceSplit(const std::string& bytes) {
  std::vector<std::vector<std::string>> lines;
  std::vector<std::string> line;
  std::string word;
  const auto endWord = [&] {
    if (!word.empty()) line.push_back(std::exchange(word, {}));
  };
  for (size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\n' || c == '\r') {
      endWord();
      lines.push_back(std::exchange(line, {}));
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      word += static_cast<char>(c | 0x20);
    } else {
      endWord();
    }
  }
  endWord();
  if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') lines.push_back(line);
  return lines;
}

std::vector<std::vector<std::string>> RealSplit(TextInputStream& stream) {
  std::vector<std::vector<std::string>> lines;
  while (!stream.EOF()) {
    const String line = stream.ReadLine();
    std::vector<std::string> words;
    int32_t position = 1;
    for (String word = Lowercase(GetWord(line, position)); !word.IsEmpty(); word = Lowercase(GetWord(line, position)))
      words.push_back(word.ToUtf8());
    lines.push_back(std::move(words));
  }
  return lines;
}

TEST_F(WordCount, RandomFilesSplitLikeAPlainByteLoop) {
  std::mt19937 random(777);
  const std::vector<std::string> pieces = {"a", "B", "z", "Word", "LONGERWORDS", " ", "  ", "\n", "\r", "\r\n",
                                           "'", "9", "@", "{", std::string(1, '\0'), "\xC3\xA9", "\xE9", "\xFF",
                                           "\xE2\x82", "\xF0\x9F\x98\x80"};
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    const int count = static_cast<int>(random() % 400);
    for (int i = 0; i < count; ++i) {
      if (random() % 8 == 0)
        bytes += static_cast<char>(random() % 256);  // any byte at all
      else
        bytes += pieces[random() % pieces.size()];
    }
    const auto file = folder_.Write("random.txt", bytes);
    const auto expected = ReferenceSplit(bytes);
    {
      auto stream = TextInputStream::Open(FolderItem(file));
      ASSERT_EQ(RealSplit(*stream), expected) << "round " << round;
    }
    ChunkedTextInputStream chunked(file, 1 + random() % 13);
    ASSERT_EQ(RealSplit(chunked), expected) << "round " << round << " in chunks";
  }
}

}  // namespace
