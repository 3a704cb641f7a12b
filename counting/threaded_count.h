#pragma once
// Counting a file on worker threads, cut into chunks and merged in file order.

#include <cstddef>
#include <cstdint>

#include "counting/word_counts.h"
#include "counting/word_table.h"
#include "framework/text_input_stream.h"

namespace counting {

// The file is cut into chunks (after a non-letter, as blocks are), counted by `workerCount`
// workers, and merged on the caller's thread in file order, so that every count and the order
// of first occurrence come out as on one thread. The caller's thread reads, merges and runs the
// yield hook; at most two chunks more than there are workers are in memory at once. While the
// words are mostly new to the table, the caller's thread counts them itself in blocks of
// `blockSize`, as on one thread, since merging them would cost as much: so threads never do
// worse than one.
void CountOnManyThreads(TextInputStream& stream, int64_t fileSize, WordCounts& counts, size_t blockSize,
                        size_t chunkSize, unsigned workerCount, const TableSettings& settings);

}  // namespace counting
