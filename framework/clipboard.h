#pragma once
// The system clipboard's text.

#include "framework/string.h"

class Clipboard {
 public:
  String Text() const;
  void SetText(const String& text);
  void Close() {}
};
