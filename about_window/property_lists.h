#pragma once
// Design-time properties of the About window and its four labels, as the
// property lists that the window applies while it is built. Each view covers
// the whole constant; the lists hold 0x00 bytes, so never treat one as a C string.

#include <string_view>

std::string_view AboutWindowPropertyList();
std::string_view AboutStaticText1PropertyList();  // product name and version
std::string_view AboutStaticText2PropertyList();  // the description
std::string_view AboutStaticText3PropertyList();  // copyright line, links to the home page
std::string_view AboutStaticText4PropertyList();  // links to the software page
