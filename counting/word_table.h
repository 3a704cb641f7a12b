#pragma once
// The count table: the distinct words of a text with their counts, in order of first
// occurrence, and an index to find them by. Words are looked up a batch at a time, so that the
// cache misses of a batch overlap.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "counting/word_counts.h"
#include "counting/tuning.h"
#include "framework/prefetch.h"

static_assert(std::endian::native == std::endian::little, "the word hashing loads bytes as little-endian integers");

namespace counting {

constexpr int64_t kMaxCount = std::numeric_limits<int32_t>::max();

inline uint64_t Load8(const char* bytes) {
  uint64_t value;
  std::memcpy(&value, bytes, 8);
  return value;
}

// `|` with this lower-cases eight ASCII letters at once.
constexpr uint64_t kCaseBits = 0x2020202020202020ull;

// The low `count` bytes (0..8) of a 64-bit load, from a table so that no branch depends on the
// length of a word.
constexpr uint64_t kLowBytes[9] = {0,
                                   0xFFull,
                                   0xFFFFull,
                                   0xFFFFFFull,
                                   0xFFFFFFFFull,
                                   0xFFFFFFFFFFull,
                                   0xFFFFFFFFFFFFull,
                                   0xFFFFFFFFFFFFFFull,
                                   ~uint64_t{0}};
inline uint64_t LowBytes(size_t count) { return kLowBytes[count]; }

// A word of at most 16 letters as two lower-case 64-bit halves, zero past its end. Most words
// are this short, and for them hashing and comparing take no branch on the length.
struct ShortWord {
  uint64_t first, second;
};
inline ShortWord LoadShortWord(const char* letters, size_t length) {
  const size_t inFirst = length < 8 ? length : 8;
  const size_t inSecond = length - inFirst;
  return {(Load8(letters) | kCaseBits) & LowBytes(inFirst), (Load8(letters + 8) | kCaseBits) & LowBytes(inSecond)};
}
constexpr size_t kShortWord = 16;

inline uint64_t Mix(uint64_t h) {
  h ^= h >> 32;
  h *= 0xd6e8feb86659fd93ull;
  h ^= h >> 32;
  return h;
}

inline uint64_t HashShortWord(const ShortWord& word) {
  return Mix((word.first * 0x9E3779B97F4A7C15ull) ^ (word.second * 0xC2B2AE3D27D4EB4Full));
}

inline uint64_t HashLongWord(const char* letters, size_t length) {
  uint64_t h = length;
  size_t at = 0;
  for (; at + 8 < length; at += 8)
    h = std::rotl((h ^ (Load8(letters + at) | kCaseBits)) * 0x9E3779B97F4A7C15ull, 29);
  h ^= (Load8(letters + at) | kCaseBits) & LowBytes(length - at);
  return Mix(h * 0x9E3779B97F4A7C15ull);
}

// A word ready for the table: its letters in any case (or already in lower case: `|` with the
// case bits changes nothing then), their number, the hash of the lower-case form and, for a
// word of at most 16 letters, its lower-case halves. Up to 16 bytes past the end are read.
struct WordKey {
  const char* letters;
  size_t length;
  ShortWord halves;  // zero for a longer word
  uint64_t hash;
};

inline WordKey MakeKey(const char* letters, size_t length) {
  if (length <= kShortWord) {
    const ShortWord halves = LoadShortWord(letters, length);
    return {letters, length, halves, HashShortWord(halves)};
  }
  return {letters, length, {0, 0}, HashLongWord(letters, length)};
}

[[noreturn]] void ThrowTooOften(const char* letters, size_t length);

enum class Hashing { kSpread, kEveryWordAlikeForTesting };

struct TableSettings {
  size_t largeFrom;  // from this many distinct words on, lookups fetch the words ahead
  Hashing hashing;
};

// The distinct words in a TextColumn in order of first occurrence, their counts beside them,
// and an open-addressing index of 4-byte slots over the two. A slot holds the entry's number + 1
// in its low bits and some bits of the word's hash above them, so most mismatches are seen
// without touching the words. The words and counts are the caller's WordCounts; the index is
// the table's own and goes with it.
class WordTable {
 public:
  // Indexes the words already in `counts` (none, or the result of an earlier count).
  WordTable(WordCounts& counts, const TableSettings& settings);
  ~WordTable() { Release(); }
  WordTable(const WordTable&) = delete;
  WordTable& operator=(const WordTable&) = delete;

  // Room for a file of `fileSize` bytes without regrowing. Only address space is taken: pages
  // that are never written cost no memory.
  void Reserve(int64_t fileSize);
  // Grows the index at once to hold `entries` words rather than step by step, if it would have
  // to grow anyway to hold `soon` words.
  void GrowIndexAhead(size_t soon, size_t entries) {
    if (CapacityFor(soon) > capacity_) Rehash(std::max(soon, entries));
  }
  size_t WordCount() const { return occurrences_.size(); }

  // Brings the index slot where a word of this hash is looked for into the cache.
  void Prefetch(uint64_t hash) const { ::Prefetch(slots_.get() + Home(hash)); }

  // The entry a word of this hash probably is, going by the index alone (its slot fetched by
  // Prefetch), as entry + 1; 0 if it is probably new. Only a hint for the two below: a lookup
  // that matches an entry waits first for its offset and then for its letters, and fetching
  // them for a whole batch ahead of the lookups lets those waits overlap.
  uint32_t Candidate(uint64_t hash) const {
    const uint32_t tag = Tag(hash);
    size_t at = Home(hash);
    for (int probes = 0; probes < kGuessProbes; ++probes) {
      const uint32_t slot = slots_[at];
      if (slot == 0) return 0;
      if ((slot & tagMask_) == tag) return slot & ~tagMask_;
      if (++at == capacity_) at = 0;
    }
    return 0;
  }
  // Whether the words are too many to stay in the cache, so that fetching them ahead pays.
  bool Large() const { return occurrences_.size() >= largeFrom_; }
  void PrefetchOffset(uint32_t candidate) const {
    ::Prefetch(offsets_ + candidate - 1);
    ::Prefetch(counts_ + candidate - 1);
  }
  void PrefetchLetters(uint32_t candidate) const { ::Prefetch(bytes_ + offsets_[candidate - 1]); }

  // `times` more occurrences of a word.
  __attribute__((always_inline)) void Count(const WordKey& key, int32_t times) {
    const uint32_t tag = Tag(key.hash);
    size_t at = Home(key.hash);
    for (;;) {
      const uint32_t slot = slots_[at];
      if (slot == 0) break;
      if ((slot & tagMask_) == tag) {
        const uint32_t entry = (slot & ~tagMask_) - 1;
        if (Matches(entry, key)) {
          int32_t& count = counts_[entry];
          if (count > kMaxCount - times) ThrowTooOften(key.letters, key.length);
          count += times;
          return;
        }
      }
      if (++at == capacity_) at = 0;
    }
    Insert(at, tag, key.letters, key.length, times);
  }

  // Empties the table but keeps its memory, for the next chunk.
  void Clear();
  // Frees the index and leaves the words and counts as a plain WordCounts. Room reserved for a
  // file that turned out to hold far fewer words is given back, not handed on to the list.
  void Release();

 private:
  void KeepPointers() {
    bytes_ = words_.Bytes().data();
    bytesSize_ = words_.Bytes().size();
    offsets_ = words_.Offsets().data();
    counts_ = occurrences_.data();
  }

  struct FreeDeleter {
    void operator()(uint32_t* index) const { std::free(index); }
  };

  size_t Home(uint64_t hash) const { return static_cast<size_t>(((hash >> 32) * homeScale_) >> 32); }
  uint32_t Tag(uint64_t hash) const { return static_cast<uint32_t>(hash) & hashTagMask_; }

  bool Matches(uint32_t entry, const WordKey& key) const {
    const uint32_t start = offsets_[entry];
    const size_t length = key.length;
    if (offsets_[entry + 1] - start != length) return false;
    const char* stored = bytes_ + start;
    if (length <= kShortWord) {
      // The stored letters are lower-case already, so loading them as a key changes none.
      const ShortWord halves = LoadShortWord(stored, length);
      return ((halves.first ^ key.halves.first) | (halves.second ^ key.halves.second)) == 0;
    }
    size_t at = 0;
    for (; at + 8 < length; at += 8)
      if (Load8(stored + at) != (Load8(key.letters + at) | kCaseBits)) return false;
    return ((Load8(stored + at) ^ (Load8(key.letters + at) | kCaseBits)) & LowBytes(length - at)) == 0;
  }

  __attribute__((noinline)) void Insert(size_t at, uint32_t tag, const char* letters, size_t length, int32_t times);
  __attribute__((noinline)) void GrowBytes(size_t length);
  static size_t CapacityFor(size_t entries);
  void Rehash(size_t entries);

  TextColumn& words_;
  std::vector<int32_t>& occurrences_;
  size_t largeFrom_;
  Hashing hashing_;
  size_t used_ = 0;  // bytes of words; words_.Bytes() has at least kPadding more while counting
  // The blocks of the three vectors, kept here so that a lookup need not reach them through
  // the vectors after every store; KeepPointers renews them whenever a vector may have moved.
  char* bytes_ = nullptr;
  size_t bytesSize_ = 0;
  const uint32_t* offsets_ = nullptr;
  int32_t* counts_ = nullptr;
  std::unique_ptr<uint32_t[], FreeDeleter> slots_;
  size_t capacity_ = 0;
  uint32_t tagMask_ = 0;
  // What a hash is scaled by to a slot, and the bits of it kept in the slot: capacity_ and
  // tagMask_, or both zero when every word is to collide.
  size_t homeScale_ = 0;
  uint32_t hashTagMask_ = 0;
};

// Counts a batch of hashed words whose index slots were prefetched, for a table too big for the
// cache: the offsets of the entries they probably match are fetched for the whole batch, then
// their letters, then the words are counted in order.
template <typename Times>
__attribute__((noinline)) void CountBatchFetchingAhead(WordTable& table, const WordKey* keys, size_t count, Times times) {
  uint32_t candidates[kMostInBatch];
  for (size_t i = 0; i < count; ++i) {
    candidates[i] = table.Candidate(keys[i].hash);
    if (candidates[i] != 0) table.PrefetchOffset(candidates[i]);
  }
  for (size_t i = 0; i < count; ++i)
    if (candidates[i] != 0) table.PrefetchLetters(candidates[i]);
  for (size_t i = 0; i < count; ++i) table.Count(keys[i], times(i));
}

// Counts a batch of at most kMostInBatch words: word(i) gives the letters and length of the
// i-th, times(i) how often it occurs. All are hashed first, their index slots fetched meanwhile.
template <typename Word, typename Times>
__attribute__((always_inline)) inline void CountBatch(WordTable& table, size_t count, Word word, Times times) {
  WordKey keys[kMostInBatch];
  for (size_t i = 0; i < count; ++i) {
    const auto [letters, length] = word(i);
    keys[i] = MakeKey(letters, length);
    table.Prefetch(keys[i].hash);
  }
  if (table.Large()) {
    CountBatchFetchingAhead(table, keys, count, times);
    return;
  }
  for (size_t i = 0; i < count; ++i) table.Count(keys[i], times(i));
}

// Adds the words and counts of text that comes later, in their order of first occurrence.
// The later table must still hold its padding (not be released).
void Merge(WordTable& table, const WordCounts& later);

}  // namespace counting
