#pragma once
// What the counter takes for a letter; a line end is the text stream's (IsLineEndByte), so that
// the counts and ReadLine agree on the lines. It scans the file's bytes rather than
// decoded characters: no byte of a multi-byte UTF-8 character, and no invalid byte, is below
// 0x80, so the bytes give exactly the words and lines that decoding would.

#include <cstdint>

namespace counting {

// A word is a run of the 52 ASCII letters: `| 0x20` folds each capital onto its small letter and
// moves no other value into 'a'..'z'.
constexpr bool IsWordCharacter(unsigned char c) { return static_cast<uint8_t>((c | 0x20u) - 'a') < 26u; }

// How a text ends: text after its last line end is one more line.
enum class TextEnd { kAfterLineEnd, kInsideALine };

}  // namespace counting
