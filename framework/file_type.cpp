#include "framework/file_type.h"

#include <algorithm>

#include "framework/exceptions.h"

namespace {

std::vector<FileTypeRegistration>& Registry() {
  static std::vector<FileTypeRegistration> registry;
  return registry;
}

bool failNextRegistration = false;

}  // namespace

FileType::~FileType() {
  auto& registry = Registry();
  std::erase_if(registry, [this](const FileTypeRegistration& entry) { return entry.type == this; });
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
  Registry().push_back({this, name_, Description(), macCreator_, macType_, extensions_});
  registered_ = true;
}

void FailNextFileTypeRegistrationForTesting() { failNextRegistration = true; }

std::vector<FileTypeRegistration> RegisteredFileTypes() { return Registry(); }

std::vector<std::string> DialogNameFilters(const String& filter) {
  std::vector<std::string> filters;
  std::string names = filter.ToUtf8();
  size_t start = 0;
  while (start <= names.size()) {
    const size_t end = std::min(names.find(';', start), names.size());
    const std::string typeName = names.substr(start, end - start);
    start = end + 1;
    if (typeName.empty()) continue;
    for (const FileTypeRegistration& type : Registry()) {
      if (type.name.ToUtf8() != typeName) continue;
      std::string patterns;
      const std::string extensions = type.extensions.ToUtf8();
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
      filters.push_back(type.description.ToUtf8() + " (" + patterns + ")");
    }
  }
  filters.push_back("All files (*)");
  return filters;
}
