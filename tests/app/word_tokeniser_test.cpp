#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "framework/string.h"
#include "framework/yield.h"

namespace {

// A line, where the search starts, every word it yields with the position after it, and the
// position after the call that returns "".
struct TokeniserCase {
  const char* name;
  std::string line;
  int32_t start;
  std::vector<std::pair<std::string, int32_t>> words;
  int32_t finalPosition;
};

void PrintTo(const TokeniserCase& c, std::ostream* out) { *out << c.name; }

class Tokeniser : public testing::TestWithParam<TokeniserCase> {};

TEST_P(Tokeniser, YieldsEachWordAndAdvancesThePosition) {
  const TokeniserCase& c = GetParam();
  class App application;
  const String line = String::FromUtf8(c.line);
  int32_t position = c.start;
  for (const auto& [word, after] : c.words) {
    EXPECT_EQ(application.GetWord(line, position).ToUtf8(), word);
    EXPECT_EQ(position, after) << word;
  }
  EXPECT_EQ(application.GetWord(line, position).ToUtf8(), "");
  EXPECT_EQ(position, c.finalPosition);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Tokeniser,
    testing::Values(
        TokeniserCase{"ApostropheSplitsAWord", "don't", 1, {{"don", 5}, {"t", 6}}, 6},
        TokeniserCase{"DigitsSplitAWordAndGoWithIt", "abc123xyz", 1, {{"abc", 5}, {"xyz", 10}}, 10},
        TokeniserCase{"HyphenSplitsAWord", "e-mail", 1, {{"e", 3}, {"mail", 7}}, 7},
        TokeniserCase{"RunsOfDelimitersAreSkippedWhole", "  Hello, World!  ", 1, {{"Hello", 9}, {"World", 16}}, 18},
        // Positions count characters: é and ï are one delimiter each, of two bytes.
        TokeniserCase{"AccentedLetterEndsAWord", "caf\xC3\xA9", 1, {{"caf", 5}}, 5},
        TokeniserCase{"AccentedLetterSplitsAWord", "na\xC3\xAFve", 1, {{"na", 4}, {"ve", 6}}, 6},
        // U+0141 is C5 81: neither it nor its low byte is taken for a letter.
        TokeniserCase{"LetterBeyondAsciiIsADelimiter", "\xC5\x81" "a\xC5\x81" "b", 1, {{"a", 4}, {"b", 5}}, 5},
        TokeniserCase{"EmptyLineLeavesThePosition", "", 1, {}, 1},
        TokeniserCase{"DelimitersOnlyEndPastTheLine", "0123456789 !?'-", 1, {}, 16},
        TokeniserCase{"CapitalsAreKeptAsTheyStand", "ABC def", 1, {{"ABC", 5}, {"def", 8}}, 8},
        TokeniserCase{"CharactersBesideTheLettersAreDelimiters", "@[`{AZaz", 1, {{"AZaz", 9}}, 9},
        TokeniserCase{"OneLetterLine", "x", 1, {{"x", 2}}, 2},
        TokeniserCase{"StartsInsideTheLine", "abcdef ghi", 3, {{"cdef", 8}, {"ghi", 11}}, 11},
        TokeniserCase{"StartPastTheEndIsLeftAlone", "short", 9, {}, 9}),
    [](const auto& info) { return std::string(info.param.name); });

// The event loop gets its turn after every character taken without returning a word.
TEST(TokeniserYield, RunsTheYieldHookOncePerCharacterTakenWithoutReturning) {
  class App application;
  const String line("  ab,cd");
  int32_t position = 1;
  const uint32_t before = background_task_detail::passCounter;
  application.GetWord(line, position);  // two blanks and two letters; the comma returns the word
  EXPECT_EQ(background_task_detail::passCounter - before, 4u);
  application.GetWord(line, position);  // two letters, then the end of the line
  EXPECT_EQ(background_task_detail::passCounter - before, 6u);
}

}  // namespace
