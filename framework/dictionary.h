#pragma once
// Dictionary: a keyed table of Variants that remembers the order in which keys were first
// entered (Key(i) is the i-th). String keys compare case-sensitively.
//
// Entries sit in segments that double in size and never move, so growing never copies them
// and never holds two copies at once. The hash index is open addressing over 4-byte slots:
// each slot holds an entry number in its low bits and, in the bits the number does not need,
// a fragment of the key's hash, so most misses are decided without touching the entry.
// A one-entry cache makes HasKey, Value and SetValue on the same key cost one lookup.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/variant.h"

class Dictionary {
 public:
  Dictionary();
  Dictionary(const Dictionary& other);
  Dictionary(Dictionary&& other) noexcept;
  Dictionary& operator=(const Dictionary& other);
  Dictionary& operator=(Dictionary&& other) noexcept;
  ~Dictionary();

  bool HasKey(const Variant& key) const;
  // KeyNotFoundException when `key` is absent.
  Variant Value(const Variant& key) const;
  void SetValue(const Variant& key, const Variant& value);
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
  // Segment 0 holds entries [0, kFirstSegment); segment k >= 1 holds [kFirstSegment << (k-1), kFirstSegment << k).
  static constexpr int kFirstSegmentBits = 6;
  static constexpr uint32_t kFirstSegment = 1u << kFirstSegmentBits;
  static constexpr int kSegments = 32 - kFirstSegmentBits + 1;

  struct Location {
    int32_t index;     // entry number, -1 when absent
    uint64_t slot;     // where the key is, or where it would go
    uint32_t hashTag;  // the slot bits taken from the hash
    size_t hash;
  };

  const Entry& EntryAt(int32_t index) const;
  Entry& EntryAt(int32_t index);
  Location Find(const Variant& key) const;
  const Location& Locate(const Variant& key) const;  // through the cache
  void Insert(const Variant& key, const Variant& value, Location where);
  void Rehash(uint64_t newCapacity);
  uint32_t TagOf(size_t hash) const { return static_cast<uint32_t>(hash >> 32) & ~indexMask_; }
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
