#pragma once
// The system clipboard's text.

#include <string>

#include "framework/string.h"

class Clipboard {
 public:
  String Text() const;
  void SetText(const String& text);
  // The same for text already in UTF-8; takes the string over and leaves it empty.
  void SetUtf8Text(std::string&& utf8);
  void Close() {}
};
