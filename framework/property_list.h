// Property lists: the binary form in which a window or a control carries its
// design-time properties. A list is a run of entries, each a property name,
// one blank (0x20) and a value whose type follows from the name alone. There
// is no header, count or terminator: the list's length ends it, and 0x00 and
// 0x80..0xFF bytes are ordinary data, so a list is never a C string.
//
// Values:  Int32    4 bytes, signed, big-endian
//          Boolean  1 byte, 0x00 or 0x01
//          String   4-byte big-endian byte count, then that many UTF-8 bytes
//          Color    3 bytes: red, green, blue
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "framework/exceptions.h"
#include "framework/string.h"

struct Color {
  uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

enum class PropertyType { Int32, Boolean, String, Color };

using PropertyValue = std::variant<int32_t, bool, String, Color>;

struct PropertyEntry {
  std::string_view name;  // spelled as in kPropertyDefinitions, whatever the list's case
  PropertyValue value;
  size_t offset;  // where the entry's name starts in the list
};

// A list that cannot be read to its end. The message names the entry and the
// byte offset at which it starts.
class PropertyListError : public RuntimeException {
 public:
  PropertyListError(const std::string& message, size_t offset);
  size_t Offset() const { return offset_; }

 private:
  size_t offset_;
};

struct PropertyDefinition {
  std::string_view name;
  PropertyType type;
};

// Every property a list may name. A value carries no length or type tag, so a
// name outside this table makes the rest of the list unreadable.
inline constexpr auto kPropertyDefinitions = std::to_array<PropertyDefinition>({
    {"Placement", PropertyType::Int32},
    {"Width", PropertyType::Int32},
    {"Height", PropertyType::Int32},
    {"MinWidth", PropertyType::Int32},
    {"MinHeight", PropertyType::Int32},
    {"MaxWidth", PropertyType::Int32},
    {"MaxHeight", PropertyType::Int32},
    {"Frame", PropertyType::Int32},
    {"Composite", PropertyType::Boolean},
    {"HasBackColor", PropertyType::Boolean},
    {"BackColor", PropertyType::Color},
    {"Title", PropertyType::String},
    {"Visible", PropertyType::Boolean},
    {"FullScreen", PropertyType::Boolean},
    {"MenuBarVisible", PropertyType::Boolean},
    {"CloseButton", PropertyType::Boolean},
    {"Resizeable", PropertyType::Boolean},
    {"LiveResize", PropertyType::Boolean},
    {"MaximizeButton", PropertyType::Boolean},
    {"MinimizeButton", PropertyType::Boolean},
    {"MacProcID", PropertyType::Int32},
    {"Name", PropertyType::String},
    {"Index", PropertyType::Int32},
    {"Left", PropertyType::Int32},
    {"Top", PropertyType::Int32},
    {"LockLeft", PropertyType::Boolean},
    {"LockTop", PropertyType::Boolean},
    {"LockRight", PropertyType::Boolean},
    {"LockBottom", PropertyType::Boolean},
    {"TabPanelIndex", PropertyType::Int32},
    {"TabIndex", PropertyType::Int32},
    {"TabStop", PropertyType::Boolean},
    {"HelpTag", PropertyType::String},
    {"AutoDeactivate", PropertyType::Boolean},
    {"Enabled", PropertyType::Boolean},
    {"Border", PropertyType::Boolean},
    {"ColumnCount", PropertyType::Int32},
    {"ColumnWidths", PropertyType::String},
    {"HasHeading", PropertyType::Boolean},
    {"UseFocusRing", PropertyType::Boolean},
    {"InitialValue", PropertyType::String},
    {"HeadingIndex", PropertyType::Int32},
    {"ScrollbarHorizontal", PropertyType::Boolean},
    {"ScrollBarVertical", PropertyType::Boolean},
    {"GridLinesHorizontal", PropertyType::Int32},
    {"GridLinesVertical", PropertyType::Int32},
    {"DefaultRowHeight", PropertyType::Int32},
    {"_ScrollWidth", PropertyType::Int32},
    {"TextFont", PropertyType::String},
    {"Bold", PropertyType::Boolean},
    {"Italic", PropertyType::Boolean},
    {"Underline", PropertyType::Boolean},
    {"Hierarchical", PropertyType::Boolean},
    {"EnableDrag", PropertyType::Boolean},
    {"EnableDragReorder", PropertyType::Boolean},
    {"RequiresSelection", PropertyType::Boolean},
    {"SelectionType", PropertyType::Int32},
    {"ColumnsResizable", PropertyType::Boolean},
    {"AutoHideScrollbars", PropertyType::Boolean},
    {"DataSource", PropertyType::String},
    {"DataField", PropertyType::String},
    {"InitialParent", PropertyType::String},
    {"Text", PropertyType::String},
    {"TextAlign", PropertyType::Int32},
    {"TextColor", PropertyType::Color},
    {"Multiline", PropertyType::Boolean},
});

// Reads a whole list. Throws PropertyListError if it is malformed; never reads
// outside `bytes`. An empty list has no entries.
std::vector<PropertyEntry> ReadPropertyList(std::string_view bytes);

// Compile-time writer for the program's own constant lists, so that each list
// reads as a table of names and values and its bytes exist only in the binary:
//
//   constexpr auto kEntries = std::to_array<Entry>({Int32("Width", 600), ...});
//   constexpr auto kBytes = Encode<EncodedSize(kEntries)>(kEntries);
//
// A name that is not in kPropertyDefinitions, or given a value of the wrong
// type, stops the build.
namespace PropertyListConstants {

struct Entry {
  std::string_view name;
  PropertyType type;
  int32_t number = 0;     // Int32, and Boolean as 0 or 1
  std::string_view text;  // String, as UTF-8
  Color color;
};

constexpr Entry Int32(std::string_view name, int32_t value) {
  return {name, PropertyType::Int32, value, {}, {}};
}
constexpr Entry Boolean(std::string_view name, bool value) {
  return {name, PropertyType::Boolean, value ? 1 : 0, {}, {}};
}
constexpr Entry Text(std::string_view name, std::string_view utf8) {
  return {name, PropertyType::String, 0, utf8, {}};
}
constexpr Entry Rgb(std::string_view name, uint8_t red, uint8_t green, uint8_t blue) {
  return {name, PropertyType::Color, 0, {}, Color{red, green, blue}};
}

constexpr size_t EncodedSize(const Entry& entry) {
  bool known = false;
  for (const PropertyDefinition& definition : kPropertyDefinitions) {
    if (definition.name == entry.name) {
      if (definition.type != entry.type) throw std::logic_error("property given a value of the wrong type");
      known = true;
    }
  }
  if (!known) throw std::logic_error("property name not spelled as in kPropertyDefinitions");
  size_t valueSize = 0;
  switch (entry.type) {
    case PropertyType::Int32: valueSize = 4; break;
    case PropertyType::Boolean: valueSize = 1; break;
    case PropertyType::String: valueSize = 4 + entry.text.size(); break;
    case PropertyType::Color: valueSize = 3; break;
  }
  return entry.name.size() + 1 + valueSize;
}

template <size_t N>
constexpr size_t EncodedSize(const std::array<Entry, N>& entries) {
  size_t size = 0;
  for (const Entry& entry : entries) size += EncodedSize(entry);
  return size;
}

template <size_t Size, size_t N>
constexpr std::array<char, Size> Encode(const std::array<Entry, N>& entries) {
  std::array<char, Size> bytes{};
  size_t at = 0;
  auto put = [&](uint32_t byte) { bytes[at++] = static_cast<char>(byte & 0xFF); };
  auto putBigEndian = [&](uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) put(value >> shift);
  };
  for (const Entry& entry : entries) {
    for (char letter : entry.name) put(static_cast<unsigned char>(letter));
    put(' ');
    switch (entry.type) {
      case PropertyType::Int32: putBigEndian(static_cast<uint32_t>(entry.number)); break;
      case PropertyType::Boolean: put(static_cast<uint32_t>(entry.number)); break;
      case PropertyType::String:
        putBigEndian(static_cast<uint32_t>(entry.text.size()));
        for (char byte : entry.text) put(static_cast<unsigned char>(byte));
        break;
      case PropertyType::Color:
        put(entry.color.red);
        put(entry.color.green);
        put(entry.color.blue);
        break;
    }
  }
  if (at != Size) throw std::logic_error("Encode<Size> must be given EncodedSize(entries)");
  return bytes;
}

template <size_t Size>
constexpr std::string_view View(const std::array<char, Size>& bytes) {
  return std::string_view(bytes.data(), bytes.size());
}

}  // namespace PropertyListConstants
