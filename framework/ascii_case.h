#pragma once
// Letter case as the program folds it: ASCII A-Z become a-z and every other character, of
// whatever width, stays as it is, whatever the locale.

#include <cstdint>
#include <type_traits>

// Each of eight ASCII bytes at once (bytes from 0x80 would carry into the next).
constexpr uint64_t FoldAsciiWord(uint64_t word) {
  const uint64_t atLeastA = word + 0x3F3F3F3F3F3F3F3Full;  // top bit set where byte >= 'A'
  const uint64_t aboveZ = word + 0x2525252525252525ull;    // top bit set where byte > 'Z'
  return word | ((atLeastA & ~aboveZ & 0x8080808080808080ull) >> 2);
}

// One character: a char, a byte or a code point.
template <typename Character>
constexpr Character FoldAscii(Character c) {
  const auto code = static_cast<std::make_unsigned_t<Character>>(c);
  return code < 0x80 ? static_cast<Character>(FoldAsciiWord(code)) : c;
}
