#pragma once
// File types: a name, extensions and type codes, registered with the framework the first
// time one is converted to text, so that the file dialogs can filter by its name. The
// framework keeps the values the type had when it registered.

#include <string>
#include <vector>

#include "framework/string.h"

class FileType {
 public:
  FileType() = default;
  ~FileType();  // deregisters a registered type
  FileType(const FileType&) = delete;
  FileType& operator=(const FileType&) = delete;

  const String& Name() const { return name_; }
  void SetName(const String& name) { name_ = name; }
  // What the file dialogs call the type ("Text files"); the name when not set.
  const String& Description() const { return description_.IsEmpty() ? name_ : description_; }
  void SetDescription(const String& description) { description_ = description; }
  // Extensions with their leading ".", separated by ";".
  const String& Extensions() const { return extensions_; }
  void SetExtensions(const String& extensions) { extensions_ = extensions; }
  const String& MacType() const { return macType_; }
  void SetMacType(const String& code) { macType_ = code; }
  const String& MacCreator() const { return macCreator_; }
  void SetMacCreator(const String& code) { macCreator_ = code; }

  // The conversion to text: registers the type the first time, returns its name.
  String ToString();
  void Register();
  bool IsRegistered() const { return registered_; }

 private:
  String name_, description_, extensions_, macType_, macCreator_;
  bool registered_ = false;
};

// What a file type handed the framework when it registered: its values at that moment.
struct FileTypeRegistration {
  const FileType* type;
  String name, description, macCreator, macType, extensions;
};
// The registered file types, in the order they registered.
std::vector<FileTypeRegistration> RegisteredFileTypes();

// The dialog filters for a filter text of file type names separated by ";": each type's
// description and patterns, such as "Text files (*.asc *.txt)", followed by "All files (*)".
// Extensions match in any case.
std::vector<std::string> DialogNameFilters(const String& filter);
// Makes the next registration fail, to test start-up failures.
void FailNextFileTypeRegistrationForTesting();
