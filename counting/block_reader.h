#pragma once
// Reading a stream in blocks that never split a word.

#include <cstddef>
#include <string>
#include <vector>

#include "counting/characters.h"
#include "framework/text_input_stream.h"

namespace counting {

// Reads the stream in blocks that each end just after a non-letter, or at the end of the file,
// so that no word is split between two blocks; the letters after the last non-letter of a read
// wait for the next block.
class BlockReader {
 public:
  BlockReader(TextInputStream& stream, size_t blockSize) : stream_(stream), blockSize_(blockSize) {}

  // Fills `buffer` with the next block and returns its size, 0 at the end. kPadding bytes after
  // the block are readable.
  size_t Next(std::vector<char>& buffer);

  // How the text read so far ends.
  TextEnd End() const { return IsLineEndByte(lastByte_) ? TextEnd::kAfterLineEnd : TextEnd::kInsideALine; }
  void SetBlockSize(size_t blockSize) { blockSize_ = blockSize; }
  // Whether the block handed out last ended in CR: an LF at the start of the next one is then
  // part of the same line end.
  bool LastByteWasCarriageReturn() const { return lastByte_ == '\r'; }

 private:
  TextInputStream& stream_;
  size_t blockSize_;
  std::string carry_;
  bool atEnd_ = false;
  // An empty file ends as if after a line end: it has no lines.
  unsigned char lastByte_ = '\n';
};

}  // namespace counting
