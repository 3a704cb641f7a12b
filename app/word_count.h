#pragma once
// The totals line that File > Open makes of the engine's counts for the label Status. The
// rows' first order is StableOrderByNumber (framework/row_sort.h).

#include <cstdint>

#include "framework/string.h"

// "5 unique words, 7 words in file, 2 lines in file"
String TotalsLine(int32_t uniqueWords, int32_t wordCount, int32_t lineCount);
