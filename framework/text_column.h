#pragma once
// TextColumn: many byte strings kept end to end in one block, with the offset where each
// starts. Millions of short words cost their bytes plus 4 bytes each, instead of an
// allocation each. The count table keeps its words in one, and a list can take it over
// whole as a column, so the words are never copied between the two.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "framework/exceptions.h"

class TextColumn {
 public:
  int32_t Count() const { return static_cast<int32_t>(offsets_.size() - 1); }
  // 0-based; the caller keeps `index` within 0 .. Count() - 1.
  std::string_view At(int32_t index) const {
    const auto i = static_cast<size_t>(index);
    return {bytes_.data() + offsets_[i], offsets_[i + 1] - offsets_[i]};
  }
  // OverflowException when the column would pass 4 GiB of text or 2147483647 entries.
  void Append(std::string_view text) {
    if (text.size() > kMaxBytes - bytes_.size())
      throw OverflowException("More than 4 GiB of text in one column is not supported.");
    if (offsets_.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
      throw OverflowException("More than 2147483647 entries in one column are not supported.");
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    offsets_.push_back(static_cast<uint32_t>(bytes_.size()));
  }
  size_t ByteCount() const { return bytes_.size(); }
  // For builders that fill the block themselves: offsets_ starts with 0 and has one entry
  // past the last string; offsets_[i + 1] - offsets_[i] is the length of string i.
  std::vector<char>& Bytes() { return bytes_; }
  const std::vector<char>& Bytes() const { return bytes_; }
  std::vector<uint32_t>& Offsets() { return offsets_; }
  const std::vector<uint32_t>& Offsets() const { return offsets_; }

 private:
  static constexpr size_t kMaxBytes = std::numeric_limits<uint32_t>::max();
  std::vector<char> bytes_;
  std::vector<uint32_t> offsets_{0};
};
