#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "framework/exceptions.h"
#include "framework/string.h"
#include "framework/variant.h"

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
                    Utf8Case{"\xE0\x80\x80", {0xDCE0, 0xDC80, 0xDC80}},               // overlong
                    Utf8Case{"\xED\xA0\x80", {0xDCED, 0xDCA0, 0xDC80}},               // encoded surrogate
                    Utf8Case{"\xF4\x90\x80\x80", {0xDCF4, 0xDC90, 0xDC80, 0xDC80}},   // above U+10FFFF
                    Utf8Case{"\xF5\xFF", {0xDCF5, 0xDCFF}},                           // never valid
                    Utf8Case{"ab\xE2\x82", {'a', 'b', 0xDCE2, 0xDC82}},               // truncated at the end
                    Utf8Case{"\xE2\x82" "A", {0xDCE2, 0xDC82, 'A'}},                  // interrupted
                    Utf8Case{"longer ascii text", {'l', 'o', 'n', 'g', 'e', 'r', ' ', 'a', 's', 'c', 'i', 'i', ' ',
                                                   't', 'e', 'x', 't'}}));

TEST(String, RandomBytesRoundTripExactly) {
  std::mt19937 random(12345);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 40, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 4 == 0 ? random() % 128 : random() % 256);
    EXPECT_EQ(String::FromUtf8(bytes).ToUtf8(), bytes);
  }
}

TEST(String, EqualStringsHashEqualWhereverTheyCameFrom) {
  const String wide = String::FromUtf8("\xC3\xA9" "abcdefghij");
  const std::vector<std::pair<String, String>> pairs = {
      {String("abc"), Mid(String("xxabcxx"), 3, 3)},
      {String("abcdefghij"), Mid(wide, 2)},
      {String("abc"), Mid(wide, 2, 3)},
      {String("abcdefgh"), String("abcd") + String("efgh")},
      {String("abcdefg"), String("abc") + String("defg")},
      {String(""), Mid(wide, 1, 0)},
  };
  for (const auto& [a, b] : pairs) {
    EXPECT_EQ(a, b) << a.ToUtf8();
    EXPECT_EQ(a.Hash(), b.Hash()) << a.ToUtf8();
    EXPECT_EQ(a.IsAscii(), b.IsAscii());
  }
  EXPECT_FALSE(String("abc") == String("abd"));
  EXPECT_FALSE(String("abcdefghi") == String("abcdefghj"));
  EXPECT_FALSE(String("abc") == String("abcd"));
}

TEST(String, ShortAsciiNeedsNoAllocation) {
  EXPECT_TRUE(String("seven!!").IsStoredInline());
  EXPECT_FALSE(String("eight!!!").IsStoredInline());
  EXPECT_TRUE(Mid(String("a much longer line"), 3, 1).IsStoredInline());
  EXPECT_TRUE(Str(-999999).IsStoredInline());
  EXPECT_EQ(sizeof(String), 8u);
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
    testing::Values(MidCase{"hello", 1, 1, "h"}, MidCase{"hello", 5, 1, "o"}, MidCase{"hello", 6, 1, ""},
                    MidCase{"hello", 2, 3, "ell"}, MidCase{"hello", 0, 2, "he"}, MidCase{"hello", -5, 2, "he"},
                    MidCase{"hello", 4, 100, "lo"}, MidCase{"hello", 2, 0, ""}, MidCase{"", 1, 1, ""},
                    MidCase{"a long line of text", 8, 4, "line"}, MidCase{"a long line of text", 3, 12, "long line of"},
                    MidCase{"na\xC3\xAFve caf\xC3\xA9", 3, 1, "\xC3\xAF"}, MidCase{"na\xC3\xAFve caf\xC3\xA9", 4, 2, "ve"},
                    MidCase{"na\xC3\xAFve caf\xC3\xA9", 7, 100, "caf\xC3\xA9"},
                    MidCase{"x\xE9yz", 2, 2, "\xE9y"}));

TEST(String, MidToTheEndAndNegativeLength) {
  EXPECT_EQ(Mid(String("concordance"), 4).ToUtf8(), "cordance");
  EXPECT_EQ(Mid(String("concordance"), 12).ToUtf8(), "");
  EXPECT_THROW(Mid(String("abc"), 1, -1), OutOfBoundsException);
}

struct InStrCase {
  int32_t start;
  const char* source;
  const char* find;
  int32_t expected;
};

class StringInStr : public testing::TestWithParam<InStrCase> {};

TEST_P(StringInStr, FindsIgnoringAsciiCase) {
  const InStrCase& c = GetParam();
  EXPECT_EQ(InStr(c.start, String(c.source), String(c.find)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringInStr,
    testing::Values(InStrCase{0, "abcdefghijklmnopqrstuvwxyz", "a", 1}, InStrCase{0, "abcdefghijklmnopqrstuvwxyz", "Z", 26},
                    InStrCase{1, "abcdefghijklmnopqrstuvwxyz", "Q", 17}, InStrCase{0, "abcdefghijklmnopqrstuvwxyz", "1", 0},
                    InStrCase{0, "abcdefghijklmnopqrstuvwxyz", "'", 0}, InStrCase{0, "abcabc", "bc", 2},
                    InStrCase{3, "abcabc", "BC", 5}, InStrCase{6, "abcabc", "bc", 0}, InStrCase{0, "abc", "", 1},
                    InStrCase{3, "abc", "", 3}, InStrCase{5, "abc", "", 0}, InStrCase{0, "", "a", 0},
                    InStrCase{0, "caf\xC3\xA9", "\xC3\xA9", 4}, InStrCase{0, "CAF\xC3\x89", "\xC3\xA9", 0},
                    InStrCase{0, "abcdefghijklmnopqrstuvwxyz", "\xC3\xA9", 0}));

struct StrCompCase {
  const char* a;
  const char* b;
  int32_t binary;
  int32_t text;
};

class StringStrComp : public testing::TestWithParam<StrCompCase> {};

TEST_P(StringStrComp, OrdersByCodePointOrByTextThenCodePoint) {
  const StrCompCase& c = GetParam();
  EXPECT_EQ(StrComp(String(c.a), String(c.b), 0), c.binary);
  EXPECT_EQ(StrComp(String(c.a), String(c.b), 1), c.text);
  EXPECT_EQ(StrComp(String(c.b), String(c.a), 0), -c.binary);
  EXPECT_EQ(StrComp(String(c.b), String(c.a), 1), -c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, StringStrComp,
                         testing::Values(StrCompCase{"a", "a", 0, 0}, StrCompCase{"a", "b", -1, -1},
                                         StrCompCase{"B", "a", -1, 1}, StrCompCase{"A", "a", -1, -1},
                                         StrCompCase{"ab", "abc", -1, -1}, StrCompCase{"", "a", -1, -1},
                                         StrCompCase{"Zebra", "apple", -1, 1},
                                         StrCompCase{"\xC3\xA9", "z", 1, 1},
                                         StrCompCase{"a long word here", "a long word herd", 1, 1}));

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

TEST(String, StrCompRejectsUnknownModes) { EXPECT_THROW(StrComp(String("a"), String("b"), 2), OutOfBoundsException); }

TEST(String, LowercaseFoldsAsciiLettersOnly) {
  EXPECT_EQ(Lowercase(String("The")).ToUtf8(), "the");
  EXPECT_EQ(Lowercase(String("HELLO, WORLD @[`{")).ToUtf8(), "hello, world @[`{");
  EXPECT_EQ(Lowercase(String("\xC3\x84" "BC")).ToUtf8(), "\xC3\x84" "bc");  // Ä stays
  EXPECT_EQ(Lowercase(String("AZ@[")).ToUtf8(), "az@[");
}

TEST(String, LowercaseSharesAStringThatIsAlreadyLowerCase) {
  const String word("already lower case");
  EXPECT_TRUE(Variant(Lowercase(word)).IsIdenticalTo(Variant(word)));
}

TEST(String, LowercaseOfATemporaryLeavesOtherHoldersAlone) {
  const String original("SHARED AND LONG");
  String copy = original;
  const String lowered = Lowercase(std::move(copy));
  EXPECT_EQ(lowered.ToUtf8(), "shared and long");
  EXPECT_EQ(original.ToUtf8(), "SHARED AND LONG");
}

TEST(String, StrWritesDecimal) {
  EXPECT_EQ(Str(0).ToUtf8(), "0");
  EXPECT_EQ(Str(7).ToUtf8(), "7");
  EXPECT_EQ(Str(-42).ToUtf8(), "-42");
  EXPECT_EQ(Str(1234567).ToUtf8(), "1234567");
  EXPECT_EQ(Str(std::numeric_limits<int32_t>::max()).ToUtf8(), "2147483647");
  EXPECT_EQ(Str(std::numeric_limits<int32_t>::min()).ToUtf8(), "-2147483648");
}

TEST(String, ChrMakesOneCharacter) {
  EXPECT_EQ(Chr(65).ToUtf8(), "A");
  EXPECT_EQ(Chr(0xE9).ToUtf8(), "\xC3\xA9");
  EXPECT_EQ(Chr(13).Length(), 1);
  EXPECT_THROW(Chr(-1), OutOfBoundsException);
  EXPECT_THROW(Chr(0x110000), OutOfBoundsException);
}

TEST(String, ConcatenationKeepsEveryCharacter) {
  String s;
  std::string expected;
  for (int i = 0; i < 20; ++i) {
    s += String(i % 5 == 0 ? "\xC3\xA9" : "x");
    expected += i % 5 == 0 ? "\xC3\xA9" : "x";
    ASSERT_EQ(s.ToUtf8(), expected);
    ASSERT_EQ(Len(s), i + 1);
  }
  EXPECT_EQ((String("5") + String(" unique words")).ToUtf8(), "5 unique words");
}

}  // namespace
