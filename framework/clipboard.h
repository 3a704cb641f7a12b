#pragma once
// The system clipboard's text.

#include <string>

#include "framework/string.h"

class Clipboard {
 public:
  // Puts the text, already in UTF-8, on the clipboard; takes the string over and leaves it empty.
  void SetUtf8Text(std::string&& utf8);
  void Close() {}
};
