#pragma once
// Dictionary: a keyed table of Variants that remembers the order in which keys were first
// entered (Key(i) is the i-th). String keys compare case-sensitively.
//
// Entries sit in segments that double in size and never move, so growing never copies them
// and never holds two copies at once. The hash index is open addressing over 4-byte slots:
// each slot holds an entry number in its low bits and, in the bits the number does not need,
// a fragment of the key's hash, so most misses are decided without touching the entry.
// A one-entry cache makes HasKey, Value and SetValue on the same key cost one lookup.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "framework/variant.h"

class Dictionary {
 public:
  Dictionary();
  Dictionary(const Dictionary& other);
  Dictionary(Dictionary&& other) noexcept;
  Dictionary& operator=(const Dictionary& other);
  Dictionary& operator=(Dictionary&& other) noexcept;
  ~Dictionary();

  bool HasKey(const Variant& key) const { return Locate(key).index >= 0; }
  // KeyNotFoundException when `key` is absent.
  Variant Value(const Variant& key) const {
    const Location& where = Locate(key);
    if (where.index < 0) ThrowKeyNotFound(key);
    return EntryAt(where.index).value;
  }
  void SetValue(const Variant& key, const Variant& value) {
    const Location& where = Locate(key);
    if (where.index >= 0)
      EntryAt(where.index).value = value;
    else
      Insert(key, value);
  }
  int32_t Count() const { return count_; }
  // OutOfBoundsException outside 0 .. Count() - 1.
  Variant Key(int32_t index) const;
  void Reserve(size_t n);

  // Without copying: the key and value of entry `index`, which must be in range.
  const Variant& KeyAt(int32_t index) const { return EntryAt(index).key; }
  const Variant& ValueAt(int32_t index) const { return EntryAt(index).value; }

 private:
  struct Entry {
    Variant key;
    Variant value;
  };
  struct FreeDeleter {
    void operator()(void* memory) const noexcept;
  };
  // Entry i lives in segment bit_width(i + 64) - 7; segments hold 64, 128, 256, ... entries.
  static constexpr int kFirstSegmentBits = 6;
  static constexpr int kSegments = 32 - kFirstSegmentBits;

  struct Location {
    int32_t index;     // entry number, -1 when absent
    uint32_t hashTag;  // the slot bits taken from the hash
    uint64_t slot;     // where the key is, or where it would go
  };

  static int SegmentOf(uint32_t index) { return std::bit_width(index + (1u << kFirstSegmentBits)) - 1 - kFirstSegmentBits; }
  const Entry& EntryAt(int32_t index) const {
    const uint64_t shifted = static_cast<uint64_t>(static_cast<uint32_t>(index)) + (1u << kFirstSegmentBits);
    const int width = std::bit_width(shifted);
    return segments_[width - 1 - kFirstSegmentBits].get()[shifted ^ (uint64_t{1} << (width - 1))];
  }
  Entry& EntryAt(int32_t index) { return const_cast<Entry&>(static_cast<const Dictionary*>(this)->EntryAt(index)); }
  uint32_t TagOf(size_t hash) const { return static_cast<uint32_t>(hash >> 32) & ~indexMask_; }

  // The one-entry cache: holding the key keeps its bits from being reused by another string,
  // so identical bits mean the same key.
  const Location& Locate(const Variant& key) const {
    if (cacheValid_ && key.IsIdenticalTo(cacheKey_)) return cache_;
    cache_ = Find(key);
    cacheKey_ = key;
    cacheValid_ = true;
    return cache_;
  }
  Location Find(const Variant& key) const {
    const size_t hash = key.Hash();
    Location where{-1, TagOf(hash), 0};
    if (capacity_ == 0) return where;
    const uint64_t mask = capacity_ - 1;
    const uint32_t* slots = slots_.get();
    uint64_t position = hash & mask;
    for (;; position = (position + 1) & mask) {
      const uint32_t slot = slots[position];
      if (slot == 0) break;
      if ((slot & ~indexMask_) == where.hashTag) {
        const int32_t index = static_cast<int32_t>((slot & indexMask_) - 1);
        if (EntryAt(index).key == key) {
          where.index = index;
          break;
        }
      }
    }
    where.slot = position;
    return where;
  }
  void Insert(const Variant& key, const Variant& value);
  void Rehash(uint64_t newCapacity);
  [[noreturn]] static void ThrowKeyNotFound(const Variant& key);
  void DestroyAll() noexcept;
  void CopyFrom(const Dictionary& other);

  std::unique_ptr<Entry, FreeDeleter> segments_[kSegments];
  int32_t count_ = 0;
  std::unique_ptr<uint32_t, FreeDeleter> slots_;
  uint64_t capacity_ = 0;   // a power of two, or 0 before the first key
  uint32_t indexMask_ = 0;  // capacity_ - 1 as the low bits of a slot

  mutable Variant cacheKey_;
  mutable Location cache_{};
  mutable bool cacheValid_ = false;
};
