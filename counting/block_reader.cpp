#include "counting/block_reader.h"

#include <algorithm>
#include <cstring>

#include "counting/tuning.h"
#include "counting/word_table.h"
#include "framework/exceptions.h"

namespace counting {

size_t BlockReader::Next(std::vector<char>& buffer) {
  size_t size = carry_.size();
  if (buffer.size() < std::max(blockSize_, size + 1) + kPadding) buffer.resize(std::max(blockSize_, size + 1) + kPadding);
  std::memcpy(buffer.data(), carry_.data(), size);
  carry_.clear();
  for (;;) {
    const size_t room = buffer.size() - kPadding - size;
    const size_t got = atEnd_ ? 0 : stream_.ReadBlock(buffer.data() + size, room);
    size += got;
    if (got < room) atEnd_ = true;  // ReadBlock fills the room unless the file has ended
    if (atEnd_) break;
    size_t cut = size;
    while (cut > 0 && IsWordCharacter(static_cast<unsigned char>(buffer[cut - 1]))) --cut;
    if (cut > 0) {
      carry_.assign(buffer.data() + cut, size - cut);
      size = cut;
      break;
    }
    // A block of letters only: one word longer than the block, which grows to hold it.
    if (size > static_cast<size_t>(kMaxCount)) throw OverflowException("A word longer than 2147483647 letters is not supported.");
    buffer.resize(buffer.size() * 2);
  }
  if (size > 0) lastByte_ = static_cast<unsigned char>(buffer[size - 1]);
  std::memset(buffer.data() + size, 0, kPadding);
  return size;
}

}  // namespace counting
