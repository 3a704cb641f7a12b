#pragma once
// Design-time properties of the results window and its controls, as the
// property lists that the window applies while it is built. Each view covers
// the whole constant; the lists hold 0x00 bytes, so never treat one as a C string.

#include <string_view>

std::string_view WordCountWindowPropertyList();
std::string_view TheWordsPropertyList();
std::string_view StatusPropertyList();
std::string_view VersionLabelPropertyList();
