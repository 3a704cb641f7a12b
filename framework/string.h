#pragma once
// String: the program's immutable string of Unicode characters, 8 bytes, cheap to copy.
//
// Up to 7 ASCII characters live inside the 8 bytes themselves; anything else lives in a
// reference-counted block (the count is not atomic: no string is shared between threads, and
// the counting workers use none). A block stores its characters 1 byte wide when every one is
// below 0x80 and 4 bytes wide otherwise, so Length, At and Mid never have to walk the text.
// Each string has exactly one representation (short ASCII always inline, ASCII always
// narrow), which lets equality look at the representation directly.
//
// Bytes become characters as UTF-8; a byte that is not part of a valid sequence becomes the
// character 0xDC00 + byte, which ToUtf8 turns back into that byte, so any file round-trips.

#include <bit>
#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "framework/ascii_case.h"

class Variant;

class String {
 public:
  String() noexcept : bits_(kEmptyBits) {}
  String(const char* utf8);       // NOLINT: implicit, so literals read naturally
  String(std::string_view utf8);  // NOLINT
  static String FromUtf8(std::string_view bytes);

  String(const String& other) noexcept : bits_(other.bits_) { Retain(); }
  String(String&& other) noexcept : bits_(std::exchange(other.bits_, kEmptyBits)) {}
  String& operator=(const String& other) noexcept {
    other.Retain();
    Release();
    bits_ = other.bits_;
    return *this;
  }
  String& operator=(String&& other) noexcept {
    if (this != &other) {
      Release();
      bits_ = std::exchange(other.bits_, kEmptyBits);
    }
    return *this;
  }
  ~String() { Release(); }

  int32_t Length() const noexcept {
    return IsInline() ? static_cast<int32_t>((bits_ >> 1) & 7u) : GetBlock()->Length();
  }
  // 0-based.
  char32_t At(int32_t index0) const noexcept {
    assert(index0 >= 0 && index0 < Length());
    if (IsInline()) return static_cast<char32_t>((bits_ >> (8 * (index0 + 1))) & 0xFFu);
    const Block* block = GetBlock();
    return block->IsWide() ? block->Wide()[index0]
                           : static_cast<char32_t>(static_cast<unsigned char>(block->Narrow()[index0]));
  }
  bool IsEmpty() const noexcept { return bits_ == kEmptyBits; }
  bool IsAscii() const noexcept { return IsInline() || !GetBlock()->IsWide(); }
  // The characters as bytes when every one is ASCII (an inline string's are copied to
  // `scratch`), else nullptr: lets bulk work skip the character-by-character route.
  const char* AsciiBytes(uint64_t& scratch) const noexcept {
    if (IsInline()) {
      scratch = bits_ >> 8;
      return reinterpret_cast<const char*>(&scratch);
    }
    return GetBlock()->IsWide() ? nullptr : GetBlock()->Narrow();
  }

  std::string ToUtf8() const;
  void AppendUtf8To(std::string& out) const;

  friend bool operator==(const String& a, const String& b) noexcept {
    if (a.bits_ == b.bits_) return true;
    if (a.IsInline() || b.IsInline()) return false;
    return EqualBlocks(a.GetBlock(), b.GetBlock());
  }
  friend String operator+(const String& a, const String& b);

 private:
  friend class Variant;

  friend String Mid(const String& s, int32_t start, int32_t length);
  friend String Lowercase(const String& s);
  friend String Chr(int32_t code);

  // Header of a heap string; the characters follow it, then 7 spare bytes so that an 8-byte
  // load starting at any character stays inside the allocation.
  struct Block {
    uint32_t references;
    uint32_t lengthAndWidth;  // bit 31: 4-byte characters
    static constexpr uint32_t kWideFlag = 0x80000000u;
    int32_t Length() const noexcept { return static_cast<int32_t>(lengthAndWidth & ~kWideFlag); }
    bool IsWide() const noexcept { return (lengthAndWidth & kWideFlag) != 0; }
    const char* Narrow() const noexcept { return reinterpret_cast<const char*>(this + 1); }
    char* Narrow() noexcept { return reinterpret_cast<char*>(this + 1); }
    const char32_t* Wide() const noexcept { return reinterpret_cast<const char32_t*>(this + 1); }
    char32_t* Wide() noexcept { return reinterpret_cast<char32_t*>(this + 1); }
  };
  static constexpr uint64_t kEmptyBits = 1;  // inline, length 0

  struct RawBits {};
  String(uint64_t bits, RawBits) noexcept : bits_(bits) {}

  bool IsInline() const noexcept { return (bits_ & 1u) != 0; }
  const Block* GetBlock() const noexcept { return reinterpret_cast<const Block*>(bits_); }
  Block* GetBlock() noexcept { return reinterpret_cast<Block*>(bits_); }
  void Retain() const noexcept {
    if (!IsInline()) ++reinterpret_cast<Block*>(bits_)->references;
  }
  void Release() noexcept {
    if (!IsInline() && --GetBlock()->references == 0) FreeBlock(GetBlock());
  }

  // Inline string of `count` (<= 7) ASCII bytes read with one 8-byte load; `bytes` must have
  // 8 readable bytes.
  static uint64_t InlineBitsFromPaddedBytes(const char* bytes, int32_t count) noexcept {
    uint64_t word;
    std::memcpy(&word, bytes, 8);
    word &= (uint64_t{1} << (8 * count)) - 1;
    return (word << 8) | (static_cast<uint64_t>(count) << 1) | 1u;
  }
  enum class Width { kNarrow, kWide };  // 1 or 4 bytes a character
  static Block* AllocateBlock(int32_t length, Width width);
  static String FromNarrowCharacters(const char* bytes, size_t count);
  static String FromWideCharacters(const char32_t* characters, size_t count);  // narrows when it can
  static size_t ByteCount(const Block* block) noexcept {
    return static_cast<size_t>(block->Length()) * (block->IsWide() ? 4 : 1);
  }
  // A block's allocation: header, characters and the 7 spare bytes.
  static size_t AllocationSize(size_t characterBytes) noexcept { return sizeof(Block) + characterBytes + 7; }
  static void FreeBlock(Block* block) noexcept { std::free(block); }
  static uint64_t LoadWord(const char* bytes) noexcept {
    uint64_t word;
    std::memcpy(&word, bytes, 8);
    return word;
  }
  // Reads the characters 8 bytes at a time, the last word masked to the characters.
  static bool EqualBlocks(const Block* a, const Block* b) noexcept {
    if (a->lengthAndWidth != b->lengthAndWidth) return false;
    const size_t count = ByteCount(a);
    const char* x = reinterpret_cast<const char*>(a + 1);
    const char* y = reinterpret_cast<const char*>(b + 1);
    size_t i = 0;
    for (; i + 8 <= count; i += 8)
      if (LoadWord(x + i) != LoadWord(y + i)) return false;
    if (i == count) return true;
    const uint64_t mask = (uint64_t{1} << (8 * (count - i))) - 1;
    return ((LoadWord(x + i) ^ LoadWord(y + i)) & mask) == 0;
  }
  static String MidSlow(const String& s, int32_t start, int32_t length);
  static String LowercaseSlow(const String& s);

  uint64_t bits_;
};

static_assert(sizeof(String) == 8);
static_assert(std::endian::native == std::endian::little, "inline strings keep their characters in byte order");

// The system's string functions. Positions are 1-based and lengths count characters.

inline int32_t Len(const String& s) { return s.Length(); }

// `start` below 1 is taken as 1; a start past the end gives ""; a length past the end is
// clipped. A negative length raises OutOfBoundsException.
inline String Mid(const String& s, int32_t start, int32_t length) {
  if (start >= 1 && length >= 0 && length <= 7) {
    if (s.IsInline()) {
      const int32_t available = s.Length() - (start - 1);
      if (available <= 0) return String();
      const int32_t count = length < available ? length : available;
      const uint64_t chars = (s.bits_ >> (8 * start)) & ((uint64_t{1} << (8 * count)) - 1);
      return String((chars << 8) | (static_cast<uint64_t>(count) << 1) | 1u, String::RawBits{});
    }
    const String::Block* block = s.GetBlock();
    if (static_cast<int64_t>(start) - 1 + length <= block->Length()) {
      if (!block->IsWide())
        return String(String::InlineBitsFromPaddedBytes(block->Narrow() + (start - 1), length), String::RawBits{});
      // A short ASCII piece of a wide string is still stored inline.
      const char32_t* characters = block->Wide() + (start - 1);
      uint64_t chars = 0;
      char32_t any = 0;
      for (int32_t i = 0; i < length; ++i) {
        any |= characters[i];
        chars |= static_cast<uint64_t>(characters[i] & 0x7F) << (8 * i);
      }
      if (any < 0x80) return String((chars << 8) | (static_cast<uint64_t>(length) << 1) | 1u, String::RawBits{});
    }
  }
  return String::MidSlow(s, start, length);
}

// From `start` to the end.
String Mid(const String& s, int32_t start);

// 1-based place of `find` in `source`, searching from `start` (0 or 1: from the beginning);
// 0 when absent. ASCII letters match regardless of case; "" is found at `start`.
int32_t InStr(int32_t start, const String& source, const String& find);

// ASCII A-Z become a-z, nothing else changes; returns `s` itself when nothing would change.
inline String Lowercase(const String& s) {
  // An inline string holds ASCII only, and its length byte is below 'A', so the whole word folds.
  if (s.IsInline()) return String(FoldAsciiWord(s.bits_), String::RawBits{});
  return String::LowercaseSlow(s);
}

// Decimal text, "-" before negatives.
String Str(int32_t value);
// The one character `code`; OutOfBoundsException unless 0 <= code <= 0x10FFFF.
String Chr(int32_t code);
// mode 0: by code point. mode 1: ASCII letters compared without case first, then by code point,
// so that only identical strings compare equal. Returns -1, 0 or 1; other modes raise
// OutOfBoundsException.
int32_t StrComp(const String& a, const String& b, int32_t mode);
