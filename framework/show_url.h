#pragma once
#include "framework/string.h"

// Hands a web address to the desktop; never blocks, never fails loudly.
void ShowURL(const String& address);
