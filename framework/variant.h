#pragma once
// Variant: a dynamically typed value (nil, 32-bit integer, Boolean or String) in 8 bytes.
//
// A String is held by its own 8 bytes (so a word stored in a table is shared, not copied);
// the other types are tagged in the low bits, which a String never uses that way:
//   0            nil
//   ...xx1       inline String
//   ...000 != 0  heap String (pointer to its block)
//   ...010       Int32 (value in the high 32 bits)
//   ...100       Boolean (value in bit 32)

#include <cstdint>
#include <utility>

#include "framework/string.h"

class Variant {
 public:
  enum class Type { Nil, Int32, Boolean, String };

  Variant() noexcept : bits_(0) {}
  Variant(int32_t value) noexcept  // NOLINT: implicit, like the language's own values
      : bits_((static_cast<uint64_t>(static_cast<uint32_t>(value)) << 32) | kInt32Tag) {}
  Variant(bool value) noexcept : bits_((static_cast<uint64_t>(value) << 32) | kBooleanTag) {}  // NOLINT
  Variant(const String& value) noexcept : bits_(value.bits_) { value.Retain(); }                // NOLINT
  Variant(String&& value) noexcept : bits_(std::exchange(value.bits_, String::kEmptyBits)) {}   // NOLINT
  Variant(const char* value) : Variant(String(value)) {}                                       // NOLINT

  Variant(const Variant& other) noexcept : bits_(other.bits_) { other.Retain(); }
  Variant(Variant&& other) noexcept : bits_(std::exchange(other.bits_, 0)) {}
  Variant& operator=(const Variant& other) noexcept {
    other.Retain();
    Release();
    bits_ = other.bits_;
    return *this;
  }
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      Release();
      bits_ = std::exchange(other.bits_, 0);
    }
    return *this;
  }
  ~Variant() { Release(); }

  Type GetType() const noexcept {
    if (bits_ == 0) return Type::Nil;
    if (IsString()) return Type::String;
    return (bits_ & 7u) == kInt32Tag ? Type::Int32 : Type::Boolean;
  }
  bool IsNil() const noexcept { return bits_ == 0; }

  // Int32 as is; Boolean 0 or 1; String read as a decimal number (0 when it is not one,
  // OverflowException when it does not fit); nil 0.
  int32_t ToInt32() const {
    if ((bits_ & 7u) == kInt32Tag) return static_cast<int32_t>(static_cast<uint32_t>(bits_ >> 32));
    return ToInt32Slow();
  }
  // Int32 in decimal; Boolean "True" or "False"; nil "".
  String ToString() const;

  // Same type and same value.
  friend bool operator==(const Variant& a, const Variant& b) noexcept {
    if (a.bits_ == b.bits_) return true;
    if (!a.IsString() || !b.IsString()) return false;
    return a.AsStringRef() == b.AsStringRef();
  }
  // Whether the two hold the very same bits: same value, and for heap strings the same block.
  bool IsIdenticalTo(const Variant& other) const noexcept { return bits_ == other.bits_; }

 private:
  static constexpr uint64_t kInt32Tag = 2;
  static constexpr uint64_t kBooleanTag = 4;

  bool IsString() const noexcept { return (bits_ & 1u) != 0 || ((bits_ & 7u) == 0 && bits_ != 0); }
  bool IsHeapString() const noexcept { return (bits_ & 7u) == 0 && bits_ != 0; }
  // A String view of the same bits, without touching the reference count.
  const String& AsStringRef() const noexcept { return *reinterpret_cast<const String*>(&bits_); }
  void Retain() const noexcept {
    if (IsHeapString()) ++reinterpret_cast<String::Block*>(bits_)->references;
  }
  void Release() noexcept {
    if (IsHeapString()) {
      String::Block* block = reinterpret_cast<String::Block*>(bits_);
      if (--block->references == 0) String::FreeBlock(block);
    }
  }
  int32_t ToInt32Slow() const;

  uint64_t bits_;
};

static_assert(sizeof(Variant) == 8);

// Int32 - Int32, strings read with ToInt32 first; OverflowException when the result leaves Int32.
Variant VariantSubtract(const Variant& a, const Variant& b);
inline int32_t VariantToInt32(const Variant& v) { return v.ToInt32(); }
inline String VariantToString(const Variant& v) { return v.ToString(); }
