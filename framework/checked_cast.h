#pragma once
// A typed cast that fails loudly, with the framework's exception, naming both classes as
// they are registered.

#include <string>
#include <typeinfo>

#include "framework/class_registry.h"
#include "framework/exceptions.h"

template <typename Target, typename Source>
Target& RuntimeCheckCast(Source& object) {
  if (auto* target = dynamic_cast<Target*>(&object)) return *target;
  throw RuntimeException("The object is a " + RuntimeClassNameOf(typeid(object)) + ", not a " +
                         RuntimeClassNameOf(typeid(Target)));
}
template <typename Target, typename Source>
Target& RuntimeCheckCast(Source* object) {
  if (object == nullptr) throw RuntimeException("Nil object where an object was expected");
  return RuntimeCheckCast<Target>(*object);
}
