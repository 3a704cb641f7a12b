#include "counting/word_table.h"

#include <algorithm>
#include <new>
#include <string>

#include "framework/ascii_case.h"
#include "framework/exceptions.h"

namespace counting {

namespace {

template <typename Vector>
void ShrinkIfMostlyEmpty(Vector& vector) {
  if (vector.capacity() - vector.size() > vector.size()) vector.shrink_to_fit();
}

// Capacities run 64, 96, 128, 192, 256, ...: growing by half or a third at a time keeps the
// index of a file full of distinct words from ending up twice the size it needs.
size_t NextCapacity(size_t capacity) {
  return std::has_single_bit(capacity) ? capacity + capacity / 2 : std::bit_ceil(capacity);
}

}  // namespace

void ThrowTooOften(const char* letters, size_t length) {
  std::string word(letters, length);
  for (char& c : word) c = FoldAscii(c);
  throw OverflowException("The word \"" + word +
                          "\" occurs more than 2147483647 times; counts beyond that are not supported.");
}

WordTable::WordTable(WordCounts& counts, const TableSettings& settings)
    : words_(counts.words),
      occurrences_(counts.occurrences),
      largeFrom_(settings.largeFrom),
      hashing_(settings.hashing) {
  std::vector<char>& bytes = words_.Bytes();
  used_ = bytes.size();
  bytes.resize(used_ + kPadding);
  KeepPointers();
  Rehash(occurrences_.size());
}

void WordTable::Reserve(int64_t fileSize) {
  if (fileSize <= 0) return;
  const auto bytes = static_cast<size_t>(std::min(fileSize, kMostReservedBytes));
  words_.Bytes().reserve(used_ + bytes + kPadding);
  words_.Offsets().reserve(words_.Offsets().size() + bytes / 2 + 1);
  occurrences_.reserve(occurrences_.size() + bytes / 2 + 1);
  KeepPointers();
}

void WordTable::Clear() {
  words_.Offsets().assign(1, 0);
  occurrences_.clear();
  used_ = 0;
  KeepPointers();
  std::fill(slots_.get(), slots_.get() + capacity_, 0u);
}

void WordTable::Release() {
  slots_.reset();
  capacity_ = 0;
  words_.Bytes().resize(used_);
  ShrinkIfMostlyEmpty(words_.Bytes());
  ShrinkIfMostlyEmpty(words_.Offsets());
  ShrinkIfMostlyEmpty(occurrences_);
  KeepPointers();
}

void WordTable::Insert(size_t at, uint32_t tag, const char* letters, size_t length, int32_t times) {
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

void WordTable::GrowBytes(size_t length) {
  std::vector<char>& bytes = words_.Bytes();
  const size_t needed = used_ + length + kPadding;
  bytes.resize(std::max(needed, std::min(bytes.capacity(), needed + kWordBytesAhead)));
  KeepPointers();
}

// The smallest capacity that holds `entries` with the index at most three quarters full.
size_t WordTable::CapacityFor(size_t entries) {
  size_t capacity = 64;
  while (entries * 4 > capacity * 3) capacity = NextCapacity(capacity);
  return capacity;
}

// Rebuilds the index with room for `entries`.
void WordTable::Rehash(size_t entries) {
  const size_t capacity = CapacityFor(entries);
  if (capacity > (size_t{1} << 32)) throw OverflowException("More than 2147483647 distinct words are not supported.");
  auto* fresh = static_cast<uint32_t*>(std::calloc(capacity, sizeof(uint32_t)));
  if (fresh == nullptr) throw std::bad_alloc();
  slots_.reset(fresh);
  capacity_ = capacity;
  const int indexBits = std::bit_width(capacity);
  tagMask_ = indexBits >= 32 ? 0 : ~((uint32_t{1} << indexBits) - 1);
  homeScale_ = hashing_ == Hashing::kSpread ? capacity_ : 0;
  hashTagMask_ = hashing_ == Hashing::kSpread ? tagMask_ : 0;
  const std::vector<uint32_t>& offsets = words_.Offsets();
  const char* bytes = words_.Bytes().data();
  const size_t count = occurrences_.size();
  uint64_t hashes[kRehashAhead];
  for (size_t entry = 0; entry < count + kRehashAhead; ++entry) {
    if (entry >= kRehashAhead) {
      const uint64_t hash = hashes[entry % kRehashAhead];
      size_t at = Home(hash);
      while (slots_[at] != 0)
        if (++at == capacity_) at = 0;
      slots_[at] = Tag(hash) | static_cast<uint32_t>(entry - kRehashAhead + 1);
    }
    if (entry < count) {
      hashes[entry % kRehashAhead] = MakeKey(bytes + offsets[entry], offsets[entry + 1] - offsets[entry]).hash;
      Prefetch(hashes[entry % kRehashAhead]);
    }
  }
}

void Merge(WordTable& table, const WordCounts& later) {
  const std::vector<uint32_t>& offsets = later.words.Offsets();
  const char* bytes = later.words.Bytes().data();
  const int32_t* times = later.occurrences.data();
  for (size_t first = 0; first < later.occurrences.size(); first += kMergeBatch) {
    const size_t count = std::min(kMergeBatch, later.occurrences.size() - first);
    CountBatch(
        table, count,
        [&](size_t i) {
          const size_t entry = first + i;
          return std::pair<const char*, size_t>(bytes + offsets[entry], offsets[entry + 1] - offsets[entry]);
        },
        [&](size_t i) { return times[first + i]; });
  }
}

}  // namespace counting
