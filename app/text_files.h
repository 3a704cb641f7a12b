#pragma once
// The one kind of document the program opens and saves: plain text.

#include <memory>

#include "framework/file_type.h"
#include "framework/string.h"

namespace TextFiles {

// Built and registered at start-up, released last at exit.
extern std::unique_ptr<FileType> pText;

void _Initialize();
// The filter text of the file dialogs: the type's name and ";".
String All();

}  // namespace TextFiles
