#include "counting/threaded_count.h"

#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "counting/between_blocks.h"
#include "counting/block_reader.h"
#include "counting/chunk_workers.h"
#include "counting/tuning.h"
#include "framework/yield.h"

namespace counting {

void CountOnManyThreads(TextInputStream& stream, int64_t fileSize, WordCounts& counts, size_t blockSize,
                        size_t chunkSize, unsigned workerCount, const TableSettings& settings) {
  WordTable table(counts, settings);
  table.Reserve(fileSize);
  BlockReader reader(stream, blockSize);
  ScanTotals totals;
  int64_t bytesDone = 0;
  // Until a block shows otherwise, the words are taken to be mostly new (as the first block's
  // all are): merging a worker's table of them would cost as much as counting them here.
  bool mostlyNew = true;
  const auto addBlock = [&](size_t size, const ScanTotals& block, size_t wordsBefore) {
    bytesDone += static_cast<int64_t>(size);
    totals.lineEnds += block.lineEnds;
    totals.words += block.words;
    CheckTotals(counts, totals);
    RuntimeBackgroundTasks(Passes(size));
    mostlyNew = JudgeNewWords(table, wordsBefore, table.WordCount(), block.words, size, fileSize - bytesDone);
    reader.SetBlockSize(mostlyNew ? blockSize : chunkSize);
  };
  std::vector<char> buffer;
  const size_t mostInFlight = workerCount + 2;
  std::vector<std::unique_ptr<Chunk>> spare;
  std::deque<std::unique_ptr<Chunk>> inFlight;
  // Declared after the chunks, so that the workers stop before any chunk goes away.
  ChunkWorkers workers(workerCount);
  bool readAll = false;
  for (;;) {
    while (!readAll && !mostlyNew && inFlight.size() < mostInFlight) {
      std::unique_ptr<Chunk> chunk;
      if (spare.empty()) {
        chunk = std::make_unique<Chunk>(settings);
      } else {
        chunk = std::move(spare.back());
        spare.pop_back();
      }
      chunk->totals = ScanTotals{.lastWasCarriageReturn = reader.LastByteWasCarriageReturn()};
      chunk->size = reader.Next(chunk->buffer);
      if (chunk->size == 0) {
        readAll = true;
        break;
      }
      workers.Submit(*chunk);
      inFlight.push_back(std::move(chunk));
    }
    if (inFlight.empty()) {
      if (readAll) break;
      // Mostly new words, and every chunk before them merged: the caller counts the next block
      // into the table itself, as on one thread.
      ScanTotals block{.lastWasCarriageReturn = reader.LastByteWasCarriageReturn()};
      const size_t size = reader.Next(buffer);
      if (size == 0) break;
      const size_t wordsBefore = table.WordCount();
      ScanBlock(buffer.data(), buffer.data() + size, table, block);
      addBlock(size, block, wordsBefore);
      continue;
    }
    std::unique_ptr<Chunk> oldest = std::move(inFlight.front());
    inFlight.pop_front();
    // Each wait counts as enough passes of the yield hook for it to look at the clock.
    workers.WaitFor(*oldest, [] { RuntimeBackgroundTasks(kPassesPerClockCheck); });
    if (oldest->error) std::rethrow_exception(oldest->error);
    const size_t wordsBefore = table.WordCount();
    Merge(table, oldest->counts);
    addBlock(oldest->size, oldest->totals, wordsBefore);
    // Keep the chunk for reuse unless there are enough, or a word longer than a chunk grew it.
    // While the words are mostly new no chunk is needed, and each would keep a table of them.
    if (mostlyNew)
      spare.clear();
    else if (spare.size() + inFlight.size() < mostInFlight && oldest->buffer.size() <= chunkSize + kPadding)
      spare.push_back(std::move(oldest));
  }
  table.Release();
  AddTotals(counts, totals, reader.End());
}

}  // namespace counting
