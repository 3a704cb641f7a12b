#pragma once
// A typed cast that fails loudly, with the framework's exception.

#include <string>
#include <typeinfo>

#include "framework/exceptions.h"

template <typename Target, typename Source>
Target& RuntimeCheckCast(Source& object) {
  if (auto* target = dynamic_cast<Target*>(&object)) return *target;
  throw RuntimeException(std::string("Object is not of the expected class (") + typeid(Target).name() + ")");
}
template <typename Target, typename Source>
Target& RuntimeCheckCast(Source* object) {
  if (object == nullptr) throw RuntimeException("Nil object where an object was expected");
  return RuntimeCheckCast<Target>(*object);
}
