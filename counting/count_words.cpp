#include "counting/count_words.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "counting/between_blocks.h"
#include "counting/block_reader.h"
#include "counting/byte_scan.h"
#include "counting/threaded_count.h"
#include "counting/tuning.h"
#include "counting/word_table.h"
#include "framework/yield.h"

namespace {

using namespace counting;

void CountOnOneThread(TextInputStream& stream, int64_t fileSize, WordCounts& counts, size_t blockSize,
                      const TableSettings& settings) {
  WordTable table(counts, settings);
  table.Reserve(fileSize);
  BlockReader reader(stream, blockSize);
  ScanTotals totals;
  std::vector<char> buffer;
  int64_t bytesRead = 0;
  while (const size_t size = reader.Next(buffer)) {
    const size_t wordsBefore = table.WordCount();
    const int64_t wordCountBefore = totals.words;
    ScanBlock(buffer.data(), buffer.data() + size, table, totals);
    CheckTotals(counts, totals);
    bytesRead += static_cast<int64_t>(size);
    JudgeNewWords(table, wordsBefore, table.WordCount(), totals.words - wordCountBefore, size, fileSize - bytesRead);
    RuntimeBackgroundTasks(Passes(size));
  }
  table.Release();
  AddTotals(counts, totals, reader.End());
}

template <typename Number>
Number OrDefault(Number value, Number fallback) {
  return value != 0 ? value : fallback;
}

}  // namespace

void CountWordsInto(TextInputStream& stream, WordCounts& counts, const CountOptions& options) {
  const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
  unsigned threads = OrDefault(options.threads, hardware);
  if (!options.threadsBeyondProcessorsForTesting) threads = std::min(threads, hardware);
  const int64_t fileSize = stream.SizeHint();
  const TableSettings settings{
      .largeFrom = OrDefault(options.largeTableFrom, kDefaultLargeTable),
      .hashing = options.everyWordCollidesForTesting ? Hashing::kEveryWordAlikeForTesting : Hashing::kSpread};
  const bool onThreads = threads > 1 && fileSize >= OrDefault(options.parallelFrom, kDefaultParallelFrom);
  if (options.workersStartedForTesting != nullptr) *options.workersStartedForTesting = onThreads ? threads - 1 : 0;
  const size_t blockSize = OrDefault(options.blockSize, kDefaultBlockSize);
  if (onThreads)
    CountOnManyThreads(stream, fileSize, counts, blockSize, OrDefault(options.chunkSize, kDefaultChunkSize), threads - 1,
                       settings);
  else
    CountOnOneThread(stream, fileSize, counts, blockSize, settings);
}

WordCounts CountWords(TextInputStream& stream, const CountOptions& options) {
  WordCounts counts;
  CountWordsInto(stream, counts, options);
  return counts;
}
