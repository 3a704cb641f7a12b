#pragma once
// What File > Open makes of the counts before it shows them: the rows' first order and the
// totals line.

#include <cstdint>
#include <vector>

#include "counting/count_words.h"
#include "framework/string.h"

// "5 unique words, 7 words in file, 2 lines in file"
String TotalsLine(int32_t uniqueWords, int32_t wordCount, int32_t lineCount);
