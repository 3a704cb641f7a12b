#include "framework/set_properties.h"

#include "framework/ascii_case.h"

namespace {

std::string LowerCase(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = FoldAscii(c);
  return lower;
}

template <typename T>
const T& ValueAs(const PropertyValue& value, const char* typeName) {
  if (const T* typed = std::get_if<T>(&value)) return *typed;
  throw RuntimeException(std::string("Property value is not of type ") + typeName);
}

}  // namespace

void PropertyTarget::SetProperty(const PropertyEntry& entry) {
  properties_[LowerCase(entry.name)] = entry.value;
  ApplyProperty(entry.name, entry.value);
}

std::optional<PropertyValue> PropertyTarget::Property(std::string_view name) const {
  const auto found = properties_.find(LowerCase(name));
  if (found == properties_.end()) return std::nullopt;
  return found->second;
}

void _SetProperties(PropertyTarget& object, std::string_view list) {
  for (const PropertyEntry& entry : ReadPropertyList(list)) object.SetProperty(entry);
}

int32_t PropertyInt32(const PropertyValue& value) { return ValueAs<int32_t>(value, "Int32"); }
bool PropertyBoolean(const PropertyValue& value) { return ValueAs<bool>(value, "Boolean"); }
const String& PropertyString(const PropertyValue& value) { return ValueAs<String>(value, "String"); }
Color PropertyColor(const PropertyValue& value) { return ValueAs<Color>(value, "Color"); }
