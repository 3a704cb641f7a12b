#include "app/word_count.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "app/word_tokeniser.h"
#include "framework/exceptions.h"
#include "framework/yield.h"

// The counter scans the file's bytes rather than decoded lines: a word is a run of ASCII
// letters and a line ends at an ASCII byte, and no byte of a multi-byte UTF-8 character (nor
// any invalid byte) is ASCII, so the bytes give exactly the words and lines that decoding would.

static_assert(std::endian::native == std::endian::little, "the word hashing loads bytes as little-endian integers");

namespace {

using word_tokeniser_detail::IsWordCharacter;

constexpr int64_t kMaxCount = std::numeric_limits<int32_t>::max();
constexpr size_t kDefaultBlockSize = size_t{1} << 20;
// Readable bytes after every scanned block and after the key arena, so that 64-byte and
// 8-byte loads never need a bounds check.
constexpr size_t kPadding = 64;

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

// The low `count` bytes (1..8) of a 64-bit load.
inline uint64_t LowBytes(size_t count) { return count >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * count)) - 1; }

constexpr uint64_t kCaseBits = 0x2020202020202020ull;

inline uint64_t Mix(uint64_t h) {
  h ^= h >> 32;
  h *= 0xd6e8feb86659fd93ull;
  h ^= h >> 32;
  return h;
}

// Hash of a lower-case word; `lowered` has readable bytes up to a multiple of 8 past its end.
inline uint64_t HashWord(const char* lowered, size_t length) {
  if (length <= 8) return Mix((Load8(lowered) & LowBytes(length)) * 0x9E3779B97F4A7C15ull);
  uint64_t h = length;
  size_t at = 0;
  for (; at + 8 < length; at += 8) h = std::rotl((h ^ Load8(lowered + at)) * 0x9E3779B97F4A7C15ull, 29);
  h ^= Load8(lowered + at) & LowBytes(length - at);
  return Mix(h * 0x9E3779B97F4A7C15ull);
}

// The count table: the distinct words in a TextColumn in order of first occurrence, their
// counts beside them, and an open-addressing index of 4-byte slots over the two. A slot holds
// the entry's number + 1 in its low bits and some bits of the word's hash above them, so most
// mismatches are seen without touching the words. The words and counts are the caller's
// WordCounts; the index is the table's own and goes with it.
class WordTable {
 public:
  // Indexes the words already in `counts` (none, or the result of an earlier count).
  explicit WordTable(WordCounts& counts) : words_(counts.words), occurrences_(counts.occurrences) {
    std::vector<char>& bytes = words_.Bytes();
    used_ = bytes.size();
    bytes.resize(used_ + kPadding);
    Rehash(std::max<size_t>(64, static_cast<size_t>(occurrences_.size()) * 2));
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
  }

  // One more occurrence of the letters [word, word + length), in any case.
  void CountWord(const char* word, size_t length) {
    if (length <= 8) {
      char lowered[8];
      const uint64_t letters = (Load8(word) | kCaseBits) & LowBytes(length);
      std::memcpy(lowered, &letters, 8);
      Count(lowered, length, Mix(letters * 0x9E3779B97F4A7C15ull), 1);
      return;
    }
    if (scratch_.size() < length + 8) scratch_.resize(length + 8);
    for (size_t i = 0; i < length; ++i) scratch_[i] = static_cast<char>(word[i] | 0x20);
    Count(scratch_.data(), length, HashWord(scratch_.data(), length), 1);
  }

  // `times` more occurrences of a word already in lower case.
  void Add(std::string_view lowered, int32_t times) {
    if (scratch_.size() < lowered.size() + 8) scratch_.resize(lowered.size() + 8);
    std::memcpy(scratch_.data(), lowered.data(), lowered.size());
    Count(scratch_.data(), lowered.size(), HashWord(scratch_.data(), lowered.size()), times);
  }

  // Frees the index and leaves the words and counts as a plain WordCounts.
  void Release() {
    slots_.reset();
    capacity_ = 0;
    words_.Bytes().resize(used_);
  }

 private:
  struct FreeDeleter {
    void operator()(uint32_t* slots) const { std::free(slots); }
  };

  size_t Home(uint64_t hash) const { return static_cast<size_t>(((hash >> 32) * capacity_) >> 32); }
  uint32_t Tag(uint64_t hash) const { return static_cast<uint32_t>(hash) & tagMask_; }

  bool Matches(uint32_t entry, const char* lowered, size_t length) const {
    const std::vector<uint32_t>& offsets = words_.Offsets();
    const uint32_t start = offsets[entry];
    if (offsets[entry + 1] - start != length) return false;
    const char* stored = words_.Bytes().data() + start;
    if (length <= 8) return ((Load8(stored) ^ Load8(lowered)) & LowBytes(length)) == 0;
    return std::memcmp(stored, lowered, length) == 0;
  }

  void Count(const char* lowered, size_t length, uint64_t hash, int32_t times) {
    const uint32_t tag = Tag(hash);
    size_t at = Home(hash);
    for (;;) {
      const uint32_t slot = slots_[at];
      if (slot == 0) break;
      if ((slot & tagMask_) == tag) {
        const uint32_t entry = (slot & ~tagMask_) - 1;
        if (Matches(entry, lowered, length)) {
          int32_t& count = occurrences_[entry];
          if (count > kMaxCount - times) ThrowTooOften(std::string_view(lowered, length));
          count += times;
          return;
        }
      }
      if (++at == capacity_) at = 0;
    }
    Insert(at, tag, lowered, length, times);
  }

  void Insert(size_t at, uint32_t tag, const char* lowered, size_t length, int32_t times) {
    const size_t entry = occurrences_.size();
    if (entry >= static_cast<size_t>(kMaxCount))
      throw OverflowException("More than 2147483647 distinct words are not supported.");
    if (length > std::numeric_limits<uint32_t>::max() - used_)
      throw OverflowException("More than 4 GiB of distinct words are not supported.");
    std::vector<char>& bytes = words_.Bytes();
    bytes.resize(used_ + length + kPadding);
    std::memcpy(bytes.data() + used_, lowered, length);
    used_ += length;
    words_.Offsets().push_back(static_cast<uint32_t>(used_));
    occurrences_.push_back(times);
    slots_[at] = tag | static_cast<uint32_t>(entry + 1);
    if ((entry + 1) * 4 > capacity_ * 3) Rehash(NextCapacity(capacity_));
  }

  // Capacities run 64, 96, 128, 192, 256, ...: growing by half or a third at a time keeps the
  // index of a file full of distinct words from ending up twice the size it needs.
  static size_t NextCapacity(size_t capacity) {
    return std::has_single_bit(capacity) ? capacity + capacity / 2 : std::bit_ceil(capacity);
  }

  void Rehash(size_t minimum) {
    size_t capacity = 64;
    while (capacity < minimum) capacity = NextCapacity(capacity);
    if (capacity > (size_t{1} << 32)) throw OverflowException("More than 2147483647 distinct words are not supported.");
    auto* fresh = static_cast<uint32_t*>(std::calloc(capacity, sizeof(uint32_t)));
    if (fresh == nullptr) throw std::bad_alloc();
    slots_.reset(fresh);
    capacity_ = capacity;
    const int indexBits = std::bit_width(capacity);
    tagMask_ = indexBits >= 32 ? 0 : ~((uint32_t{1} << indexBits) - 1);
    const std::vector<uint32_t>& offsets = words_.Offsets();
    const char* bytes = words_.Bytes().data();
    for (size_t entry = 0; entry < occurrences_.size(); ++entry) {
      const uint64_t hash = HashWord(bytes + offsets[entry], offsets[entry + 1] - offsets[entry]);
      size_t at = Home(hash);
      while (slots_[at] != 0)
        if (++at == capacity_) at = 0;
      slots_[at] = Tag(hash) | static_cast<uint32_t>(entry + 1);
    }
  }

  TextColumn& words_;
  std::vector<int32_t>& occurrences_;
  size_t used_ = 0;  // bytes of words; words_.Bytes() has kPadding more while counting
  std::unique_ptr<uint32_t[], FreeDeleter> slots_;
  size_t capacity_ = 0;
  uint32_t tagMask_ = 0;
  std::string scratch_;
};

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

// Counts the words and line ends of [begin, end), which ends after a non-letter or at the end
// of the file (so no word runs on into the next block) and has kPadding readable bytes after it.
void ScanBlock(const char* begin, const char* end, WordTable& table, ScanTotals& totals) {
  uint64_t inWord = 0;
  uint64_t carriageReturnBefore = totals.lastWasCarriageReturn ? 1 : 0;
  const char* wordStart = begin;
  int64_t lineEnds = 0, words = 0;
  for (const char* group = begin; group < end; group += 64) {
    const auto valid = static_cast<size_t>(end - group);
    const uint64_t validBits = valid >= 64 ? ~uint64_t{0} : (uint64_t{1} << valid) - 1;
    const ByteMasks masks = Classify64(group);
    const uint64_t letters = masks.letters & validBits;
    const uint64_t lineFeeds = masks.lineFeeds & validBits;
    const uint64_t carriageReturns = masks.carriageReturns & validBits;
    // A CR and the LF just after it are one line end.
    lineEnds += std::popcount(lineFeeds) + std::popcount(carriageReturns) -
                std::popcount(lineFeeds & ((carriageReturns << 1) | carriageReturnBefore));
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
        table.CountWord(wordStart, static_cast<size_t>(at - wordStart));
        ++words;
        inWord = 0;
      }
    }
  }
  if (inWord != 0) {
    table.CountWord(wordStart, static_cast<size_t>(end - wordStart));
    ++words;
  }
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
    if (size > 0) {
      totalBytes_ += size;
      lastByte_ = static_cast<unsigned char>(buffer[size - 1]);
    }
    std::memset(buffer.data() + size, 0, kPadding);
    return size;
  }

  // Text after the last line end is one more line.
  bool EndsInsideALine() const { return totalBytes_ > 0 && !IsLineEndByte(lastByte_); }

 private:
  TextInputStream& stream_;
  size_t blockSize_;
  std::string carry_;
  bool atEnd_ = false;
  uint64_t totalBytes_ = 0;
  unsigned char lastByte_ = 0;
};

void AddTotals(WordCounts& counts, const ScanTotals& totals, bool oneMoreLine) {
  const int64_t lines = int64_t{counts.lineCount} + totals.lineEnds + (oneMoreLine ? 1 : 0);
  const int64_t words = int64_t{counts.wordCount} + totals.words;
  if (lines > kMaxCount) ThrowTooMany("lines");
  if (words > kMaxCount) ThrowTooMany("words");
  counts.lineCount = static_cast<int32_t>(lines);
  counts.wordCount = static_cast<int32_t>(words);
}

void CountOnOneThread(TextInputStream& stream, WordCounts& counts, const CountOptions& options) {
  WordTable table(counts);
  table.Reserve(stream.SizeHint());
  BlockReader reader(stream, options.blockSize != 0 ? options.blockSize : kDefaultBlockSize);
  ScanTotals totals;
  std::vector<char> buffer;
  while (const size_t size = reader.Next(buffer)) {
    ScanBlock(buffer.data(), buffer.data() + size, table, totals);
    if (totals.lineEnds + counts.lineCount > kMaxCount) ThrowTooMany("lines");
    if (totals.words + counts.wordCount > kMaxCount) ThrowTooMany("words");
    RuntimeBackgroundTasks(static_cast<uint32_t>(std::min<size_t>(size, std::numeric_limits<uint32_t>::max())));
  }
  table.Release();
  AddTotals(counts, totals, reader.EndsInsideALine());
}

}  // namespace

void CountWordsInto(TextInputStream& stream, WordCounts& counts, const CountOptions& options) {
  CountOnOneThread(stream, counts, options);
}

WordCounts CountWords(TextInputStream& stream, const CountOptions& options) {
  WordCounts counts;
  CountWordsInto(stream, counts, options);
  return counts;
}

std::vector<uint32_t> SortedOrder(const WordCounts& counts) {
  // A stable radix sort on the counts, 16 bits at a time: equal counts keep the table's order.
  const std::vector<int32_t>& keys = counts.occurrences;
  const size_t n = keys.size();
  std::vector<uint32_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = static_cast<uint32_t>(i);
  if (n < 2) return order;
  const auto largest = static_cast<uint32_t>(*std::max_element(keys.begin(), keys.end()));
  std::vector<uint32_t> sorted(n);
  std::vector<size_t> starts(size_t{1} << 16);
  for (int shift = 0; shift < 32 && (shift == 0 || (largest >> shift) != 0); shift += 16) {
    std::fill(starts.begin(), starts.end(), 0);
    for (const int32_t key : keys) ++starts[(static_cast<uint32_t>(key) >> shift) & 0xFFFF];
    size_t sum = 0;
    for (size_t& start : starts) sum += std::exchange(start, sum);
    for (const uint32_t index : order) sorted[starts[(static_cast<uint32_t>(keys[index]) >> shift) & 0xFFFF]++] = index;
    order.swap(sorted);
  }
  return order;
}

String TotalsLine(int32_t uniqueWords, int32_t wordCount, int32_t lineCount) {
  return Str(uniqueWords) + " unique words, " + Str(wordCount) + " words in file, " + Str(lineCount) +
         " lines in file";
}
