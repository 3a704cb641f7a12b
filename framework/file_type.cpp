#include "framework/file_type.h"

#include <algorithm>

#include "framework/exceptions.h"

namespace {

std::vector<const FileType*>& Registry() {
  static std::vector<const FileType*> registry;
  return registry;
}

bool failNextRegistration = false;

}  // namespace

FileType::~FileType() {
  auto& registry = Registry();
  registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
}

String FileType::ToString() {
  if (!registered_) Register();
  return name_;
}

void FileType::Register() {
  if (failNextRegistration) {
    failNextRegistration = false;
    throw RuntimeException("The file type " + name_.ToUtf8() + " could not be registered");
  }
  if (registered_) return;
  Registry().push_back(this);
  registered_ = true;
}

void FailNextFileTypeRegistrationForTesting() { failNextRegistration = true; }

std::vector<std::string> DialogNameFilters(const String& filter) {
  std::vector<std::string> filters;
  std::string names = filter.ToUtf8();
  size_t start = 0;
  while (start <= names.size()) {
    const size_t end = std::min(names.find(';', start), names.size());
    const std::string typeName = names.substr(start, end - start);
    start = end + 1;
    if (typeName.empty()) continue;
    for (const FileType* type : Registry()) {
      if (type->Name().ToUtf8() != typeName) continue;
      std::string patterns;
      const std::string extensions = type->Extensions().ToUtf8();
      size_t from = 0;
      while (from < extensions.size()) {
        const size_t to = std::min(extensions.find(';', from), extensions.size());
        std::string extension = extensions.substr(from, to - from);
        from = to + 1;
        if (!extension.empty() && extension.front() == '.') extension.erase(0, 1);
        if (extension.empty()) continue;
        if (!patterns.empty()) patterns += ' ';
        patterns += "*." + extension;
      }
      filters.push_back(type->Description().ToUtf8() + " (" + patterns + ")");
    }
  }
  filters.push_back("All files (*)");
  return filters;
}
