#pragma once
// The system clipboard's text.

#include <string>

#include "framework/string.h"

class Clipboard {
 public:
  // The clipboard's text, "" when it holds none. Text this program put there comes back
  // exactly, bytes that are not UTF-8 included.
  String Text() const;
  // Makes `text` the clipboard's text, as UTF-8.
  void SetText(const String& text);
  // The same for text already in UTF-8; takes the string over and leaves it empty.
  void SetUtf8Text(std::string&& utf8);
  void Close() {}
};
