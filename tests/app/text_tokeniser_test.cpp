#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/word_tokeniser.h"
#include "framework/string.h"

namespace {

// Every word of one line with the position after it, then the final position.
struct TokeniserCase {
  std::string line;
  int32_t start;
  std::vector<std::pair<std::string, int32_t>> words;
  int32_t finalPosition;
};

class Tokeniser : public testing::TestWithParam<TokeniserCase> {};

TEST_P(Tokeniser, YieldsEachWordAndAdvancesPosition) {
  const TokeniserCase& c = GetParam();
  const String line = String::FromUtf8(c.line);
  int32_t position = c.start;
  for (const auto& [word, after] : c.words) {
    EXPECT_EQ(GetWord(line, position).ToUtf8(), word);
    EXPECT_EQ(position, after) << word;
  }
  EXPECT_EQ(GetWord(line, position).ToUtf8(), "");
  EXPECT_EQ(position, c.finalPosition);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Tokeniser,
    testing::Values(
        TokeniserCase{"don't", 1, {{"don", 5}, {"t", 6}}, 6},
        TokeniserCase{"abc123xyz", 1, {{"abc", 5}, {"xyz", 10}}, 10},
        TokeniserCase{"  Hello, World!  ", 1, {{"Hello", 9}, {"World", 16}}, 18},
        TokeniserCase{"caf\xC3\xA9", 1, {{"caf", 5}}, 5},
        TokeniserCase{"na\xC3\xAFve", 1, {{"na", 4}, {"ve", 6}}, 6},
        TokeniserCase{"\xC5\x81" "a\xC5\x81" "b", 1, {{"a", 4}, {"b", 5}}, 5},  // U+0141's low byte is an A
        TokeniserCase{"", 1, {}, 1},
        TokeniserCase{"123 !? 456", 1, {}, 11},
        TokeniserCase{"@[`{AZaz", 1, {{"AZaz", 9}}, 9},  // the characters just outside A-Z and a-z
        TokeniserCase{"x", 1, {{"x", 2}}, 2},
        TokeniserCase{"abcdef ghi", 3, {{"cdef", 8}, {"ghi", 11}}, 11},
        TokeniserCase{"short", 9, {}, 9}));  // a start past the end is left alone

}  // namespace
