#include "counting/count_words.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "counting/after_piece.h"
#include "counting/block_reader.h"
#include "counting/byte_scan.h"
#include "counting/threaded_count.h"
#include "counting/tuning.h"
#include "counting/word_table.h"
#include "framework/yield.h"

namespace {

using namespace counting;

void CountOnOneThread(TextInputStream& stream, int64_t fileSize, WordCounts& counts, size_t blockSize, size_t largeFrom) {
  WordTable table(counts, largeFrom);
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
    AfterPiece(table, wordsBefore, table.WordCount(), totals.words - wordCountBefore, size, fileSize - bytesRead);
    RuntimeBackgroundTasks(Passes(size));
  }
  table.Release();
  AddTotals(counts, totals, reader.EndsInsideALine());
}

template <typename Number>
Number OrDefault(Number value, Number fallback) {
  return value != 0 ? value : fallback;
}

}  // namespace

void CountWordsInto(TextInputStream& stream, WordCounts& counts, const CountOptions& options) {
  const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
  const unsigned threads = std::min(OrDefault(options.threads, hardware), hardware);
  const int64_t fileSize = stream.SizeHint();
  const size_t largeFrom = OrDefault(options.largeTableFrom, kDefaultLargeTable);
  if (threads > 1 && fileSize >= OrDefault(options.parallelFrom, kDefaultParallelFrom))
    CountOnManyThreads(stream, fileSize, counts, OrDefault(options.chunkSize, kDefaultChunkSize), threads - 1, largeFrom);
  else
    CountOnOneThread(stream, fileSize, counts, OrDefault(options.blockSize, kDefaultBlockSize), largeFrom);
}

WordCounts CountWords(TextInputStream& stream, const CountOptions& options) {
  WordCounts counts;
  CountWordsInto(stream, counts, options);
  return counts;
}
