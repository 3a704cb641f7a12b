#include "app/text_files.h"

#include "framework/class_registry.h"

namespace TextFiles {

std::unique_ptr<FileType> pText;

void _Initialize() {
  pText = RuntimeNewObject<FileType>();
  pText->SetName("text/plain");
  pText->SetDescription("Text files");
  pText->SetExtensions(".asc;.ascii;.bas;.c;.class;.cp;.cpp;.h;.hp;.hpp;.i3;.java;.m2;.m3;.mak;.text;.txt");
  pText->SetMacType("TEXT");
  pText->SetMacCreator("????");
  // Converting the type to text registers it, now that every property is set.
  pText->ToString();
}

String All() { return "text/plain;"; }

}  // namespace TextFiles
