#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "framework/exceptions.h"
#include "framework/string.h"

using namespace std::string_literals;

namespace {

// Each case decodes to its characters (bytes that are not UTF-8 as U+DC80 to U+DCFF) and
// encodes back to the very same bytes.
TEST(String, DecodesUtf8AndRoundTripsExactly) {
  const std::vector<std::pair<std::string, std::u32string>> cases = {
      {"", U""}, {"abc", U"abc"}, {"a\0b"s, U"a\0b"s}, {"caf\xC3\xA9", U"caf\u00E9"},
      {"\xE2\x82\xAC\xF0\x9F\x98\x80", U"\u20AC\U0001F600"},
      {"caf\xE9", U"caf\xDCE9"},                                      // Latin-1 byte
      {"\x80\xBF", U"\xDC80\xDCBF"},                                  // lone continuations
      {"\xC0\x80", U"\xDCC0\xDC80"},                                  // overlong NUL
      {"\xED\xA0\x80", U"\xDCED\xDCA0\xDC80"},                        // encoded surrogate
      {"\xF4\x90\x80\x80", U"\xDCF4\xDC90\xDC80\xDC80"},              // above U+10FFFF
      {"ab\xE2\x82", U"ab\xDCE2\xDC82"},                               // truncated at the end
      {"\xE2\x82" "A", U"\xDCE2\xDC82" "A"}};                          // interrupted
  for (const auto& [bytes, characters] : cases) {
    const String s = String::FromUtf8(bytes);
    ASSERT_EQ(s.Length(), static_cast<int32_t>(characters.size())) << testing::PrintToString(bytes);
    for (size_t i = 0; i < characters.size(); ++i) EXPECT_EQ(s.At(static_cast<int32_t>(i)), characters[i]) << i;
    EXPECT_EQ(s.ToUtf8(), bytes);
    EXPECT_EQ(s, String::FromCharacters(characters.data(), characters.size()));
  }
}

TEST(String, RandomBytesRoundTripExactly) {
  std::mt19937 random(12345);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 40, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 4 == 0 ? random() % 128 : random() % 256);
    EXPECT_EQ(String::FromUtf8(bytes).ToUtf8(), bytes);
  }
}

// Words of every length and case, ASCII and not, against the plain definition: text order
// folds A-Z first, then falls back to code points.
TEST(String, StrCompAgreesWithThePlainDefinitionOnRandomWords) {
  std::mt19937 random(11);
  const std::u32string alphabet = U"aAbBzZ@[`{ \u00e9";
  const auto randomWord = [&] {
    std::u32string word(random() % 20, U' ');
    for (char32_t& c : word) c = alphabet[random() % alphabet.size()];
    return word;
  };
  const auto fold = [](char32_t c) { return c >= U'A' && c <= U'Z' ? c + 32 : c; };
  const auto sign = [](auto x) { return x < 0 ? -1 : x > 0 ? 1 : 0; };
  for (int i = 0; i < 20000; ++i) {
    std::u32string a = randomWord(), b = random() % 4 == 0 ? a : randomWord();
    if (!b.empty() && random() % 3 == 0) b[random() % b.size()] ^= 0x20;  // differ only in case
    std::u32string foldedA = a, foldedB = b;
    for (char32_t& c : foldedA) c = fold(c);
    for (char32_t& c : foldedB) c = fold(c);
    const int binary = sign(a.compare(b));
    const int text = foldedA != foldedB ? sign(foldedA.compare(foldedB)) : binary;
    const String x = String::FromCharacters(a.data(), a.size()), y = String::FromCharacters(b.data(), b.size());
    ASSERT_EQ(StrComp(x, y, 0), binary) << i;
    ASSERT_EQ(StrComp(x, y, 1), text) << i;
  }
}

TEST(String, StrWritesIntegersInFull) {
  EXPECT_EQ(Str(0).ToUtf8(), "0");
  EXPECT_EQ(Str(std::numeric_limits<int32_t>::max()).ToUtf8(), "2147483647");
  EXPECT_EQ(Str(std::numeric_limits<int32_t>::min()).ToUtf8(), "-2147483648");
}

}  // namespace
