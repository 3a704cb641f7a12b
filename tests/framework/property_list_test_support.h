#pragma once
// Helpers shared by the property-list tests: a plain writer (kept apart from
// the program's compile-time one so that each checks the other), hex input,
// readable printing, and a mutation driver for the reader.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "framework/property_list.h"

inline void PrintTo(const String& text, std::ostream* out) { *out << '"' << text.ToUtf8() << '"'; }
inline void PrintTo(const Color& color, std::ostream* out) {
  *out << "Color(" << int{color.red} << ", " << int{color.green} << ", " << int{color.blue} << ")";
}

struct NamedValue {
  std::string_view name;
  PropertyValue value;
};

inline PropertyValue StringValue(std::string_view utf8) { return String::FromUtf8(utf8); }

// "50 6C 61" -> the three bytes.
inline std::string FromHex(std::string_view hex) {
  std::string bytes;
  for (size_t i = 0; i < hex.size();) {
    if (hex[i] == ' ') {
      ++i;
      continue;
    }
    bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    i += 2;
  }
  return bytes;
}

inline std::string BigEndian32(uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
          static_cast<char>(value)};
}

inline std::string WriteValue(const PropertyValue& value) {
  struct Encoder {
    std::string operator()(int32_t number) const { return BigEndian32(static_cast<uint32_t>(number)); }
    std::string operator()(bool flag) const { return std::string(1, flag ? '\x01' : '\x00'); }
    std::string operator()(const String& text) const {
      const std::string utf8 = text.ToUtf8();
      return BigEndian32(static_cast<uint32_t>(utf8.size())) + utf8;
    }
    std::string operator()(const Color& color) const {
      return {static_cast<char>(color.red), static_cast<char>(color.green), static_cast<char>(color.blue)};
    }
  };
  return std::visit(Encoder{}, value);
}

inline std::string WriteEntry(std::string_view name, const PropertyValue& value) {
  return std::string(name) + ' ' + WriteValue(value);
}

template <typename Entries>
std::string WritePropertyList(const Entries& entries) {
  std::string bytes;
  for (const auto& entry : entries) bytes += WriteEntry(entry.name, entry.value);
  return bytes;
}

// Compares name, value and order; offsets must follow from the encoding.
inline void ExpectEntries(std::string_view list, const std::vector<NamedValue>& expected) {
  const std::vector<PropertyEntry> entries = ReadPropertyList(list);
  ASSERT_EQ(entries.size(), expected.size());
  size_t offset = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("entry " + std::to_string(i) + " " + std::string(expected[i].name));
    EXPECT_EQ(entries[i].name, expected[i].name);
    EXPECT_EQ(entries[i].value, expected[i].value);
    EXPECT_EQ(entries[i].offset, offset);
    offset += WriteEntry(expected[i].name, expected[i].value).size();
  }
  EXPECT_EQ(offset, list.size());
}

// Feeds the reader from an allocation of exactly the input's size, so that a
// read one byte too far is caught by AddressSanitizer rather than landing in
// std::string's spare capacity.
class ExactBuffer {
 public:
  explicit ExactBuffer(std::string_view bytes) : size_(bytes.size()), data_(new char[bytes.size()]) {
    std::copy(bytes.begin(), bytes.end(), data_.get());
  }
  std::string_view View() const { return {data_.get(), size_}; }

 private:
  size_t size_;
  std::unique_ptr<char[]> data_;
};

inline char LowerAscii(char letter) {
  return (letter >= 'A' && letter <= 'Z') ? static_cast<char>(letter - 'A' + 'a') : letter;
}

inline std::string LowerAscii(std::string_view bytes) {
  std::string lower(bytes);
  for (char& letter : lower) letter = LowerAscii(letter);
  return lower;
}

// Reads one input; the reader must either succeed or throw PropertyListError.
// What it accepts must be a list that writes back to the same bytes, up to the
// letter case of names. Returns whether the input was accepted.
inline bool ReadMustAcceptOrReject(std::string_view input) {
  const ExactBuffer buffer(input);
  try {
    const std::vector<PropertyEntry> entries = ReadPropertyList(buffer.View());
    std::string rewritten;
    for (const PropertyEntry& entry : entries) {
      if (entry.offset != rewritten.size()) {
        ADD_FAILURE() << "entry " << entry.name << " reported at byte " << entry.offset << ", expected "
                      << rewritten.size();
      }
      rewritten += WriteEntry(entry.name, entry.value);
    }
    if (LowerAscii(rewritten) != LowerAscii(input)) ADD_FAILURE() << "accepted list does not write back the same";
    return true;
  } catch (const PropertyListError& error) {
    const std::string message = error.what();
    if (message.find("at byte " + std::to_string(error.Offset())) == std::string::npos) {
      ADD_FAILURE() << "message does not give the offset: " << message;
    }
    if (error.Offset() >= input.size()) ADD_FAILURE() << "offset " << error.Offset() << " outside the list";
    return false;
  } catch (const std::exception& error) {
    ADD_FAILURE() << "unexpected exception: " << error.what();
    return false;
  }
}

struct FuzzCounts {
  int accepted = 0;
  int rejected = 0;
};

// Mutates well-formed seed lists: bit flips, truncation, inserted and removed
// bytes, String counts set huge, and names with their case scrambled.
inline FuzzCounts FuzzFromSeeds(const std::vector<std::string>& seeds, uint32_t seed, int rounds) {
  std::mt19937 random(seed);
  auto below = [&](size_t bound) { return bound == 0 ? size_t{0} : std::uniform_int_distribution<size_t>(0, bound - 1)(random); };
  auto byte = [&] { return static_cast<char>(below(256)); };
  FuzzCounts counts;
  for (int round = 0; round < rounds; ++round) {
    std::string list = seeds[below(seeds.size())];
    const int mutations = 1 + static_cast<int>(below(3));
    for (int m = 0; m < mutations && !list.empty(); ++m) {
      switch (below(7)) {
        case 0:  // flip one bit
          list[below(list.size())] ^= static_cast<char>(1 << below(8));
          break;
        case 1:  // cut the list short
          list.resize(below(list.size()));
          break;
        case 2:  // insert a few bytes
          list.insert(below(list.size() + 1), std::string(1 + below(4), byte()));
          break;
        case 3:  // remove a few bytes
          list.erase(below(list.size()), 1 + below(4));
          break;
        case 4: {  // a String count set huge, or just past the end
          std::vector<size_t> count_offsets;
          try {
            for (const PropertyEntry& entry : ReadPropertyList(list)) {
              if (std::holds_alternative<String>(entry.value)) count_offsets.push_back(entry.offset + entry.name.size() + 1);
            }
          } catch (const PropertyListError&) {
          }
          if (count_offsets.empty()) break;
          const size_t at = count_offsets[below(count_offsets.size())];
          const uint32_t huge[] = {0xFFFFFFFFu, 0xFFFFFFFCu, 0x80000000u, 0x7FFFFFFFu,
                                   static_cast<uint32_t>(list.size() - at - 3), static_cast<uint32_t>(0u - at)};
          list.replace(at, 4, BigEndian32(huge[below(std::size(huge))]));
          break;
        }
        case 5:  // overwrite a byte with a blank, splitting or ending a name
          list[below(list.size())] = ' ';
          break;
        case 6:  // scramble the case of everything: names must still resolve
          for (char& letter : list) {
            if (below(2) && letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
          }
          break;
      }
    }
    (ReadMustAcceptOrReject(list) ? counts.accepted : counts.rejected)++;
  }
  return counts;
}
