#pragma once
// Dictionary: a keyed table of Variants that remembers the order in which keys were first
// stored: Key(i) is the i-th. Keys compare as Variants do: same type and same value, so
// string keys are case-sensitive.
// File > Open counts into the engine's own word table; the line-by-line count, which the
// engine is tested against, uses this one.

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "framework/variant.h"

class Dictionary {
 public:
  Dictionary() = default;

  bool HasKey(const Variant& key) const { return index_.contains(key); }
  // KeyNotFoundException when `key` is absent.
  Variant Value(const Variant& key) const;
  // Stores `value` under `key`, as a new last key when it is absent. OverflowException past
  // 2147483647 keys.
  void SetValue(const Variant& key, const Variant& value);
  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
  // The key stored `index`-th, from 0. OutOfBoundsException outside 0 to Count() - 1.
  Variant Key(int32_t index) const;

 private:
  struct KeyHash {
    size_t operator()(const Variant& key) const noexcept;
  };
  struct Entry {
    Variant key;
    Variant value;
  };

  std::vector<Entry> entries_;  // in the order the keys were first stored
  std::unordered_map<Variant, int32_t, KeyHash> index_;  // key -> its place in entries_
};
