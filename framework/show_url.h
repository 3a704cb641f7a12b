#pragma once
#include "framework/string.h"

// Hands a web address to the desktop and returns at once. When no program takes it (no web
// browser), a message tells the user so, naming the address.
void ShowURL(const String& address);
