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

}  // namespace
