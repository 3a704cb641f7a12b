#pragma once
// Worker threads that count chunks of a file, each into a table of its own.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "counting/byte_scan.h"
#include "counting/word_counts.h"
#include "counting/tuning.h"
#include "counting/word_table.h"

namespace counting {

// A chunk of the file counted by a worker into a table of its own. Chunks are recycled, so that
// their buffers and tables are faulted in once rather than for every chunk.
struct Chunk {
  explicit Chunk(const TableSettings& settings) : table(counts, settings) {}
  std::vector<char> buffer;
  size_t size = 0;
  WordCounts counts;
  WordTable table;  // over `counts`
  ScanTotals totals;  // set up by the reader (whether a CR came just before), filled by the worker
  std::exception_ptr error;
  bool counted = false;  // guarded by the pool's mutex
};

// They touch nothing but the chunk they are given: no yield hook and no toolkit code runs on
// them.
class ChunkWorkers {
 public:
  explicit ChunkWorkers(unsigned count);
  ~ChunkWorkers() { Stop(); }
  ChunkWorkers(const ChunkWorkers&) = delete;
  ChunkWorkers& operator=(const ChunkWorkers&) = delete;

  void Submit(Chunk& chunk);

  // Waits until `chunk` is counted, calling `whileWaiting` every kWaitBetweenYields meanwhile.
  template <typename Function>
  void WaitFor(const Chunk& chunk, Function whileWaiting) {
    std::unique_lock lock(mutex_);
    while (!chunkCounted_.wait_for(lock, kWaitBetweenYields, [&] { return chunk.counted; })) {
      lock.unlock();
      whileWaiting();
      lock.lock();
    }
  }

 private:
  void Stop();
  void Work();

  std::mutex mutex_;
  std::condition_variable workAvailable_;
  std::condition_variable chunkCounted_;
  std::deque<Chunk*> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace counting
