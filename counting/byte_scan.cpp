#include "counting/byte_scan.h"

#include <bit>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "counting/characters.h"

namespace counting {

namespace {

struct ByteMasks {
  uint64_t letters = 0, lineFeeds = 0, carriageReturns = 0;
};

// Bit i of each mask describes byte i of the 64 at `bytes`.
inline ByteMasks Classify64(const char* bytes) {
  ByteMasks masks;
#if defined(__SSE2__)
  // IsWordCharacter on 16 bytes at a time: (c | 0x20) - 'a' < 26 as an unsigned byte, done as
  // a signed comparison after moving 'a' to -128.
  const __m128i caseBit = _mm_set1_epi8(0x20);
  const __m128i shift = _mm_set1_epi8(static_cast<char>(0x80 - 'a'));
  const __m128i limit = _mm_set1_epi8(static_cast<char>(-128 + 26));
  const __m128i lineFeed = _mm_set1_epi8('\n');
  const __m128i carriageReturn = _mm_set1_epi8('\r');
  for (int part = 0; part < 4; ++part) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
    const __m128i letter = _mm_cmplt_epi8(_mm_add_epi8(_mm_or_si128(b, caseBit), shift), limit);
    masks.letters |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(letter))) << (16 * part);
    masks.lineFeeds |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, lineFeed))))
                       << (16 * part);
    masks.carriageReturns |=
        static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, carriageReturn))))
        << (16 * part);
  }
#else
  for (int i = 0; i < 64; ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    masks.letters |= static_cast<uint64_t>(IsWordCharacter(c)) << i;
    masks.lineFeeds |= static_cast<uint64_t>(c == '\n') << i;
    masks.carriageReturns |= static_cast<uint64_t>(c == '\r') << i;
  }
#endif
  return masks;
}

}  // namespace

// Built twice on x86-64, with and without the POPCNT instruction, the right one picked when the
// program loads: without it every count of line ends would be a library call.
#if defined(__x86_64__) && defined(__GNUC__)
#define WITH_POPCNT_IF_PRESENT __attribute__((target_clones("popcnt", "default")))
#else
#define WITH_POPCNT_IF_PRESENT
#endif

WITH_POPCNT_IF_PRESENT
void ScanBlock(const char* begin, const char* end, WordTable& table, ScanTotals& totals) {
  // Words are found a batch at a time, then hashed (their index slots fetched meanwhile), then
  // counted: three short loops rather than one long one.
  const char* starts[kMostInBatch];
  uint32_t lengths[kMostInBatch];
  size_t found = 0;
  int64_t words = 0;
  const auto countBatch = [&] {
    CountBatch(
        table, found, [&](size_t i) { return std::pair<const char*, size_t>(starts[i], lengths[i]); },
        [](size_t) { return 1; });
    words += static_cast<int64_t>(found);
    found = 0;
  };
  uint64_t inWord = 0;
  uint64_t carriageReturnBefore = totals.lastWasCarriageReturn ? 1 : 0;
  const char* wordStart = begin;
  int64_t lineEnds = 0;
  for (const char* group = begin; group < end; group += kBytesPerScanGroup) {
    const auto valid = static_cast<size_t>(end - group);
    const uint64_t validBits = valid >= 64 ? ~uint64_t{0} : (uint64_t{1} << valid) - 1;
    const ByteMasks masks = Classify64(group);
    const uint64_t letters = masks.letters & validBits;
    const uint64_t carriageReturns = masks.carriageReturns & validBits;
    // A CR and the LF just after it are one line end.
    const uint64_t lineFeedsAlone = masks.lineFeeds & validBits & ~((carriageReturns << 1) | carriageReturnBefore);
    lineEnds += std::popcount(carriageReturns | lineFeedsAlone);
    carriageReturnBefore = carriageReturns >> 63;
    // Each set bit is where a word starts or ends, alternately.
    uint64_t changes = letters ^ ((letters << 1) | inWord);
    while (changes != 0) {
      const char* at = group + std::countr_zero(changes);
      changes &= changes - 1;
      if (inWord == 0) {
        wordStart = at;
        inWord = 1;
      } else {
        starts[found] = wordStart;
        lengths[found] = static_cast<uint32_t>(at - wordStart);
        ++found;
        inWord = 0;
      }
    }
    if (found > kMostInBatch - kBytesPerScanGroup) countBatch();
  }
  if (inWord != 0) {
    starts[found] = wordStart;
    lengths[found] = static_cast<uint32_t>(end - wordStart);
    ++found;
  }
  countBatch();
  totals.lineEnds += lineEnds;
  totals.words += words;
  if (end != begin) totals.lastWasCarriageReturn = end[-1] == '\r';
}

}  // namespace counting
