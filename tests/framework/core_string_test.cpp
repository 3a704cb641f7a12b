#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "framework/exceptions.h"
#include "framework/string.h"

using namespace std::string_literals;

namespace {

struct Utf8Case {
  std::string bytes;
  std::vector<char32_t> characters;
};

class StringFromUtf8 : public testing::TestWithParam<Utf8Case> {};

TEST_P(StringFromUtf8, DecodesAndRoundTripsExactly) {
  const Utf8Case& c = GetParam();
  const String s = String::FromUtf8(c.bytes);
  ASSERT_EQ(s.Length(), static_cast<int32_t>(c.characters.size()));
  for (size_t i = 0; i < c.characters.size(); ++i) EXPECT_EQ(s.At(static_cast<int32_t>(i)), c.characters[i]) << i;
  EXPECT_EQ(s.ToUtf8(), c.bytes);
  EXPECT_EQ(s, String::FromCharacters(c.characters.data(), c.characters.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, StringFromUtf8,
    testing::Values(Utf8Case{"", {}}, Utf8Case{"abc", {'a', 'b', 'c'}},
                    Utf8Case{"a\0b"s, {'a', 0, 'b'}},
                    Utf8Case{"caf\xC3\xA9", {'c', 'a', 'f', 0xE9}},
                    Utf8Case{"\xE2\x82\xAC\xF0\x9F\x98\x80", {0x20AC, 0x1F600}},
                    Utf8Case{"caf\xE9", {'c', 'a', 'f', 0xDCE9}},                      // Latin-1 byte
                    Utf8Case{"\x80\xBF", {0xDC80, 0xDCBF}},                           // lone continuations
                    Utf8Case{"\xC0\x80", {0xDCC0, 0xDC80}},                           // overlong NUL
                    Utf8Case{"\xED\xA0\x80", {0xDCED, 0xDCA0, 0xDC80}},               // encoded surrogate
                    Utf8Case{"\xF4\x90\x80\x80", {0xDCF4, 0xDC90, 0xDC80, 0xDC80}},   // above U+10FFFF
                    Utf8Case{"ab\xE2\x82", {'a', 'b', 0xDCE2, 0xDC82}},               // truncated at the end
                    Utf8Case{"\xE2\x82" "A", {0xDCE2, 0xDC82, 'A'}}));               // interrupted

TEST(String, RandomBytesRoundTripExactly) {
  std::mt19937 random(12345);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 40, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 4 == 0 ? random() % 128 : random() % 256);
    EXPECT_EQ(String::FromUtf8(bytes).ToUtf8(), bytes);
  }
}

struct MidCase {
  const char* source;
  int32_t start;
  int32_t length;
  const char* expected;
};

class StringMid : public testing::TestWithParam<MidCase> {};

TEST_P(StringMid, TakesCharactersByPosition) {
  const MidCase& c = GetParam();
  EXPECT_EQ(Mid(String(c.source), c.start, c.length).ToUtf8(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringMid,
    testing::Values(MidCase{"hello", 1, 1, "h"}, MidCase{"hello", 6, 1, ""}, MidCase{"hello", 4, 100, "lo"},
                    MidCase{"na\xC3\xAFve caf\xC3\xA9", 4, 2, "ve"}, MidCase{"x\xE9yz", 2, 2, "\xE9y"}));

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
