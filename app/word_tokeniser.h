#pragma once
// The tokeniser: a word is a run of the 52 ASCII letters; every other character, whatever its
// width, ends a word and is skipped.

#include <cstdint>

#include "framework/string.h"
#include "framework/yield.h"

namespace word_tokeniser_detail {
// The one definition of a word character, shared with the byte scan of the counter: `| 0x20`
// folds each capital onto its small letter and moves no other value into 'a'..'z'. No byte of
// a multi-byte UTF-8 character, and no invalid byte, is below 0x80, so the test gives the same
// answer on bytes as on decoded characters.
constexpr bool IsWordCharacter(char32_t c) { return static_cast<uint32_t>((c | 0x20u) - U'a') < 26u; }
}  // namespace word_tokeniser_detail

// The next word of `line` at or after the 1-based character `position`, or "" when none is
// left. `position` moves past the word and the delimiter that ended it; when no word is left
// it ends at Len(line) + 1, except that a start already past the end leaves it untouched.
// Every character taken without returning counts as one pass of the yield hook; they are
// reported in one go. The word is cut from the line in one piece rather than built up.
inline String GetWord(const String& line, int32_t& position) {
  using word_tokeniser_detail::IsWordCharacter;
  const int32_t length = Len(line);
  if (position > length) return String();
  int32_t at = position < 1 ? 1 : position;
  const int32_t skipStart = at;
  while (at <= length && !IsWordCharacter(line.At(at - 1))) ++at;
  const int32_t wordStart = at;
  while (at <= length && IsWordCharacter(line.At(at - 1))) ++at;
  RuntimeBackgroundTasks(static_cast<uint32_t>(at - skipStart));
  const int32_t wordLength = at - wordStart;
  if (wordLength == 0) {
    position = at;
    return String();
  }
  position = at <= length ? at + 1 : at;  // the delimiter that ended the word goes with it
  return Mid(line, wordStart, wordLength);
}
