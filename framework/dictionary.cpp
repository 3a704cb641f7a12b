#include "framework/dictionary.h"

#include <bit>
#include <cstdlib>
#include <limits>
#include <new>
#include <string>

#include "framework/exceptions.h"

namespace {
// The table grows when it would become more than 7/8 full.
bool TooFull(uint64_t count, uint64_t capacity) { return count * 8 > capacity * 7; }
}  // namespace

void Dictionary::FreeDeleter::operator()(void* memory) const noexcept { std::free(memory); }

Dictionary::Dictionary() = default;

Dictionary::Dictionary(const Dictionary& other) { CopyFrom(other); }

Dictionary::Dictionary(Dictionary&& other) noexcept
    : count_(std::exchange(other.count_, 0)),
      slots_(std::move(other.slots_)),
      capacity_(std::exchange(other.capacity_, 0)),
      indexMask_(std::exchange(other.indexMask_, 0)) {
  for (int k = 0; k < kSegments; ++k) segments_[k] = std::move(other.segments_[k]);
  other.cacheValid_ = false;
}

Dictionary& Dictionary::operator=(const Dictionary& other) {
  if (this != &other) {
    Dictionary copy(other);
    *this = std::move(copy);
  }
  return *this;
}

Dictionary& Dictionary::operator=(Dictionary&& other) noexcept {
  if (this != &other) {
    DestroyAll();
    for (int k = 0; k < kSegments; ++k) segments_[k] = std::move(other.segments_[k]);
    count_ = std::exchange(other.count_, 0);
    slots_ = std::move(other.slots_);
    capacity_ = std::exchange(other.capacity_, 0);
    indexMask_ = std::exchange(other.indexMask_, 0);
    cacheValid_ = false;
    cacheKey_ = Variant();
    other.cacheValid_ = false;
  }
  return *this;
}

Dictionary::~Dictionary() { DestroyAll(); }

void Dictionary::DestroyAll() noexcept {
  for (int32_t i = 0; i < count_; ++i) EntryAt(i).~Entry();
  for (auto& segment : segments_) segment.reset();
  count_ = 0;
  slots_.reset();
  capacity_ = 0;
  indexMask_ = 0;
  cacheValid_ = false;
}

void Dictionary::CopyFrom(const Dictionary& other) {
  Reserve(static_cast<size_t>(other.count_));
  for (int32_t i = 0; i < other.count_; ++i) SetValue(other.KeyAt(i), other.ValueAt(i));
}

void Dictionary::ThrowKeyNotFound(const Variant& key) {
  throw KeyNotFoundException("The key \"" + key.ToString().ToUtf8() + "\" is not in the dictionary.");
}

void Dictionary::Insert(const Variant& key, const Variant& value) {
  Location where = cache_;  // Locate has just found where the key would go
  if (count_ == std::numeric_limits<int32_t>::max())
    throw OverflowException("A dictionary cannot hold more than 2147483647 keys.");
  const uint32_t index = static_cast<uint32_t>(count_);
  // Storage for the new entry: a segment is allocated, uninitialised, when its first entry arrives.
  const int segment = SegmentOf(index);
  if (!segments_[segment]) {
    const size_t size = size_t{1} << (segment + kFirstSegmentBits);
    void* memory = std::malloc(size * sizeof(Entry));
    if (memory == nullptr) throw std::bad_alloc();
    segments_[segment].reset(static_cast<Entry*>(memory));
  }
  if (capacity_ == 0 || TooFull(uint64_t{index} + 1, capacity_)) {
    Rehash(capacity_ == 0 ? 16 : capacity_ * 2);
    where = Find(key);
  }
  new (&EntryAt(static_cast<int32_t>(index))) Entry{key, value};
  ++count_;
  slots_.get()[where.slot] = where.hashTag | (index + 1);
  where.index = static_cast<int32_t>(index);
  cache_ = where;
  cacheKey_ = key;
  cacheValid_ = true;
}

void Dictionary::Rehash(uint64_t newCapacity) {
  if (newCapacity > (uint64_t{1} << 32)) throw std::bad_alloc();
  void* memory = std::calloc(newCapacity, sizeof(uint32_t));
  if (memory == nullptr) throw std::bad_alloc();
  slots_.reset(static_cast<uint32_t*>(memory));
  capacity_ = newCapacity;
  indexMask_ = static_cast<uint32_t>(newCapacity - 1);
  cacheValid_ = false;
  const uint64_t mask = newCapacity - 1;
  uint32_t* slots = slots_.get();
  for (int32_t i = 0; i < count_; ++i) {
    const size_t hash = EntryAt(i).key.Hash();
    uint64_t position = hash & mask;
    while (slots[position] != 0) position = (position + 1) & mask;
    slots[position] = TagOf(hash) | static_cast<uint32_t>(i + 1);
  }
}

Variant Dictionary::Key(int32_t index) const {
  if (index < 0 || index >= count_)
    throw OutOfBoundsException("Dictionary key index " + std::to_string(index) + " is outside 0 to " +
                               std::to_string(count_ - 1) + ".");
  // Value(Key(i)) is the usual next call: let the cache answer it without a lookup.
  const Entry& entry = EntryAt(index);
  cacheKey_ = entry.key;
  cache_ = Location{index, 0, 0};
  cacheValid_ = true;
  return entry.key;
}

void Dictionary::Reserve(size_t n) {
  if (n > static_cast<size_t>(std::numeric_limits<int32_t>::max())) n = std::numeric_limits<int32_t>::max();
  uint64_t capacity = capacity_ == 0 ? 16 : capacity_;
  while (TooFull(n, capacity)) capacity *= 2;
  if (capacity != capacity_) Rehash(capacity);
}
