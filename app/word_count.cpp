#include "app/word_count.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "app/word_tokeniser.h"
#include "framework/exceptions.h"
#include "framework/prefetch.h"
#include "framework/yield.h"

// The counter scans the file's bytes rather than decoded lines: a word is a run of ASCII
// letters and a line ends at an ASCII byte, and no byte of a multi-byte UTF-8 character (nor
// any invalid byte) is ASCII, so the bytes give exactly the words and lines that decoding would.

static_assert(std::endian::native == std::endian::little, "the word hashing loads bytes as little-endian integers");

namespace {

using word_tokeniser_detail::IsWordCharacter;

constexpr int64_t kMaxCount = std::numeric_limits<int32_t>::max();
constexpr size_t kDefaultBlockSize = size_t{1} << 20;
constexpr size_t kDefaultChunkSize = size_t{1} << 21;
// Chunks for text in which most words are new: their tables are several times their size, and
// merging them is most of the work, so a few small chunks in flight keep the memory down.
constexpr size_t kSmallChunkSize = size_t{1} << 18;
// Below this a file is counted in well under a tenth of a second on one thread.
constexpr int64_t kDefaultParallelFrom = int64_t{8} << 20;
// Readable bytes after every scanned block and after the key arena, so that 64-byte and
// 8-byte loads never need a bounds check.
constexpr size_t kPadding = 64;
// From this many distinct words on, the words and the index no longer fit in the cache.
constexpr size_t kDefaultLargeTable = size_t{1} << 18;
// Text of mostly new words grows the index at most this many times over at once: a wrong guess
// then costs at most about 85 bytes of index per word so far, and growing by less means
// rehashing millions of words again, a fifth more time on a file of all-new words.
constexpr double kMostIndexGrowth = 16;

[[noreturn]] void ThrowTooMany(const char* what) {
  throw OverflowException(std::string("The file has more than 2147483647 ") + what +
                          "; counts beyond that are not supported.");
}

[[noreturn]] void ThrowTooOften(std::string_view word) {
  throw OverflowException("The word \"" + std::string(word) +
                          "\" occurs more than 2147483647 times; counts beyond that are not supported.");
}

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

// The count table: the distinct words in a TextColumn in order of first occurrence, their
// counts beside them, and an open-addressing index of 4-byte slots over the two. A slot holds
// the entry's number + 1 in its low bits and some bits of the word's hash above them, so most
// mismatches are seen without touching the words. The words and counts are the caller's
// WordCounts; the index is the table's own and goes with it.
class WordTable {
 public:
  // Indexes the words already in `counts` (none, or the result of an earlier count). From
  // `largeFrom` distinct words on, lookups fetch the words ahead.
  WordTable(WordCounts& counts, size_t largeFrom)
      : words_(counts.words), occurrences_(counts.occurrences), largeFrom_(largeFrom) {
    std::vector<char>& bytes = words_.Bytes();
    used_ = bytes.size();
    bytes.resize(used_ + kPadding);
    KeepPointers();
    Rehash(occurrences_.size());
  }
  ~WordTable() { Release(); }
  WordTable(const WordTable&) = delete;
  WordTable& operator=(const WordTable&) = delete;

  // Room for a file of `fileSize` bytes without regrowing. Only address space is taken: pages
  // that are never written cost no memory.
  void Reserve(int64_t fileSize) {
    if (fileSize <= 0) return;
    const auto bytes = static_cast<size_t>(std::min<int64_t>(fileSize, int64_t{256} << 20));
    words_.Bytes().reserve(used_ + bytes + kPadding);
    words_.Offsets().reserve(words_.Offsets().size() + bytes / 2 + 1);
    occurrences_.reserve(occurrences_.size() + bytes / 2 + 1);
    KeepPointers();
  }

  // Grows the index at once to hold `entries` words rather than step by step, if it would have
  // to grow anyway to hold `soon` words.
  void GrowIndexAhead(size_t soon, size_t entries) {
    if (CapacityFor(soon) > capacity_) Rehash(std::max(soon, entries));
  }

  // Brings the index slot where a word of this hash is looked for into the cache.
  void Prefetch(uint64_t hash) const { ::Prefetch(slots_.get() + Home(hash)); }

  // The entry a word of this hash probably is, going by the index alone (its slot fetched by
  // Prefetch), as entry + 1; 0 if it is probably new. Only a hint for the two below: a lookup
  // that matches an entry waits first for its offset and then for its letters, and fetching
  // them for a whole batch ahead of the lookups lets those waits overlap.
  uint32_t Candidate(uint64_t hash) const {
    const uint32_t tag = Tag(hash);
    size_t at = Home(hash);
    for (int probes = 0; probes < 4; ++probes) {
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
          if (count > kMaxCount - times) ThrowTooOften(Lowered(key.letters, key.length));
          count += times;
          return;
        }
      }
      if (++at == capacity_) at = 0;
    }
    Insert(at, tag, key.letters, key.length, times);
  }

  // Empties the table but keeps its memory, for the next chunk.
  void Clear() {
    words_.Offsets().assign(1, 0);
    occurrences_.clear();
    used_ = 0;
    KeepPointers();
    std::fill(slots_.get(), slots_.get() + capacity_, 0u);
  }

  // Frees the index and leaves the words and counts as a plain WordCounts. Room reserved for a
  // file that turned out to hold far fewer words is given back, not handed on to the list.
  void Release() {
    slots_.reset();
    capacity_ = 0;
    words_.Bytes().resize(used_);
    ShrinkIfMostlyEmpty(words_.Bytes());
    ShrinkIfMostlyEmpty(words_.Offsets());
    ShrinkIfMostlyEmpty(occurrences_);
    KeepPointers();
  }

 private:
  template <typename Vector>
  static void ShrinkIfMostlyEmpty(Vector& vector) {
    if (vector.capacity() - vector.size() > vector.size()) vector.shrink_to_fit();
  }

  void KeepPointers() {
    bytes_ = words_.Bytes().data();
    bytesSize_ = words_.Bytes().size();
    offsets_ = words_.Offsets().data();
    counts_ = occurrences_.data();
  }

  struct FreeDeleter {
    void operator()(uint32_t* slots) const { std::free(slots); }
  };

  size_t Home(uint64_t hash) const { return static_cast<size_t>(((hash >> 32) * capacity_) >> 32); }
  uint32_t Tag(uint64_t hash) const { return static_cast<uint32_t>(hash) & tagMask_; }

  static std::string Lowered(const char* letters, size_t length) {
    std::string word(letters, length);
    for (char& c : word) c = static_cast<char>(c | 0x20);
    return word;
  }

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

  __attribute__((noinline)) void Insert(size_t at, uint32_t tag, const char* letters, size_t length, int32_t times) {
    const size_t entry = occurrences_.size();
    if (entry >= static_cast<size_t>(kMaxCount))
      throw OverflowException("More than 2147483647 distinct words are not supported.");
    if (length > std::numeric_limits<uint32_t>::max() - used_)
      throw OverflowException("More than 4 GiB of distinct words are not supported.");
    if (used_ + length + kPadding > bytesSize_) GrowBytes(length);
    // Eight bytes at a time; what lands past the word is padding, overwritten by the next one.
    char* out = bytes_ + used_;
    for (size_t i = 0; i < length; i += 8) {
      const uint64_t lowered = Load8(letters + i) | kCaseBits;
      std::memcpy(out + i, &lowered, 8);
    }
    used_ += length;
    std::vector<uint32_t>& offsets = words_.Offsets();
    offsets.push_back(static_cast<uint32_t>(used_));
    offsets_ = offsets.data();
    occurrences_.push_back(times);
    counts_ = occurrences_.data();
    slots_[at] = tag | static_cast<uint32_t>(entry + 1);
    if ((entry + 1) * 4 > capacity_ * 3) Rehash(entry + 1);
  }

  // The words' bytes grow some way ahead of the words, so that most new words need no resize
  // (each one a call that fills the new bytes with zeros).
  __attribute__((noinline)) void GrowBytes(size_t length) {
    std::vector<char>& bytes = words_.Bytes();
    const size_t needed = used_ + length + kPadding;
    bytes.resize(std::max(needed, std::min(bytes.capacity(), needed + (size_t{16} << 10))));
    KeepPointers();
  }

  // Capacities run 64, 96, 128, 192, 256, ...: growing by half or a third at a time keeps the
  // index of a file full of distinct words from ending up twice the size it needs.
  static size_t NextCapacity(size_t capacity) {
    return std::has_single_bit(capacity) ? capacity + capacity / 2 : std::bit_ceil(capacity);
  }

  // The smallest capacity that holds `entries` with the index at most three quarters full.
  static size_t CapacityFor(size_t entries) {
    size_t capacity = 64;
    while (entries * 4 > capacity * 3) capacity = NextCapacity(capacity);
    return capacity;
  }

  // Rebuilds the index with room for `entries`.
  void Rehash(size_t entries) {
    const size_t capacity = CapacityFor(entries);
    if (capacity > (size_t{1} << 32)) throw OverflowException("More than 2147483647 distinct words are not supported.");
    auto* fresh = static_cast<uint32_t*>(std::calloc(capacity, sizeof(uint32_t)));
    if (fresh == nullptr) throw std::bad_alloc();
    slots_.reset(fresh);
    capacity_ = capacity;
    const int indexBits = std::bit_width(capacity);
    tagMask_ = indexBits >= 32 ? 0 : ~((uint32_t{1} << indexBits) - 1);
    const std::vector<uint32_t>& offsets = words_.Offsets();
    const char* bytes = words_.Bytes().data();
    const size_t count = occurrences_.size();
    // Hashes run a few entries ahead so that the slots they land on are fetched in time.
    constexpr size_t kAhead = 8;
    uint64_t hashes[kAhead];
    for (size_t entry = 0; entry < count + kAhead; ++entry) {
      if (entry >= kAhead) {
        const uint64_t hash = hashes[entry % kAhead];
        size_t at = Home(hash);
        while (slots_[at] != 0)
          if (++at == capacity_) at = 0;
        slots_[at] = Tag(hash) | static_cast<uint32_t>(entry - kAhead + 1);
      }
      if (entry < count) {
        hashes[entry % kAhead] = MakeKey(bytes + offsets[entry], offsets[entry + 1] - offsets[entry]).hash;
        Prefetch(hashes[entry % kAhead]);
      }
    }
  }

  TextColumn& words_;
  std::vector<int32_t>& occurrences_;
  size_t largeFrom_;
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
};

// The most words counted in one batch.
constexpr size_t kMostInBatch = 128;

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

// Adds the words and counts of a later part of the text, in their order of first occurrence.
// The later table must still hold its padding (not be released).
void Merge(WordTable& table, const WordCounts& later) {
  const std::vector<uint32_t>& offsets = later.words.Offsets();
  const char* bytes = later.words.Bytes().data();
  const int32_t* times = later.occurrences.data();
  constexpr size_t kBatch = 64;
  for (size_t first = 0; first < later.occurrences.size(); first += kBatch) {
    const size_t count = std::min(kBatch, later.occurrences.size() - first);
    CountBatch(
        table, count,
        [&](size_t i) {
          const size_t entry = first + i;
          return std::pair<const char*, size_t>(bytes + offsets[entry], offsets[entry + 1] - offsets[entry]);
        },
        [&](size_t i) { return times[first + i]; });
  }
}

// Line ends and words found so far. A CRLF split between two blocks is one line end.
struct ScanTotals {
  int64_t lineEnds = 0;
  int64_t words = 0;
  bool lastWasCarriageReturn = false;
};

struct ByteMasks {
  uint64_t letters = 0, lineFeeds = 0, carriageReturns = 0;
};

// Bit i of each mask describes byte i of the 64 at `bytes`.
inline ByteMasks Classify64(const char* bytes) {
  ByteMasks masks;
#if defined(__SSE2__)
  // IsWordCharacter on 16 bytes at a time: (c | 0x20) - 'a' < 26 as an unsigned byte, done as
  // a signed comparison after moving 'a' to -128.
  const __m128i caseBit = _mm_set1_epi8(0x20);
  const __m128i shift = _mm_set1_epi8(static_cast<char>(0x80 - 'a'));
  const __m128i limit = _mm_set1_epi8(static_cast<char>(-128 + 26));
  const __m128i lineFeed = _mm_set1_epi8('\n');
  const __m128i carriageReturn = _mm_set1_epi8('\r');
  for (int part = 0; part < 4; ++part) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
    const __m128i letter = _mm_cmplt_epi8(_mm_add_epi8(_mm_or_si128(b, caseBit), shift), limit);
    masks.letters |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(letter))) << (16 * part);
    masks.lineFeeds |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, lineFeed))))
                       << (16 * part);
    masks.carriageReturns |=
        static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, carriageReturn))))
        << (16 * part);
  }
#else
  for (int i = 0; i < 64; ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    masks.letters |= static_cast<uint64_t>(IsWordCharacter(c)) << i;
    masks.lineFeeds |= static_cast<uint64_t>(c == '\n') << i;
    masks.carriageReturns |= static_cast<uint64_t>(c == '\r') << i;
  }
#endif
  return masks;
}

// Built twice on x86-64, with and without the POPCNT instruction, the right one picked when the
// program loads: without it every count of line ends would be a library call.
#if defined(__x86_64__) && defined(__GNUC__)
#define WITH_POPCNT_IF_PRESENT __attribute__((target_clones("popcnt", "default")))
#else
#define WITH_POPCNT_IF_PRESENT
#endif

// Counts the words and line ends of [begin, end), which ends after a non-letter or at the end
// of the file (so no word runs on into the next block) and has kPadding readable bytes after it.
WITH_POPCNT_IF_PRESENT
void ScanBlock(const char* begin, const char* end, WordTable& table, ScanTotals& totals) {
  // Words are found a batch at a time, then hashed (their index slots fetched meanwhile), then
  // counted: three short loops rather than one long one.
  const char* starts[kMostInBatch];
  uint32_t lengths[kMostInBatch];
  size_t found = 0;
  int64_t words = 0;
  const auto countBatch = [&] {
    CountBatch(
        table, found, [&](size_t i) { return std::pair<const char*, size_t>(starts[i], lengths[i]); },
        [](size_t) { return 1; });
    words += static_cast<int64_t>(found);
    found = 0;
  };
  uint64_t inWord = 0;
  uint64_t carriageReturnBefore = totals.lastWasCarriageReturn ? 1 : 0;
  const char* wordStart = begin;
  int64_t lineEnds = 0;
  for (const char* group = begin; group < end; group += 64) {
    const auto valid = static_cast<size_t>(end - group);
    const uint64_t validBits = valid >= 64 ? ~uint64_t{0} : (uint64_t{1} << valid) - 1;
    const ByteMasks masks = Classify64(group);
    const uint64_t letters = masks.letters & validBits;
    const uint64_t carriageReturns = masks.carriageReturns & validBits;
    // A CR and the LF just after it are one line end.
    const uint64_t lineFeedsAlone = masks.lineFeeds & validBits & ~((carriageReturns << 1) | carriageReturnBefore);
    lineEnds += std::popcount(carriageReturns | lineFeedsAlone);
    carriageReturnBefore = carriageReturns >> 63;
    // Each set bit is where a word starts or ends, alternately.
    uint64_t changes = letters ^ ((letters << 1) | inWord);
    while (changes != 0) {
      const char* at = group + std::countr_zero(changes);
      changes &= changes - 1;
      if (inWord == 0) {
        wordStart = at;
        inWord = 1;
      } else {
        starts[found] = wordStart;
        lengths[found] = static_cast<uint32_t>(at - wordStart);
        ++found;
        inWord = 0;
      }
    }
    if (found > kMostInBatch - 64) countBatch();
  }
  if (inWord != 0) {
    starts[found] = wordStart;
    lengths[found] = static_cast<uint32_t>(end - wordStart);
    ++found;
  }
  countBatch();
  totals.lineEnds += lineEnds;
  totals.words += words;
  if (end != begin) totals.lastWasCarriageReturn = end[-1] == '\r';
}

// Reads the stream in blocks that each end just after a non-letter, or at the end of the file,
// so that no word is split between two blocks; the letters after the last non-letter of a read
// wait for the next block.
class BlockReader {
 public:
  BlockReader(TextInputStream& stream, size_t blockSize) : stream_(stream), blockSize_(blockSize) {}

  // Fills `buffer` with the next block and returns its size, 0 at the end. kPadding bytes after
  // the block are readable.
  size_t Next(std::vector<char>& buffer) {
    size_t size = carry_.size();
    if (buffer.size() < std::max(blockSize_, size + 1) + kPadding) buffer.resize(std::max(blockSize_, size + 1) + kPadding);
    std::memcpy(buffer.data(), carry_.data(), size);
    carry_.clear();
    for (;;) {
      const size_t room = buffer.size() - kPadding - size;
      const size_t got = atEnd_ ? 0 : stream_.ReadBlock(buffer.data() + size, room);
      size += got;
      if (got < room) atEnd_ = true;  // ReadBlock fills the room unless the file has ended
      if (atEnd_) break;
      size_t cut = size;
      while (cut > 0 && IsWordCharacter(static_cast<unsigned char>(buffer[cut - 1]))) --cut;
      if (cut > 0) {
        carry_.assign(buffer.data() + cut, size - cut);
        size = cut;
        break;
      }
      // A block of letters only: one word longer than the block, which grows to hold it.
      if (size > static_cast<size_t>(kMaxCount)) throw OverflowException("A word longer than 2147483647 letters is not supported.");
      buffer.resize(buffer.size() * 2);
    }
    if (size > 0) lastByte_ = static_cast<unsigned char>(buffer[size - 1]);
    std::memset(buffer.data() + size, 0, kPadding);
    return size;
  }

  // Text after the last line end is one more line.
  bool EndsInsideALine() const { return !IsLineEndByte(lastByte_); }
  void SetBlockSize(size_t blockSize) { blockSize_ = blockSize; }
  size_t BlockSize() const { return blockSize_; }
  // Whether the block handed out last ended in CR: an LF at the start of the next one is then
  // part of the same line end.
  bool LastByteWasCarriageReturn() const { return lastByte_ == '\r'; }

 private:
  TextInputStream& stream_;
  size_t blockSize_;
  std::string carry_;
  bool atEnd_ = false;
  // An empty file ends as if after a line end: it has no lines.
  unsigned char lastByte_ = '\n';
};

// Raises as soon as the totals so far are past the limits, rather than at the end of the file.
void CheckTotals(const WordCounts& counts, const ScanTotals& totals) {
  if (totals.lineEnds + counts.lineCount > kMaxCount) ThrowTooMany("lines");
  if (totals.words + counts.wordCount > kMaxCount) ThrowTooMany("words");
}

void AddTotals(WordCounts& counts, ScanTotals totals, bool oneMoreLine) {
  if (oneMoreLine) ++totals.lineEnds;
  CheckTotals(counts, totals);
  counts.lineCount += static_cast<int32_t>(totals.lineEnds);
  counts.wordCount += static_cast<int32_t>(totals.words);
}

uint32_t Passes(size_t bytes) { return static_cast<uint32_t>(std::min<size_t>(bytes, std::numeric_limits<uint32_t>::max())); }

// A piece of text whose words were mostly new to the whole table, not just to the piece: then
// the table grows with every piece, merging is most of the work on threads, and the index
// keeps regrowing. Text whose vocabulary merely keeps growing, as prose does, is not this: most
// of its words are repeats of earlier ones however many distinct words each piece holds.
bool MostlyNew(size_t newWords, int64_t words) { return static_cast<int64_t>(newWords) * 2 > words; }

// For text of mostly new words, grows the index at once to what the rest of the file would add
// at the rate of the last piece, rather than rehashing it again and again (each time touching
// every word). The first piece tells nothing (every word is new to an empty table), and the
// rest of the file may be of another kind, so the index grows only when the next piece of the
// same kind would make it grow anyway, and then at most kMostIndexGrowth-fold.
void ReserveForNewWords(WordTable& table, size_t wordsBefore, size_t wordsAfter, size_t bytes, int64_t bytesLeft) {
  if (wordsBefore == 0 || bytesLeft <= 0 || bytes == 0) return;
  const double perByte = static_cast<double>(wordsAfter - wordsBefore) / static_cast<double>(bytes);
  const double expected = perByte * static_cast<double>(bytesLeft);
  const double most = static_cast<double>(wordsAfter) * (kMostIndexGrowth - 1);
  table.GrowIndexAhead(wordsAfter + (wordsAfter - wordsBefore), wordsAfter + static_cast<size_t>(std::min(expected, most)));
}

// After a piece of `words` words and `bytes` bytes has been counted into the table: whether its
// words were mostly new, with the index grown for more of the same.
bool AfterPiece(WordTable& table, size_t wordsBefore, size_t wordsAfter, int64_t words, size_t bytes, int64_t bytesLeft) {
  if (!MostlyNew(wordsAfter - wordsBefore, words)) return false;
  ReserveForNewWords(table, wordsBefore, wordsAfter, bytes, bytesLeft);
  return true;
}

void CountOnOneThread(TextInputStream& stream, int64_t fileSize, WordCounts& counts, size_t blockSize, size_t largeFrom) {
  WordTable table(counts, largeFrom);
  table.Reserve(fileSize);
  BlockReader reader(stream, blockSize);
  ScanTotals totals;
  std::vector<char> buffer;
  int64_t bytesRead = 0;
  while (const size_t size = reader.Next(buffer)) {
    const size_t wordsBefore = counts.occurrences.size();
    const int64_t wordCountBefore = totals.words;
    ScanBlock(buffer.data(), buffer.data() + size, table, totals);
    CheckTotals(counts, totals);
    bytesRead += static_cast<int64_t>(size);
    AfterPiece(table, wordsBefore, counts.occurrences.size(), totals.words - wordCountBefore, size, fileSize - bytesRead);
    RuntimeBackgroundTasks(Passes(size));
  }
  table.Release();
  AddTotals(counts, totals, reader.EndsInsideALine());
}

// A piece of the file counted by a worker into a table of its own. Chunks are recycled, so that
// their buffers and tables are faulted in once rather than for every piece.
struct Chunk {
  explicit Chunk(size_t largeFrom) : table(counts, largeFrom) {}
  std::vector<char> buffer;
  size_t size = 0;
  WordCounts counts;
  WordTable table;  // over `counts`
  ScanTotals totals;  // set up by the reader (whether a CR came just before), filled by the worker
  std::exception_ptr error;
  bool counted = false;  // guarded by the pool's mutex
};

// Worker threads that count chunks. They touch nothing but the chunk they are given: no yield
// hook and no toolkit code runs on them.
class ChunkWorkers {
 public:
  explicit ChunkWorkers(unsigned count) {
    threads_.reserve(count);
    try {
      for (unsigned i = 0; i < count; ++i) threads_.emplace_back([this] { Work(); });
    } catch (...) {
      Stop();
      throw;
    }
  }
  ~ChunkWorkers() { Stop(); }
  ChunkWorkers(const ChunkWorkers&) = delete;
  ChunkWorkers& operator=(const ChunkWorkers&) = delete;

  void Submit(Chunk& chunk) {
    {
      std::lock_guard lock(mutex_);
      chunk.counted = false;
      queue_.push_back(&chunk);
    }
    workAvailable_.notify_one();
  }

  // Waits until `chunk` is counted, calling `whileWaiting` every few milliseconds meanwhile.
  template <typename Function>
  void WaitFor(const Chunk& chunk, Function whileWaiting) {
    std::unique_lock lock(mutex_);
    while (!chunkCounted_.wait_for(lock, std::chrono::milliseconds(10), [&] { return chunk.counted; })) {
      lock.unlock();
      whileWaiting();
      lock.lock();
    }
  }

 private:
  void Stop() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    workAvailable_.notify_all();
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
  }

  void Work() {
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

  std::mutex mutex_;
  std::condition_variable workAvailable_;
  std::condition_variable chunkCounted_;
  std::deque<Chunk*> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

// The file is cut into chunks (after a non-letter, as blocks are), counted by the workers, and
// merged on the caller's thread in file order, so that every count and the order of first
// occurrence come out as on one thread. The caller's thread reads, merges and runs the yield
// hook; at most a few chunks more than there are workers are in memory at once.
void CountOnManyThreads(TextInputStream& stream, int64_t fileSize, WordCounts& counts, size_t chunkSize,
                        unsigned workerCount, size_t largeFrom) {
  WordTable table(counts, largeFrom);
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
        chunk = std::make_unique<Chunk>(largeFrom);
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
    workers.WaitFor(*oldest, [] { RuntimeBackgroundTasks(4096); });  // enough passes to look at the clock
    if (oldest->error) std::rethrow_exception(oldest->error);
    const size_t wordsBefore = counts.occurrences.size();
    Merge(table, oldest->counts);
    mergedBytes += static_cast<int64_t>(oldest->size);
    totals.lineEnds += oldest->totals.lineEnds;
    totals.words += oldest->totals.words;
    CheckTotals(counts, totals);
    RuntimeBackgroundTasks(Passes(oldest->size));
    if (AfterPiece(table, wordsBefore, counts.occurrences.size(), oldest->totals.words, oldest->size,
                   fileSize - mergedBytes)) {
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

}  // namespace

void CountWordsInto(TextInputStream& stream, WordCounts& counts, const CountOptions& options) {
  const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
  const unsigned threads = std::min(options.threads != 0 ? options.threads : hardware, hardware);
  const int64_t parallelFrom = options.parallelFrom >= 0 ? options.parallelFrom : kDefaultParallelFrom;
  const int64_t fileSize = stream.SizeHint();
  const size_t largeFrom = options.largeTableFrom >= 0 ? static_cast<size_t>(options.largeTableFrom) : kDefaultLargeTable;
  if (threads > 1 && fileSize >= parallelFrom)
    CountOnManyThreads(stream, fileSize, counts, options.chunkSize != 0 ? options.chunkSize : kDefaultChunkSize,
                       threads - 1, largeFrom);
  else
    CountOnOneThread(stream, fileSize, counts, options.blockSize != 0 ? options.blockSize : kDefaultBlockSize,
                     largeFrom);
}

WordCounts CountWords(TextInputStream& stream, const CountOptions& options) {
  WordCounts counts;
  CountWordsInto(stream, counts, options);
  return counts;
}

std::vector<uint32_t> SortedOrder(const WordCounts& counts) {
  // A stable radix sort on the counts, 16 bits at a time: equal counts keep the table's order.
  // The first pass places the row numbers straight from their order in the table, and counts
  // below 65536 (nearly always all of them) need no second pass.
  const std::vector<int32_t>& keys = counts.occurrences;
  const size_t n = keys.size();
  std::vector<uint32_t> order(n);
  if (n < 2) {
    if (n == 1) order[0] = 0;
    return order;
  }
  std::vector<uint32_t> starts(size_t{1} << 16);
  uint32_t high = 0;
  for (const int32_t key : keys) {
    ++starts[static_cast<uint32_t>(key) & 0xFFFF];
    high |= static_cast<uint32_t>(key) >> 16;
  }
  const auto prefixSums = [&] {
    uint32_t sum = 0;
    for (uint32_t& start : starts) sum += std::exchange(start, sum);
  };
  prefixSums();
  if (high == 0) {
    for (size_t i = 0; i < n; ++i) order[starts[static_cast<uint32_t>(keys[i])]++] = static_cast<uint32_t>(i);
    return order;
  }
  std::vector<uint32_t> byLowBits(n);
  for (size_t i = 0; i < n; ++i) byLowBits[starts[static_cast<uint32_t>(keys[i]) & 0xFFFF]++] = static_cast<uint32_t>(i);
  std::fill(starts.begin(), starts.end(), 0);
  for (const int32_t key : keys) ++starts[static_cast<uint32_t>(key) >> 16];
  prefixSums();
  for (const uint32_t index : byLowBits) order[starts[static_cast<uint32_t>(keys[index]) >> 16]++] = index;
  return order;
}

String TotalsLine(int32_t uniqueWords, int32_t wordCount, int32_t lineCount) {
  return Str(uniqueWords) + " unique words, " + Str(wordCount) + " words in file, " + Str(lineCount) +
         " lines in file";
}
