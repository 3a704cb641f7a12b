#pragma once
// The runtime's classes. Each class is registered once, under its name, with its base, the
// events it declares, the methods it publishes (with their signature texts), the events of its
// base that it binds to its own methods, and the controls its windows hold. The framework
// raises a window's and the application's events only through these bindings, hands out a
// method as a handler only when its class publishes it, and a failed cast names the classes.

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <utility>
#include <vector>

#include "framework/exceptions.h"
#include "framework/string.h"

// The root of the classes whose events the framework raises.
class Object {
 public:
  virtual ~Object() = default;
};

enum class MethodScope { kPublic, kPublicHidden };

struct PublishedMethod {
  std::string name;
  std::string signature;  // "( Int32, Int32 ) as Boolean"; "(  )" for no arguments and no result
  MethodScope scope = MethodScope::kPublic;
  std::any memberPointer;  // the C++ member function, to recognise it when it is handed out
};

struct EventBinding {
  std::string event;
  std::string method;
  std::function<void(Object& self, Object* argument)> invoke;
};

struct DeclaredControl {
  std::string name;
  std::string className;
};

struct RuntimeClass {
  std::string name;
  std::string baseName;  // empty for the root
  std::type_index type = typeid(void);
  std::vector<std::string> events;  // declared by this class, in order
  std::vector<PublishedMethod> methods;
  std::vector<EventBinding> bindings;
  std::vector<DeclaredControl> controls;
  const RuntimeClass* base = nullptr;  // the class named baseName, found when this one registers

  // This class, then its base, and so on to the root.
  std::vector<const RuntimeClass*> Lineage() const;
  // Whether this class is `ancestor` or derives from it.
  bool IsA(std::string_view ancestor) const;
  // The binding of `event` here or on the nearest base that binds it, or nullptr.
  const EventBinding* BindingFor(std::string_view event) const;
  // Whether this class or a base declares `event`.
  bool Declares(std::string_view event) const;
};

// Registers a class; fails loudly for a second class of the same name or C++ type, an
// unknown base, or a binding of an event that no base declares.
void RuntimeRegisterClass(RuntimeClass runtimeClass);
// The registered classes, in the order of registration.
std::vector<const RuntimeClass*> RuntimeRegisteredClasses();
const RuntimeClass* RuntimeClassNamed(std::string_view name);
const RuntimeClass* RuntimeClassOfType(std::type_index type);
// The class an object is of; fails loudly, naming the C++ type, when it is not registered.
const RuntimeClass& RuntimeClassOf(const Object& object);
// The registered name of a C++ type, or its C++ name when it is not registered.
std::string RuntimeClassNameOf(const std::type_info& type);

// Raises the object's event through its class's binding. Returns whether the class binds it;
// an event that no class declares fails loudly.
bool RuntimeRaiseEvent(Object& object, std::string_view event, Object* argument = nullptr);

// The class of `Class`, registering it first when it is not registered yet: a class of the
// program registers itself with a static `RegisterClass()`, once, even when it is used before
// its turn at start-up.
template <typename Class>
const RuntimeClass& RuntimeClassFor() {
  if (const RuntimeClass* known = RuntimeClassOfType(typeid(Class))) return *known;
  if constexpr (requires { Class::RegisterClass(); }) Class::RegisterClass();
  if (const RuntimeClass* registered = RuntimeClassOfType(typeid(Class))) return *registered;
  throw RuntimeException("The class " + RuntimeClassNameOf(typeid(Class)) + " is not registered");
}

// A new object of a registered class; its constructor does nothing of the program's own.
template <typename Class>
std::unique_ptr<Class> RuntimeNewObject() {
  RuntimeClassFor<Class>();
  return std::make_unique<Class>();
}

namespace class_registry_detail {

// The signature text of one type: the registered class name of a class, "ByRef" before a
// value passed by reference.
template <typename Type>
std::string TypeText() {
  using Bare = std::remove_cvref_t<Type>;
  if constexpr (std::is_same_v<Bare, bool>) return "Boolean";
  else if constexpr (std::is_same_v<Bare, int32_t>) {
    return std::is_lvalue_reference_v<Type> && !std::is_const_v<std::remove_reference_t<Type>> ? "ByRef Int32"
                                                                                                 : "Int32";
  } else if constexpr (std::is_same_v<Bare, float>) return "Single";
  else if constexpr (std::is_same_v<Bare, String>) return "String";
  else return RuntimeClassNameOf(typeid(Bare));
}

// Whether a handler's first argument is the control that raised the event: it is passed
// along with the event, and is no part of the signature.
template <typename... Arguments>
bool FirstIsControl() {
  if constexpr (sizeof...(Arguments) == 0) return false;
  else {
    using First = std::remove_cvref_t<std::tuple_element_t<0, std::tuple<Arguments...>>>;
    if constexpr (!std::is_class_v<First> || std::is_same_v<First, String>) return false;
    else {
      const RuntimeClass* runtimeClass = RuntimeClassOfType(typeid(First));
      return runtimeClass != nullptr && runtimeClass->IsA("RectControl");
    }
  }
}

template <typename Result, typename... Arguments>
std::string SignatureText() {
  std::vector<std::string> texts{TypeText<Arguments>()...};
  if (FirstIsControl<Arguments...>()) texts.erase(texts.begin());
  std::string signature = "(";
  if (texts.empty()) signature += "  ";
  for (size_t i = 0; i < texts.size(); ++i) signature += (i == 0 ? " " : ", ") + texts[i];
  if (!texts.empty()) signature += " ";
  signature += ")";
  if constexpr (!std::is_void_v<Result>) signature += " as " + TypeText<Result>();
  return signature;
}

}  // namespace class_registry_detail

// Builds one class's registration step by step, then registers it.
template <typename Class>
class ClassRegistration {
 public:
  ClassRegistration(std::string_view name, std::string_view baseName) {
    class_.name = std::string(name);
    class_.baseName = std::string(baseName);
    class_.type = typeid(Class);
  }

  template <typename Result, typename... Arguments>
  ClassRegistration& Publish(std::string_view name, Result (Class::*method)(Arguments...),
                             MethodScope scope = MethodScope::kPublic) {
    class_.methods.push_back({std::string(name), class_registry_detail::SignatureText<Result, Arguments...>(), scope,
                              method});
    return *this;
  }

  // Binds an event of the base to a published method with no arguments, or with the object
  // the event passes.
  ClassRegistration& Bind(std::string_view event, std::string_view methodName, void (Class::*method)()) {
    RequirePublished(methodName);
    class_.bindings.push_back({std::string(event), std::string(methodName),
                               [method](Object& self, Object*) { (dynamic_cast<Class&>(self).*method)(); }});
    return *this;
  }
  template <typename Argument>
  ClassRegistration& Bind(std::string_view event, std::string_view methodName, void (Class::*method)(Argument&)) {
    RequirePublished(methodName);
    class_.bindings.push_back({std::string(event), std::string(methodName), [method](Object& self, Object* argument) {
                                 if (argument == nullptr) throw RuntimeException("Nil object where an object was expected");
                                 (dynamic_cast<Class&>(self).*method)(dynamic_cast<Argument&>(*argument));
                               }});
    return *this;
  }

  ClassRegistration& DeclareEvents(std::vector<std::string> events) {
    class_.events = std::move(events);
    return *this;
  }
  ClassRegistration& DeclareControl(std::string_view name, std::string_view className) {
    class_.controls.push_back({std::string(name), std::string(className)});
    return *this;
  }

  void Register() { RuntimeRegisterClass(std::move(class_)); }

 private:
  void RequirePublished(std::string_view methodName) const {
    for (const PublishedMethod& method : class_.methods) {
      if (method.name == methodName) return;
    }
    throw RuntimeException("The class " + class_.name + " binds an event to " + std::string(methodName) +
                           ", which it does not publish");
  }

  RuntimeClass class_;
};

// The published method of `Class` (or of a base) that is `method`, or nullptr.
template <typename Class, typename Method>
const PublishedMethod* RuntimePublishedMethod(Method method) {
  for (const RuntimeClass* runtimeClass : RuntimeClassFor<Class>().Lineage()) {
    for (const PublishedMethod& published : runtimeClass->methods) {
      if (const Method* pointer = std::any_cast<Method>(&published.memberPointer); pointer && *pointer == method) {
        return &published;
      }
    }
  }
  return nullptr;
}

// A handler: `method` bound to `target`. The method must be one that its class publishes;
// the handler then takes the arguments of its signature (and, for a control's event, the
// control first).
template <typename Class, typename Result, typename... Arguments>
std::function<Result(Arguments...)> RuntimeCreateDelegate(Result (Class::*method)(Arguments...), Class& target) {
  if (RuntimePublishedMethod<Class>(method) == nullptr) {
    throw RuntimeException("The class " + RuntimeClassNameOf(typeid(Class)) +
                           " does not publish the method handed out as a handler");
  }
  return [method, &target](Arguments... arguments) -> Result {
    return (target.*method)(std::forward<Arguments>(arguments)...);
  };
}
