#include "framework/class_registry.h"

#include <algorithm>
#include <memory>

namespace {

struct Registry {
  std::vector<std::unique_ptr<RuntimeClass>> classes;  // in the order of registration
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

std::vector<const RuntimeClass*> RuntimeClass::Lineage() const {
  std::vector<const RuntimeClass*> lineage;
  for (const RuntimeClass* runtimeClass = this; runtimeClass != nullptr; runtimeClass = runtimeClass->base) {
    lineage.push_back(runtimeClass);
  }
  return lineage;
}

bool RuntimeClass::IsA(std::string_view ancestor) const {
  const auto lineage = Lineage();
  return std::any_of(lineage.begin(), lineage.end(), [&](const RuntimeClass* c) { return c->name == ancestor; });
}

const EventBinding* RuntimeClass::BindingFor(std::string_view event) const {
  for (const RuntimeClass* runtimeClass : Lineage()) {
    for (const EventBinding& binding : runtimeClass->bindings) {
      if (binding.event == event) return &binding;
    }
  }
  return nullptr;
}

bool RuntimeClass::Declares(std::string_view event) const {
  const auto lineage = Lineage();
  return std::any_of(lineage.begin(), lineage.end(), [&](const RuntimeClass* c) {
    return std::find(c->events.begin(), c->events.end(), event) != c->events.end();
  });
}

void RuntimeRegisterClass(RuntimeClass runtimeClass) {
  if (RuntimeClassNamed(runtimeClass.name) != nullptr) {
    throw RuntimeException("The class " + runtimeClass.name + " is registered already");
  }
  if (runtimeClass.type != typeid(void) && RuntimeClassOfType(runtimeClass.type) != nullptr) {
    throw RuntimeException("The class " + runtimeClass.name + " is registered already under another name");
  }
  const RuntimeClass* base = runtimeClass.baseName.empty() ? nullptr : RuntimeClassNamed(runtimeClass.baseName);
  if (!runtimeClass.baseName.empty() && base == nullptr) {
    throw RuntimeException("The class " + runtimeClass.name + " names the unknown base " + runtimeClass.baseName);
  }
  for (const EventBinding& binding : runtimeClass.bindings) {
    if (base == nullptr || !base->Declares(binding.event)) {
      throw RuntimeException("The class " + runtimeClass.name + " binds the event " + binding.event +
                             ", which its base does not declare");
    }
  }
  runtimeClass.base = base;
  TheRegistry().classes.push_back(std::make_unique<RuntimeClass>(std::move(runtimeClass)));
}

std::vector<const RuntimeClass*> RuntimeRegisteredClasses() {
  std::vector<const RuntimeClass*> classes;
  for (const auto& runtimeClass : TheRegistry().classes) classes.push_back(runtimeClass.get());
  return classes;
}

const RuntimeClass* RuntimeClassNamed(std::string_view name) {
  for (const auto& runtimeClass : TheRegistry().classes) {
    if (runtimeClass->name == name) return runtimeClass.get();
  }
  return nullptr;
}

const RuntimeClass* RuntimeClassOfType(std::type_index type) {
  for (const auto& runtimeClass : TheRegistry().classes) {
    if (runtimeClass->type == type) return runtimeClass.get();
  }
  return nullptr;
}

const RuntimeClass& RuntimeClassOf(const Object& object) {
  if (const RuntimeClass* runtimeClass = RuntimeClassOfType(typeid(object))) return *runtimeClass;
  throw RuntimeException(std::string("The class of this object is not registered (") + typeid(object).name() + ")");
}

std::string RuntimeClassNameOf(const std::type_info& type) {
  if (const RuntimeClass* runtimeClass = RuntimeClassOfType(type)) return runtimeClass->name;
  return type.name();
}

bool RuntimeRaiseEvent(Object& object, std::string_view event, Object* argument) {
  const RuntimeClass& runtimeClass = RuntimeClassOf(object);
  if (!runtimeClass.Declares(event)) {
    throw RuntimeException("The class " + runtimeClass.name + " has no event " + std::string(event));
  }
  const EventBinding* binding = runtimeClass.BindingFor(event);
  if (binding == nullptr) return false;
  binding->invoke(object, argument);
  return true;
}
