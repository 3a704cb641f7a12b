#pragma once
// Counting the lines, words and distinct words of a text, without any window: File > Open
// runs this between opening the file and filling the results window.

#include "counting/word_counts.h"
#include "framework/text_input_stream.h"

// Reads the whole stream and counts it. The words are the runs of ASCII letters, lower-cased;
// a line ends at LF, CRLF or a lone CR, and a terminator at the very end adds no empty line.
// OverflowException if a count would pass 2147483647; IOException from the stream on a read
// error. Calls the yield hook as it goes, on the caller's thread only.
WordCounts CountWords(TextInputStream& stream, const CountOptions& options = {});
// The same, adding to counts already made.
void CountWordsInto(TextInputStream& stream, WordCounts& counts, const CountOptions& options = {});
