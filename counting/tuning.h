#pragma once
// The numbers the counting engine is tuned by, each with its reason. None of them changes a
// result, only how fast and in how much memory it comes.

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace counting {

// Bytes read at a time on one thread, and by the caller's thread while the words are mostly new:
// reading then costs next to nothing per byte, and a block still fits in the cache beside a
// table of everyday size.
constexpr size_t kDefaultBlockSize = size_t{1} << 20;
// Bytes handed to one worker at a time when the words mostly repeat: a chunk's table is then
// small beside its bytes, and merging it is a small part of counting it.
constexpr size_t kDefaultChunkSize = size_t{1} << 21;
// Below this a file is counted in well under a tenth of a second on one thread.
constexpr int64_t kDefaultParallelFrom = int64_t{8} << 20;
// From this many distinct words on, the words and the index no longer fit in the cache, and
// lookups fetch the words of a whole batch ahead.
constexpr size_t kDefaultLargeTable = size_t{1} << 18;

// Readable bytes after every scanned block and after the stored words, so that 64-byte and
// 8-byte loads never need a bounds check.
constexpr size_t kPadding = 64;
// Room for the words of a file is reserved ahead for at most this many bytes of it. Only address
// space is taken (pages never written cost no memory); a file bigger than this has far fewer
// bytes of distinct words than bytes, and beyond it the words grow as a vector does.
constexpr int64_t kMostReservedBytes = int64_t{256} << 20;
// The stored words grow this far ahead of the words, so that most new words need no resize
// (each one a call that fills the new bytes with zeros).
constexpr size_t kWordBytesAhead = size_t{16} << 10;
// Slots looked at when guessing, before a batch is counted, which word a lookup will match: at
// most three quarters full, nearly every word is found within four, and a wrong guess costs only
// a wasted fetch.
constexpr int kGuessProbes = 4;
// While the index is rebuilt, words are hashed this many entries ahead of their insertion, so
// that the slots they land on have been fetched by then.
constexpr size_t kRehashAhead = 8;
// Text of mostly new words grows the index at most this many times over at once: a wrong guess
// then costs at most about 85 bytes of index per word so far, and growing by less means
// rehashing millions of words again, a fifth more time on a file of all-new words.
constexpr double kMostIndexGrowth = 16;

// The most words counted in one batch: enough for the fetches of their slots and letters to
// overlap, few enough for their keys to stay in the first-level cache.
constexpr size_t kMostInBatch = 128;
// The scanner classifies 64 bytes at a time, and they can end at most 64 words; it counts its
// batch once the next group might not fit.
constexpr size_t kBytesPerScanGroup = 64;
// A chunk's words are merged this many at a time: each also brings its letters and count from
// the chunk's table into the cache, so half a scanner's batch keeps the fetches in flight.
constexpr size_t kMergeBatch = 64;

// How long the caller's thread waits for a worker before it runs the yield hook again: well
// within the hook's own interval, so the program stays as responsive as on one thread.
constexpr std::chrono::milliseconds kWaitBetweenYields{10};

}  // namespace counting
