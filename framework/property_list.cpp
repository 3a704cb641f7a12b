#include "framework/property_list.h"

#include <cstdio>

#include "framework/ascii_case.h"
#include "framework/exceptions.h"

namespace {

constexpr char kSeparator = ' ';
// Names quoted in messages come from untrusted bytes; a list with no blank at
// all would otherwise put the whole list into the message.
constexpr size_t kLongestQuotedName = 40;

bool EqualIgnoringCase(std::string_view left, std::string_view right) {
  if (left.size() != right.size()) return false;
  for (size_t i = 0; i < left.size(); ++i) {
    if (FoldAscii(left[i]) != FoldAscii(right[i])) return false;
  }
  return true;
}

// Letter case is ignored, so the names the toolkit classes use elsewhere
// ("MacProcId", "ScrollBarHorizontal", "MultiLine") resolve as well.
const PropertyDefinition* FindDefinition(std::string_view name) {
  for (const PropertyDefinition& definition : kPropertyDefinitions) {
    if (EqualIgnoringCase(definition.name, name)) return &definition;
  }
  return nullptr;
}

// The name as it can be shown in a message: bytes outside printable ASCII, quotes and
// backslashes written as \xHH, and cut short after kLongestQuotedName bytes.
std::string Printable(std::string_view name) {
  std::string shown;
  for (size_t i = 0; i < name.size() && i < kLongestQuotedName; ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
      shown += static_cast<char>(byte);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      shown += escaped;
    }
  }
  if (name.size() > kLongestQuotedName) shown += "...";
  return shown;
}

const char* TypeName(PropertyType type) {
  switch (type) {
    case PropertyType::Int32: return "Int32";
    case PropertyType::Boolean: return "Boolean";
    case PropertyType::String: return "String";
    case PropertyType::Color: return "Color";
  }
  return "?";
}

// Reads one list front to back. Every read goes through Take, which checks
// the remaining length first, so nothing outside the list is ever touched.
class ListReader {
 public:
  explicit ListReader(std::string_view bytes) : bytes_(bytes) {}

  std::vector<PropertyEntry> ReadAll() {
    std::vector<PropertyEntry> entries;
    while (position_ < bytes_.size()) entries.push_back(ReadEntry());
    return entries;
  }

 private:
  PropertyEntry ReadEntry() {
    entryOffset_ = position_;
    const size_t separator = bytes_.find(kSeparator, position_);
    if (separator == std::string_view::npos) {
      entryName_ = Quoted(Printable(bytes_.substr(position_)));
      Fail("has no blank after its name before the end of the list");
    }
    const std::string_view spelled = bytes_.substr(position_, separator - position_);
    entryName_ = Quoted(Printable(spelled));
    const PropertyDefinition* definition = FindDefinition(spelled);
    if (definition == nullptr) Fail("names no known property");
    position_ = separator + 1;
    entryName_ = Quoted(Printable(definition->name));
    type_ = definition->type;
    return PropertyEntry{definition->name, ReadValue(), entryOffset_};
  }

  PropertyValue ReadValue() {
    switch (type_) {
      case PropertyType::Int32:
        return static_cast<int32_t>(ReadUnsigned32());
      case PropertyType::Boolean: {
        const auto byte = static_cast<unsigned char>(Take(1)[0]);
        if (byte > 1) {
          char shown[5];
          std::snprintf(shown, sizeof shown, "0x%02X", byte);
          Fail(std::string("has the Boolean byte ") + shown + ", which is neither 0 nor 1");
        }
        return byte == 1;
      }
      case PropertyType::String: {
        const uint32_t count = ReadUnsigned32();
        // Compared against what remains rather than added to the position, so
        // a huge count cannot wrap around.
        if (count > bytes_.size() - position_) {
          Fail("has a String of " + std::to_string(count) + " bytes but only " +
               std::to_string(bytes_.size() - position_) + " bytes remain in the list");
        }
        return String::FromUtf8(Take(count));
      }
      case PropertyType::Color: {
        const std::string_view rgb = Take(3);
        return Color{static_cast<uint8_t>(rgb[0]), static_cast<uint8_t>(rgb[1]),
                     static_cast<uint8_t>(rgb[2])};
      }
    }
    Fail("has a type this reader does not know");
  }

  uint32_t ReadUnsigned32() {
    const std::string_view four = Take(4);
    uint32_t value = 0;
    for (char byte : four) value = (value << 8) | static_cast<unsigned char>(byte);
    return value;
  }

  std::string_view Take(size_t count) {
    const size_t remaining = bytes_.size() - position_;
    if (count > remaining) {
      Fail("is cut short: the list ends inside its " + std::string(TypeName(type_)) + " value (" +
           std::to_string(remaining) + " of " + std::to_string(count) + " bytes present)");
    }
    const std::string_view taken = bytes_.substr(position_, count);
    position_ += count;
    return taken;
  }

  [[noreturn]] void Fail(const std::string& problem) const {
    throw PropertyListError("Property list entry " + entryName_ + " at byte " +
                                std::to_string(entryOffset_) + " " + problem,
                            entryOffset_);
  }

  std::string_view bytes_;
  size_t position_ = 0;
  size_t entryOffset_ = 0;
  std::string entryName_;
  PropertyType type_ = PropertyType::Int32;
};

}  // namespace

PropertyListError::PropertyListError(const std::string& message, size_t offset)
    : RuntimeException(message), offset_(offset) {}

std::vector<PropertyEntry> ReadPropertyList(std::string_view bytes) {
  return ListReader(bytes).ReadAll();
}
