#include "counting/chunk_workers.h"

namespace counting {

ChunkWorkers::ChunkWorkers(unsigned count) {
  threads_.reserve(count);
  try {
    for (unsigned i = 0; i < count; ++i) threads_.emplace_back([this] { Work(); });
  } catch (...) {
    Stop();
    throw;
  }
}

void ChunkWorkers::Submit(Chunk& chunk) {
  {
    std::lock_guard lock(mutex_);
    chunk.counted = false;
    queue_.push_back(&chunk);
  }
  workAvailable_.notify_one();
}

void ChunkWorkers::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  workAvailable_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

void ChunkWorkers::Work() {
  for (;;) {
    Chunk* chunk;
    {
      std::unique_lock lock(mutex_);
      workAvailable_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      chunk = queue_.front();
      queue_.pop_front();
    }
    try {
      chunk->table.Clear();
      ScanBlock(chunk->buffer.data(), chunk->buffer.data() + chunk->size, chunk->table, chunk->totals);
      chunk->error = nullptr;
    } catch (...) {
      chunk->error = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      chunk->counted = true;
    }
    chunkCounted_.notify_all();
  }
}

}  // namespace counting
