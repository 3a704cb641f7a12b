#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "../framework/core_test_support.h"
#include "app/app.h"
#include "app/line_by_line_count.h"
#include "counting/count_words.h"
#include "framework/exceptions.h"
#include "framework/row_sort.h"
#include "framework/yield.h"

using namespace std::string_literals;

// Lists the options by their pieces, not their bytes (one is a pointer); beside CountOptions for lookup.
void PrintTo(const CountOptions& options, std::ostream* out) {
  *out << "block " << options.blockSize << ", chunk " << options.chunkSize << ", threads " << options.threads;
}

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

using Rows = std::vector<std::pair<int32_t, std::string>>;

// What the results window would show: the totals line and the rows in their first order.
struct Concordance {
  std::string totals;
  Rows rows;
};

Concordance Show(const WordCounts& counts) {
  Concordance result;
  result.totals = std::to_string(counts.UniqueWords()) + " unique words, " + std::to_string(counts.wordCount) +
                  " words in file, " + std::to_string(counts.lineCount) + " lines in file";
  for (int32_t i = 0; i < counts.UniqueWords(); ++i)
    result.rows.emplace_back(counts.occurrences[static_cast<size_t>(i)], std::string(counts.words.At(i)));
  std::stable_sort(result.rows.begin(), result.rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return result;
}

// Counts on as many threads as `options` asks for, whatever the processors, and checks that
// a file counted on threads had at least two worker threads.
WordCounts CountOnWorkers(TextInputStream& stream, CountOptions options) {
  unsigned workers = 0;
  options.threadsBeyondProcessorsForTesting = true;
  options.workersStartedForTesting = &workers;
  const bool onThreads = options.threads >= 3 && stream.SizeHint() >= options.parallelFrom && options.parallelFrom > 0;
  WordCounts counts = CountWords(stream, options);
  if (onThreads) { EXPECT_GE(workers, 2u); }
  return counts;
}

// Small blocks and chunks on several threads, so that the edge cases below cross boundaries,
// with every lookup taking the path meant for tables too big for the cache.
const CountOptions kSmallPieces{.blockSize = 7, .chunkSize = 5, .threads = 3, .parallelFrom = 1, .largeTableFrom = 1};

class WordCount : public testing::TestWithParam<CountOptions> {
 protected:
  Concordance Count(const std::string& bytes) {
    return Show(CountOnWorkers(*TextInputStream::Open(FolderItem(folder_.Write("input.txt", bytes))), GetParam()));
  }
  TempFolder folder_;
};

INSTANTIATE_TEST_SUITE_P(OneAndManyThreads, WordCount, testing::Values(CountOptions{}, kSmallPieces),
                         [](const auto& info) { return std::string(info.index == 0 ? "Defaults" : "SmallPieces"); });

// The totals and, where given, the rows in their first order: ascending by count, equal
// counts in the order the words first appear.
TEST_P(WordCount, SmallFilesGiveTheirTotalsAndRows) {
  const std::vector<std::tuple<std::string, const char*, Rows>> cases = {
      {"A cat and the hat.\nThe cat!\nand", "5 unique words, 8 words in file, 3 lines in file",
       {{1, "a"}, {1, "hat"}, {2, "cat"}, {2, "and"}, {2, "the"}}},
      {"The the\nTHE", "1 unique words, 3 words in file, 2 lines in file", {{3, "the"}}},
      // U+0141 (C5 81) ends a word although its low byte is an A; long capital words with Z.
      {"\xC5\x81" "a\xC5\x81" "b ZIGZAGGED\nAMAZINGLY zigzagged", "4 unique words, 5 words in file, 2 lines in file",
       {{1, "a"}, {1, "b"}, {1, "amazingly"}, {2, "zigzagged"}}},
      {"", "0 unique words, 0 words in file, 0 lines in file", {}},
      {"one\r\ntwo\rthree\n\nlast line", "5 unique words, 5 words in file, 5 lines in file", {}},
      // UTF-8, the same words in Latin-1, then broken UTF-8: letters outside ASCII end words.
      {"caf\xC3\xA9 na\xC3\xAFve\ncaf\xE9 na\xEFve\ncaf\xC3 na\xE2\x82ve\n", "3 unique words, 9 words in file, 3 lines in file",
       {}},
  };
  for (const auto& [bytes, totals, rows] : cases) {
    const Concordance c = Count(bytes);
    EXPECT_EQ(c.totals, totals) << testing::PrintToString(bytes);
    if (!rows.empty()) { EXPECT_EQ(c.rows, rows) << testing::PrintToString(bytes); }
  }
}

// A word of 16 letters is the longest kept in two halves: each length either side of it, and
// of 8, must find the word again in other letter case.
TEST_P(WordCount, EveryWordLengthFindsItsWordAgainInOtherCase) {
  const std::string letters = "ThequickbrownfoxjumpsoverthelazydogAGAIN";
  std::string bytes;
  Rows rows;
  for (size_t length = 1; length <= letters.size(); ++length) {
    std::string word = letters.substr(0, length), upper = word;
    for (char& c : word) c = static_cast<char>(c | 0x20);
    for (char& c : upper) c = static_cast<char>(c & ~0x20);
    bytes += word + " " + upper + "\n";
    rows.emplace_back(2, word);
  }
  EXPECT_EQ(Count(bytes).rows, rows);
}

TEST_P(WordCount, ReadErrorInTheMiddleRaisesIOException) {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += "some words on a line\n";
  ChunkedTextInputStream stream(folder_.Write("input.txt", bytes), 4096, /*failingRead=*/3);
  EXPECT_THROW(CountWords(stream, GetParam()), IOException);
}

// Counting goes on from counts near the limits, which no test file could reach.
TEST_P(WordCount, CountsBeyondInt32Raise) {
  // Lines, words and occurrences of "word" before, the bytes counted, and the message (none: fine).
  const std::tuple<int32_t, int32_t, int32_t, std::string, const char*> cases[] = {
      {kMax - 1, 1, 1, "\n\n", "more than 2147483647 lines"},
      {1, kMax - 2, 1, "a b c", "more than 2147483647 words"},
      {1, 1, kMax, "other WORD", "\"word\" occurs more than 2147483647 times"},
      {kMax - 1, kMax - 1, kMax - 1, "word", nullptr},
  };
  for (const auto& [lines, words, occurrences, bytes, message] : cases) {
    WordCounts counts;
    counts.lineCount = lines;
    counts.wordCount = words;
    counts.words.Append("word");
    counts.occurrences = {occurrences};
    auto stream = TextInputStream::Open(FolderItem(folder_.Write("input.txt", bytes)));
    if (message != nullptr) {
      ExpectThrowMentioning<OverflowException>([&] { CountWordsInto(*stream, counts, GetParam()); }, message);
      continue;
    }
    CountWordsInto(*stream, counts, GetParam());
    EXPECT_EQ(Show(counts).totals, "1 unique words, 2147483647 words in file, 2147483647 lines in file");
    EXPECT_EQ(counts.occurrences, std::vector<int32_t>{kMax});
  }
}

std::vector<std::thread::id> yieldThreads;

TEST(WordCountThreads, OnlyTheCallersThreadRunsTheYieldHook) {
  TempFolder folder;
  std::string bytes;
  for (int i = 0; i < 2000; ++i) bytes += "several words on each line\n";
  ChunkedTextInputStream stream(folder.Write("input.txt", bytes), 8192);
  yieldThreads.clear();
  SetBackgroundTaskHandler([] {
    yieldThreads.push_back(std::this_thread::get_id());
    ExpireBackgroundTaskIntervalForTesting();
  });
  ExpireBackgroundTaskIntervalForTesting();  // every look at the clock, on any thread, finds it time
  const WordCounts counts = CountOnWorkers(stream, {.chunkSize = 8192, .threads = 4, .parallelFrom = 1});
  SetBackgroundTaskHandler(nullptr);
  EXPECT_EQ(counts.wordCount, 10000);
  EXPECT_FALSE(yieldThreads.empty());
  for (const std::thread::id thread : yieldThreads) EXPECT_EQ(thread, std::this_thread::get_id());
}

// The engine's counts as the results window first shows them: rows in StableOrderByNumber.
Rows FirstRows(const WordCounts& counts) {
  Rows rows;
  for (const uint32_t i : StableOrderByNumber(counts.occurrences, SortDirection::kAscending))
    rows.emplace_back(counts.occurrences[i], std::string(counts.words.At(static_cast<int32_t>(i))));
  return rows;
}

// The same of the line-by-line count, whose sort has already put them in order.
Rows FirstRows(const LineByLineCounts& counts) {
  Rows rows;
  for (size_t i = 0; i < counts.wordList.size(); ++i) rows.emplace_back(counts.countList[i], counts.wordList[i].ToUtf8());
  return rows;
}

// The count that the engine is held to: File > Open's own steps, line by line through the text
// stream and word by word through App::GetWord, here reading at most `piece` bytes at a time.
LineByLineCounts CountLineByLine(const std::filesystem::path& file, size_t piece) {
  class App application;
  ChunkedTextInputStream stream(file, piece);
  return CountWordsLineByLine(stream, application);
}

void ExpectSameCounts(const WordCounts& actual, const LineByLineCounts& expected, const std::string& context) {
  ASSERT_EQ(std::tie(actual.lineCount, actual.wordCount), std::tie(expected.lineCount, expected.wordCount)) << context;
  ASSERT_EQ(actual.UniqueWords(), expected.uniqueWords) << context;
  ASSERT_EQ(FirstRows(actual), FirstRows(expected)) << context;
}

// Counts texts made of random `pieces` (the first of them `firstText` before its pieces) cut up
// in every way, on up to four threads, against the line-by-line count read in pieces of 1 to
// 13 bytes.
enum class Hashes { kSpread, kAllAlike };

void ExpectEveryCuttingCountsLikeLineByLine(std::mt19937& random, const std::vector<std::string>& pieces,
                                             const std::string& firstText, int rounds, Hashes hashes) {
  TempFolder folder;
  for (int round = 0; round < rounds; ++round) {
    std::string bytes = round == 0 ? firstText : "";
    const int count = static_cast<int>(random() % 600);
    for (int i = 0; i < count; ++i)
      bytes += random() % 8 == 0 ? std::string(1, static_cast<char>(random() % 256)) : pieces[random() % pieces.size()];
    if (round % 50 == 0) bytes += std::string(3000, 'Q');  // a word longer than any block
    const auto file = folder.Write("random.txt", bytes);
    const LineByLineCounts expected = CountLineByLine(file, 1 + round % 13);
    const CountOptions options{.blockSize = 1 + random() % 200,
                               .chunkSize = 1 + random() % 300,
                               .threads = 1 + static_cast<unsigned>(random() % 4),
                               .parallelFrom = 1,
                               .largeTableFrom = round % 2 == 0 ? 1 + random() % 40 : 0,
                               .everyWordCollidesForTesting = hashes == Hashes::kAllAlike};
    ExpectSameCounts(CountOnWorkers(*TextInputStream::Open(FolderItem(file)), options), expected, "round " + std::to_string(round));
    ChunkedTextInputStream chunked(file, 1 + random() % 13);
    ExpectSameCounts(CountOnWorkers(chunked, options), expected, "round " + std::to_string(round) + " in small reads");
  }
}

// Every block size, chunk size, thread count and way of looking words up must give exactly the
// line-by-line count, with line ends, CRLF pairs, NUL, invalid UTF-8 and multi-byte characters next to
// letters at every edge (U+0141 is C5 81 and U+0101 is C4 81: a byte of each is 'A' | 0x80).
TEST(WordCountRandom, EveryWayOfCuttingAFileCountsLikeLineByLine) {
  std::mt19937 random(777);
  const std::vector<std::string> pieces = {
      "a",  "B",  "z",    "Word", "the", "THE",    "LONGERWORDS", "ZYZZYVAZZ", "quizzically", " ",  "  ",
      "\n", "\r", "\r\n", "'",    "9",   "@",      "[",           "`",         "{",           "\0"s, "\xC5\x81",
      "\xC4\x81", "A\xC5\x81" "A", "\xC3\xA9", "\xE9", "\xFF", "\xE2\x82", "\xF0\x9F\x98\x80"};
  std::string distinct;  // many distinct words make the table grow again and again while chunks are merged
  for (int i = 0; i < 60000; ++i) {
    for (int k = 1 + static_cast<int>(random() % 12); k > 0; --k) distinct += static_cast<char>((random() % 2 ? 'a' : 'A') + random() % 26);
    distinct += "\r\n \t.,"[random() % 6];
  }
  ExpectEveryCuttingCountsLikeLineByLine(random, pieces, distinct, 400, Hashes::kSpread);
}

// With every word hashed alike, only the letters tell words apart: words that differ in one
// letter past the eighth or the sixteenth, or in their length alone, must stay apart.
TEST(WordCountRandom, WordsThatCollideInTheIndexCountLikeLineByLine) {
  std::mt19937 random(1414);
  const std::vector<std::string> pieces = {
      "abcdefgh", "abcdefghx", "ABCDEFGHY", "abcdefghxy", "abcdefghyx", "abcdefghijklmnop", "abcdefghijklmnoq",
      "ABCDEFGHIJKLMNOPQ", "abcdefghijklmnopr", "abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrstuvwxyZZ", "a",
      "b", "ab", " ", "\n", "\r\n", "."};
  ExpectEveryCuttingCountsLikeLineByLine(random, pieces, "", 150, Hashes::kAllAlike);
}

// Prose whose vocabulary keeps growing, as real text's does: words drawn by an exponential rank
// from a large pool, so that pieces of mostly new words and of mostly known ones alternate.
TEST(WordCountRandom, GrowingVocabularyInSmallChunksCountsLikeLineByLine) {
  std::mt19937 random(16);
  std::vector<std::string> pool(20000);
  for (std::string& word : pool)
    for (int k = 1 + static_cast<int>(random() % 12); k > 0; --k) word += static_cast<char>('a' + random() % 26);
  std::exponential_distribution<double> rank(1.0 / 400);
  std::string bytes;
  while (bytes.size() < 300000) {
    std::string word = pool[static_cast<size_t>(rank(random)) % pool.size()];
    if (random() % 10 == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
    bytes += word + (random() % 12 == 0 ? ".\n" : " ");
  }
  TempFolder folder;
  const auto file = folder.Write("growing.txt", bytes);
  const LineByLineCounts expected = CountLineByLine(file, 4096);
  for (const size_t chunkSize : {64, 1000, 20000}) {
    const CountOptions options{.blockSize = chunkSize, .chunkSize = chunkSize, .threads = 4, .parallelFrom = 1};
    ExpectSameCounts(CountOnWorkers(*TextInputStream::Open(FolderItem(file)), options), expected, std::to_string(chunkSize));
  }
}

}  // namespace
