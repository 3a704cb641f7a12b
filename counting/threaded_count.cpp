#include "counting/threaded_count.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "counting/after_piece.h"
#include "counting/block_reader.h"
#include "counting/chunk_workers.h"
#include "counting/tuning.h"
#include "framework/yield.h"

namespace counting {

void CountOnManyThreads(TextInputStream& stream, int64_t fileSize, WordCounts& counts, size_t chunkSize,
                        unsigned workerCount, const TableSettings& settings) {
  WordTable table(counts, settings);
  table.Reserve(fileSize);
  BlockReader reader(stream, std::min(chunkSize, kSmallChunkSize));
  ScanTotals totals;
  std::vector<std::unique_ptr<Chunk>> spare;
  std::deque<std::unique_ptr<Chunk>> inFlight;
  // Declared after the chunks, so that the workers stop before any chunk goes away.
  ChunkWorkers workers(workerCount);
  int64_t mergedBytes = 0;
  // Two small chunks in flight until the first one shows what kind of text this is.
  size_t mostInFlight = 2;
  bool readAll = false;
  for (;;) {
    while (!readAll && inFlight.size() < mostInFlight) {
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
    if (inFlight.empty()) break;
    std::unique_ptr<Chunk> oldest = std::move(inFlight.front());
    inFlight.pop_front();
    // Each wait counts as enough passes of the yield hook for it to look at the clock.
    workers.WaitFor(*oldest, [] { RuntimeBackgroundTasks(kPassesPerClockCheck); });
    if (oldest->error) std::rethrow_exception(oldest->error);
    const size_t wordsBefore = table.WordCount();
    Merge(table, oldest->counts);
    mergedBytes += static_cast<int64_t>(oldest->size);
    totals.lineEnds += oldest->totals.lineEnds;
    totals.words += oldest->totals.words;
    CheckTotals(counts, totals);
    RuntimeBackgroundTasks(Passes(oldest->size));
    if (AfterPiece(table, wordsBefore, table.WordCount(), oldest->totals.words, oldest->size, fileSize - mergedBytes)) {
      // Mostly new words: the merging sets the pace and the chunks' tables would cost more
      // memory than the workers save time.
      mostInFlight = 2;
      reader.SetBlockSize(std::min(chunkSize, kSmallChunkSize));
    } else {
      mostInFlight = workerCount + 2;
      reader.SetBlockSize(chunkSize);
    }
    // Keep the chunk for reuse unless there are enough, or it is bigger than chunks are now.
    if (spare.size() + inFlight.size() < mostInFlight && oldest->buffer.size() <= reader.BlockSize() + kPadding)
      spare.push_back(std::move(oldest));
  }
  table.Release();
  AddTotals(counts, totals, reader.EndsInsideALine());
}

}  // namespace counting
