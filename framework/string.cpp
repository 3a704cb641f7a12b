#include "framework/string.h"

#include <bit>

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "framework/ascii_case.h"
#include "framework/exceptions.h"

namespace {

constexpr int32_t kMaxLength = std::numeric_limits<int32_t>::max();

bool AllAscii(const char* bytes, size_t count) {
  size_t i = 0;
  uint64_t any = 0;
  for (; i + 8 <= count; i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    any |= word;
  }
  for (; i < count; ++i) any |= static_cast<unsigned char>(bytes[i]);
  return (any & 0x8080808080808080ull) == 0;
}

// -1, 0 or 1 as the first `count` bytes of a sort before, equal or after those of b,
// letters compared without case when kFold. Reads whole 8-byte words: both strings have
// readable bytes past their characters.
template <bool kFold>
int CompareAsciiBytes(const char* a, const char* b, int32_t count) {
  for (int32_t i = 0; i < count; i += 8) {
    uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if constexpr (kFold) {
      x = FoldAsciiWord(x);
      y = FoldAsciiWord(y);
    }
    const int32_t left = count - i;
    const uint64_t mask = left >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * left)) - 1;
    if (const uint64_t difference = (x ^ y) & mask) {
      const int shift = std::countr_zero(difference) & ~7;  // the first differing byte
      return ((x >> shift) & 0xFF) < ((y >> shift) & 0xFF) ? -1 : 1;
    }
  }
  return 0;
}

void CheckLength(size_t count) {
  if (count > static_cast<size_t>(kMaxLength))
    throw OutOfBoundsException("A string cannot hold more than 2147483647 characters.");
}

// Decodes UTF-8; every byte that is not part of a valid sequence becomes 0xDC00 + byte.
// Returns the number of characters written to `out`, which must have room for `count`.
size_t DecodeUtf8(const unsigned char* bytes, size_t count, char32_t* out) {
  size_t written = 0;
  size_t i = 0;
  while (i < count) {
    const unsigned char lead = bytes[i];
    if (lead < 0x80) {
      out[written++] = lead;
      ++i;
      continue;
    }
    size_t needed = 0;
    char32_t code = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the first continuation byte
    if (lead >= 0xC2 && lead <= 0xDF) {
      needed = 1;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      needed = 2;
      code = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;   // overlong
      if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      needed = 3;
      code = lead & 0x07;
      if (lead == 0xF0) low = 0x90;   // overlong
      if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    }
    bool valid = needed > 0 && i + needed < count;  // the whole sequence is inside the input
    if (valid) {
      for (size_t k = 1; k <= needed; ++k) {
        const unsigned char next = bytes[i + k];
        const unsigned char lowBound = k == 1 ? low : 0x80;
        const unsigned char highBound = k == 1 ? high : 0xBF;
        if (next < lowBound || next > highBound) {
          valid = false;
          break;
        }
        code = (code << 6) | (next & 0x3F);
      }
    }
    if (valid) {
      out[written++] = code;
      i += needed + 1;
    } else {
      out[written++] = 0xDC00 + lead;
      ++i;
    }
  }
  return written;
}

void EncodeUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c >= 0xDC80 && c <= 0xDCFF) {
    out.push_back(static_cast<char>(c - 0xDC00));  // a byte that was not valid UTF-8
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

String::Block* String::AllocateBlock(int32_t length, Width width) {
  const bool wide = width == Width::kWide;
  const size_t characterBytes = static_cast<size_t>(length) * (wide ? 4 : 1);
  void* memory = std::malloc(AllocationSize(characterBytes));
  if (memory == nullptr) throw std::bad_alloc();
  Block* block = static_cast<Block*>(memory);
  block->references = 1;
  block->lengthAndWidth = static_cast<uint32_t>(length) | (wide ? Block::kWideFlag : 0u);
  std::memset(reinterpret_cast<char*>(block + 1) + characterBytes, 0, 7);
  return block;
}

String String::FromNarrowCharacters(const char* bytes, size_t count) {
  CheckLength(count);
  if (count <= 7) {
    char padded[8] = {};
    std::memcpy(padded, bytes, count);
    return String(InlineBitsFromPaddedBytes(padded, static_cast<int32_t>(count)), RawBits{});
  }
  Block* block = AllocateBlock(static_cast<int32_t>(count), Width::kNarrow);
  std::memcpy(block->Narrow(), bytes, count);
  return String(reinterpret_cast<uint64_t>(block), RawBits{});
}

String String::FromWideCharacters(const char32_t* characters, size_t count) {
  CheckLength(count);
  bool ascii = true;
  for (size_t i = 0; i < count; ++i) ascii &= characters[i] < 0x80;
  if (ascii) {
    if (count <= 7) {
      uint64_t bits = 0;
      for (size_t i = 0; i < count; ++i) bits |= static_cast<uint64_t>(characters[i]) << (8 * (i + 1));
      return String(bits | (count << 1) | 1u, RawBits{});
    }
    Block* block = AllocateBlock(static_cast<int32_t>(count), Width::kNarrow);
    for (size_t i = 0; i < count; ++i) block->Narrow()[i] = static_cast<char>(characters[i]);
    return String(reinterpret_cast<uint64_t>(block), RawBits{});
  }
  Block* block = AllocateBlock(static_cast<int32_t>(count), Width::kWide);
  std::memcpy(block->Wide(), characters, count * sizeof(char32_t));
  return String(reinterpret_cast<uint64_t>(block), RawBits{});
}

String::String(const char* utf8) : String(utf8 == nullptr ? String() : FromUtf8(utf8)) {}

String::String(std::string_view utf8) : String(FromUtf8(utf8)) {}

String String::FromUtf8(std::string_view bytes) {
  if (AllAscii(bytes.data(), bytes.size())) return FromNarrowCharacters(bytes.data(), bytes.size());
  CheckLength(bytes.size());
  // Decode into a scratch buffer first: the character count is only known afterwards.
  thread_local std::vector<char32_t> scratch;
  if (scratch.size() < bytes.size()) scratch.resize(bytes.size());
  const size_t count = DecodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), scratch.data());
  Block* block = AllocateBlock(static_cast<int32_t>(count), Width::kWide);
  std::memcpy(block->Wide(), scratch.data(), count * sizeof(char32_t));
  if (scratch.size() > (size_t{1} << 20)) {  // do not keep a huge line's buffer around
    scratch.clear();
    scratch.shrink_to_fit();
  }
  return String(reinterpret_cast<uint64_t>(block), RawBits{});
}

void String::AppendUtf8To(std::string& out) const {
  if (IsInline()) {
    const int32_t length = Length();
    for (int32_t i = 0; i < length; ++i) out.push_back(static_cast<char>(At(i)));
    return;
  }
  const Block* block = GetBlock();
  if (!block->IsWide()) {
    out.append(block->Narrow(), static_cast<size_t>(block->Length()));
    return;
  }
  out.reserve(out.size() + static_cast<size_t>(block->Length()) * 2);
  const char32_t* characters = block->Wide();
  for (int32_t i = 0, n = block->Length(); i < n; ++i) EncodeUtf8(characters[i], out);
}

std::string String::ToUtf8() const {
  std::string out;
  AppendUtf8To(out);
  return out;
}

String operator+(const String& a, const String& b) {
  if (b.IsEmpty()) return a;
  if (a.IsEmpty()) return b;
  const size_t total = static_cast<size_t>(a.Length()) + static_cast<size_t>(b.Length());
  CheckLength(total);
  if (a.IsAscii() && b.IsAscii()) {
    if (total <= 7) {
      const uint64_t aChars = a.bits_ >> 8;
      const uint64_t bChars = b.bits_ >> 8;
      const uint64_t chars = aChars | (bChars << (8 * a.Length()));
      return String((chars << 8) | (total << 1) | 1u, String::RawBits{});
    }
    String::Block* block = String::AllocateBlock(static_cast<int32_t>(total), String::Width::kNarrow);
    char* out = block->Narrow();
    for (const String* part : {&a, &b}) {
      if (part->IsInline()) {
        for (int32_t i = 0; i < part->Length(); ++i) *out++ = static_cast<char>(part->At(i));
      } else {
        std::memcpy(out, part->GetBlock()->Narrow(), static_cast<size_t>(part->Length()));
        out += part->Length();
      }
    }
    return String(reinterpret_cast<uint64_t>(block), String::RawBits{});
  }
  String::Block* block = String::AllocateBlock(static_cast<int32_t>(total), String::Width::kWide);
  char32_t* out = block->Wide();
  for (const String* part : {&a, &b})
    for (int32_t i = 0, n = part->Length(); i < n; ++i) *out++ = part->At(i);
  return String(reinterpret_cast<uint64_t>(block), String::RawBits{});
}

String String::MidSlow(const String& s, int32_t start, int32_t length) {
  if (length < 0) throw OutOfBoundsException("Mid was given a negative length (" + std::to_string(length) + ").");
  if (start < 1) start = 1;
  const int32_t total = s.Length();
  if (start > total || length == 0) return String();
  const int32_t count = std::min<int64_t>(length, static_cast<int64_t>(total) - (start - 1));
  if (count == total) return s;
  if (s.IsInline()) return Mid(s, start, count);  // count <= 7 takes the inline path
  const Block* block = s.GetBlock();
  if (!block->IsWide()) return FromNarrowCharacters(block->Narrow() + (start - 1), static_cast<size_t>(count));
  return FromWideCharacters(block->Wide() + (start - 1), static_cast<size_t>(count));
}

String Mid(const String& s, int32_t start) { return Mid(s, start < 1 ? 1 : start, kMaxLength); }

String String::LowercaseSlow(const String& s) {
  const Block* block = s.GetBlock();
  const int32_t length = block->Length();
  // Narrow or wide alike; a string with nothing to fold is returned as it is, not copied.
  const auto folded = [&](const auto* in, Width width, auto charactersOf) -> String {
    int32_t first = 0;
    while (first < length && FoldAscii(in[first]) == in[first]) ++first;
    if (first == length) return s;
    Block* copy = AllocateBlock(length, width);
    auto* out = charactersOf(copy);
    for (int32_t i = 0; i < length; ++i) out[i] = FoldAscii(in[i]);
    return String(reinterpret_cast<uint64_t>(copy), RawBits{});
  };
  if (!block->IsWide()) return folded(block->Narrow(), Width::kNarrow, [](Block* copy) { return copy->Narrow(); });
  return folded(block->Wide(), Width::kWide, [](Block* copy) { return copy->Wide(); });
}

int32_t InStr(int32_t start, const String& source, const String& find) {
  if (start < 1) start = 1;
  const int32_t sourceLength = source.Length();
  const int32_t findLength = find.Length();
  if (start > sourceLength + 1) return 0;
  if (findLength == 0) return start;
  const char32_t first = FoldAscii(find.At(0));
  for (int64_t at = start - 1; at + findLength <= sourceLength; ++at) {
    if (FoldAscii(source.At(static_cast<int32_t>(at))) != first) continue;
    int32_t k = 1;
    while (k < findLength && FoldAscii(source.At(static_cast<int32_t>(at) + k)) == FoldAscii(find.At(k))) ++k;
    if (k == findLength) return static_cast<int32_t>(at) + 1;
  }
  return 0;
}

String Str(int32_t value) {
  char digits[16];
  char* end = digits + sizeof digits;
  char* p = end;
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--p = '-';
  return String::FromUtf8(std::string_view(p, static_cast<size_t>(end - p)));
}

String Chr(int32_t code) {
  if (code < 0 || code > 0x10FFFF)
    throw OutOfBoundsException("Chr was given " + std::to_string(code) + ", which is not a Unicode code point.");
  const char32_t character = static_cast<char32_t>(code);
  return String::FromWideCharacters(&character, 1);
}

int32_t StrComp(const String& a, const String& b, int32_t mode) {
  if (mode != 0 && mode != 1)
    throw OutOfBoundsException("StrComp mode must be 0 (binary) or 1 (text), not " + std::to_string(mode) + ".");
  const int32_t aLength = a.Length(), bLength = b.Length();
  const int32_t common = std::min(aLength, bLength);
  // Lists sort millions of words with this: plain ASCII is compared eight bytes at a time.
  uint64_t aScratch, bScratch;
  const char* aBytes = a.AsciiBytes(aScratch);
  const char* bBytes = b.AsciiBytes(bScratch);
  if (aBytes != nullptr && bBytes != nullptr) {
    if (mode == 1) {
      if (const int order = CompareAsciiBytes<true>(aBytes, bBytes, common)) return order;
      if (aLength != bLength) return aLength < bLength ? -1 : 1;
    }
    if (const int order = CompareAsciiBytes<false>(aBytes, bBytes, common)) return order;
    if (aLength != bLength) return aLength < bLength ? -1 : 1;
    return 0;
  }
  if (mode == 1) {
    for (int32_t i = 0; i < common; ++i) {
      const char32_t x = FoldAscii(a.At(i)), y = FoldAscii(b.At(i));
      if (x != y) return x < y ? -1 : 1;
    }
    if (aLength != bLength) return aLength < bLength ? -1 : 1;
  }
  for (int32_t i = 0; i < common; ++i) {
    const char32_t x = a.At(i), y = b.At(i);
    if (x != y) return x < y ? -1 : 1;
  }
  if (aLength != bLength) return aLength < bLength ? -1 : 1;
  return 0;
}
