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

const Dictionary::Entry& Dictionary::EntryAt(int32_t index) const {
  const uint32_t i = static_cast<uint32_t>(index);
  if (i < kFirstSegment) return segments_[0].get()[i];
  const int segment = std::bit_width(i >> kFirstSegmentBits);
  return segments_[segment].get()[i - (kFirstSegment << (segment - 1))];
}

Dictionary::Entry& Dictionary::EntryAt(int32_t index) {
  return const_cast<Entry&>(static_cast<const Dictionary*>(this)->EntryAt(index));
}

Dictionary::Location Dictionary::Find(const Variant& key) const {
  Location where;
  where.hash = key.Hash();
  where.index = -1;
  where.slot = 0;
  where.hashTag = TagOf(where.hash);
  if (capacity_ == 0) return where;
  const uint64_t mask = capacity_ - 1;
  const uint32_t* slots = slots_.get();
  uint64_t position = where.hash & mask;
  for (;;) {
    const uint32_t slot = slots[position];
    if (slot == 0) break;
    if ((slot & ~indexMask_) == where.hashTag) {
      const int32_t index = static_cast<int32_t>((slot & indexMask_) - 1);
      if (EntryAt(index).key == key) {
        where.index = index;
        break;
      }
    }
    position = (position + 1) & mask;
  }
  where.slot = position;
  return where;
}

const Dictionary::Location& Dictionary::Locate(const Variant& key) const {
  if (!cacheValid_ || !key.IsIdenticalTo(cacheKey_)) {
    cache_ = Find(key);
    cacheKey_ = key;  // holding the key keeps its bits from being reused by another string
    cacheValid_ = true;
  }
  return cache_;
}

bool Dictionary::HasKey(const Variant& key) const { return Locate(key).index >= 0; }

Variant Dictionary::Value(const Variant& key) const {
  const Location& where = Locate(key);
  if (where.index < 0) throw KeyNotFoundException("The key \"" + key.ToString().ToUtf8() + "\" is not in the dictionary.");
  return EntryAt(where.index).value;
}

void Dictionary::SetValue(const Variant& key, const Variant& value) {
  const Location where = Locate(key);
  if (where.index >= 0) {
    EntryAt(where.index).value = value;
    return;
  }
  Insert(key, value, where);
}

void Dictionary::Insert(const Variant& key, const Variant& value, Location where) {
  if (count_ == std::numeric_limits<int32_t>::max())
    throw OverflowException("A dictionary cannot hold more than 2147483647 keys.");
  const uint32_t index = static_cast<uint32_t>(count_);
  // Storage for the new entry: a segment is allocated, uninitialised, when its first entry arrives.
  const int segment = index < kFirstSegment ? 0 : std::bit_width(index >> kFirstSegmentBits);
  if (!segments_[segment]) {
    const size_t size = segment == 0 ? kFirstSegment : (size_t{kFirstSegment} << (segment - 1));
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
  return EntryAt(index).key;
}

void Dictionary::Reserve(size_t n) {
  if (n > static_cast<size_t>(std::numeric_limits<int32_t>::max())) n = std::numeric_limits<int32_t>::max();
  uint64_t capacity = capacity_ == 0 ? 16 : capacity_;
  while (TooFull(n, capacity)) capacity *= 2;
  if (capacity != capacity_) Rehash(capacity);
}
