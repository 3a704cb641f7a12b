#pragma once
// Applying a property list: every property that the list names is set on the object.

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "framework/property_list.h"

// An object that takes design-time properties. Every applied value is kept, so that
// values without an effect here can still be read back.
class PropertyTarget {
 public:
  virtual ~PropertyTarget() = default;
  void SetProperty(const PropertyEntry& entry);
  // The value last applied under the name (any letter case), if any.
  std::optional<PropertyValue> Property(std::string_view name) const;

 protected:
  // Gives the value its effect; called after the value is kept.
  virtual void ApplyProperty(std::string_view name, const PropertyValue& value) = 0;

 private:
  std::map<std::string, PropertyValue> properties_;  // keyed by lower-case name
};

void _SetProperties(PropertyTarget& object, std::string_view list);

int32_t PropertyInt32(const PropertyValue& value);
bool PropertyBoolean(const PropertyValue& value);
const String& PropertyString(const PropertyValue& value);
Color PropertyColor(const PropertyValue& value);
