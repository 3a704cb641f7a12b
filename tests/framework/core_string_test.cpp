#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "framework/exceptions.h"
#include "framework/string.h"

using namespace std::string_literals;

namespace {

// Each case decodes to its characters (bytes that are not UTF-8 as U+DC80 to U+DCFF) and
// encodes back to the very same bytes, as do random bytes.
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
  }
  std::mt19937 random(12345);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 40, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 4 == 0 ? random() % 128 : random() % 256);
    EXPECT_EQ(String::FromUtf8(bytes).ToUtf8(), bytes);
  }
}

// Text order folds A-Z first and falls back to code points only when the folded texts are
// equal; binary order is by code point. Plain ASCII and other text take separate paths.
TEST(String, StrCompComparesByCodePointOrFoldingAToZ) {
  const std::tuple<const char*, const char*, int, int> cases[] = {
      {"Nine", "alpha", -1, 1}, {"abc", "ABD", 1, -1}, {"a", "A", 1, 1},      {"Z", "_", -1, 1},
      {"", "a", -1, -1},        {"same", "same", 0, 0}, {"\xC3\xA9", "z", 1, 1},
      {"ABCDEFGHIJZ", "abcdefghij_", -1, 1}, {"\xC3\xA9Z", "\xC3\xA9_", -1, 1}, {"\xC3\xA9" "a", "\xC3\xA9" "A", 1, 1}};
  for (const auto& [a, b, binary, text] : cases) {
    EXPECT_EQ(StrComp(String(a), String(b), 0), binary) << a << " vs " << b;
    EXPECT_EQ(StrComp(String(a), String(b), 1), text) << a << " vs " << b;
  }
}

// What the tokeniser and the counting call: each row is a call and the text it must give.
TEST(String, FunctionsGiveTheirTextsCountingCharacters) {
  const std::vector<std::pair<String, std::string>> cases = {
      {Str(Len(String("caf\xC3\xA9"))), "4"},  // characters, not bytes
      {Str(Len(String())), "0"},
      {Mid(String("na\xC3\xAFve"), 3, 1), "\xC3\xAF"},
      {Mid(String("na\xC3\xAFve"), 4, 1), "v"},  // an ASCII piece of a wider text
      {Mid(String("abcdefghijklm"), 3, 4), "cdef"},
      {Mid(String("abc"), 0, 2), "ab"},   // a start below 1 is 1
      {Mid(String("abc"), 4, 1), ""},     // past the end
      {Mid(String("abc"), 2, 99), "bc"},  // a length past the end is clipped
      {Mid(String("abc\xC3\xA9" "def"), 3), "c\xC3\xA9" "def"},
      {Mid(String("abc"), -5), "abc"},
      {Mid(String("abc"), 9), ""},
      {Lowercase(String("The CAT")), "the cat"},
      {Lowercase(String("ZIGZAGGED AMAZINGLY")), "zigzagged amazingly"},
      {Lowercase(String("\xC3\x89" "COLE \xC3\x89t\xC3\xA9")), "\xC3\x89" "cole \xC3\x89t\xC3\xA9"},  // É stays
      {Lowercase(String("@[`{")), "@[`{"},
      {Str(0), "0"},
      {Str(-2147483647 - 1), "-2147483648"},
      {Str(2147483647), "2147483647"},
      {Chr(13), "\r"},
      {Chr(0xE9), "\xC3\xA9"},
      {Chr(0x1F600), "\xF0\x9F\x98\x80"},
      {String("word") + ", " + Str(5) + Chr(13), "word, 5\r"},
      {String("caf") + String("\xC3\xA9") + String(" au lait"), "caf\xC3\xA9 au lait"},
  };
  for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(cases[i].first.ToUtf8(), cases[i].second) << "case " << i;
  // The same text however it was made.
  EXPECT_EQ(Lowercase(String("ABCDEFGHIJ")), String("abcdefghij"));
  EXPECT_EQ(Mid(String("na\xC3\xAFve"), 4, 1), String("v"));
  EXPECT_EQ(Chr(65) + Chr(66), String("AB"));
}

TEST(String, BadArgumentsRaiseOutOfBounds) {
  EXPECT_THROW(Mid(String("abc"), 1, -1), OutOfBoundsException);
  EXPECT_THROW(Chr(-1), OutOfBoundsException);
  EXPECT_THROW(Chr(0x110000), OutOfBoundsException);
  EXPECT_THROW(StrComp(String("a"), String("b"), 2), OutOfBoundsException);
}

// InStr(start, source, find): the 1-based place, 0 when absent; A-Z match a-z and nothing
// else is folded. The tokeniser searches the letters from start 0.
TEST(String, InStrFindsIgnoringAsciiCaseOnly) {
  const String letters("abcdefghijklmnopqrstuvwxyz");
  const std::tuple<int32_t, String, String, int32_t> cases[] = {
      {0, letters, "a", 1},          {0, letters, "Z", 26},          {0, letters, "z", 26},
      {0, letters, "@", 0},          {0, letters, "[", 0},           {0, letters, "`", 0},
      {0, letters, "{", 0},          {0, letters, "1", 0},           {0, letters, "\xC3\xA9", 0},
      {0, letters, "\xC5\x81", 0},   {1, "abcabc", "BC", 2},         {3, "abcabc", "BC", 5},
      {6, "abcabc", "bc", 0},        {3, "abc", "", 3},              {5, "abc", "", 0},
      {0, "caf\xC3\xA9", "\xC3\xA9", 4}, {0, "CAF\xC3\x89", "\xC3\xA9", 0}, {0, "ab", "abc", 0},
  };
  for (const auto& [start, source, find, expected] : cases)
    EXPECT_EQ(InStr(start, source, find), expected) << start << " " << source.ToUtf8() << " " << find.ToUtf8();
  // Of the first 768 characters, exactly the 52 letters are found.
  for (int32_t code = 0; code < 0x300; ++code) {
    const bool letter = (code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z');
    EXPECT_EQ(InStr(0, letters, Chr(code)) > 0, letter) << code;
  }
}

}  // namespace
