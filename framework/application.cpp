#include "framework/application.h"

#include <algorithm>

namespace {

struct Registry {
  std::unique_ptr<Application> application;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void MenuHandlers::Add(std::string_view name, MenuHandler handler) {
  auto existing = std::find_if(handlers_.begin(), handlers_.end(),
                               [&](const auto& entry) { return entry.first == name; });
  if (existing != handlers_.end()) {
    existing->second = std::move(handler);
    return;
  }
  handlers_.emplace_back(std::string(name), std::move(handler));
}

const MenuHandler* MenuHandlers::Find(std::string_view name) const {
  for (const auto& [entryName, handler] : handlers_) {
    if (entryName == name) return &handler;
  }
  return nullptr;
}

std::vector<std::string> MenuHandlers::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : handlers_) names.push_back(entry.first);
  return names;
}

Application::Application() = default;
Application::~Application() = default;

void Application::_AddMenuHandler(std::string_view itemName, MenuHandler handler) {
  menuHandlers_.Add(itemName, std::move(handler));
}

void _RuntimeRegisterAppObject(std::unique_ptr<Application> application) {
  TheRegistry().application = std::move(application);
}

Application* _GetAppObject() { return TheRegistry().application.get(); }

void RuntimeReleaseAppObject() { TheRegistry().application.reset(); }

