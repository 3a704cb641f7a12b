// The tokeniser: a word is a run of the 52 ASCII letters; every other character, whatever its
// width, ends a word and is skipped. It goes one character at a time, as the application's
// design states it; File > Open counts with the byte scan of the counting engine, which the
// tests hold to the same words.

#include "app/app.h"
#include "framework/yield.h"

String App::GetWord(const String& line, int32_t& position) {
  // InStr matches A-Z to these too.
  static const String kLetters("abcdefghijklmnopqrstuvwxyz");
  String word;
  const int32_t length = Len(line);
  // The caller always starts a line at 1; a start below that is taken as 1.
  if (position < 1) position = 1;
  while (position <= length) {
    const String character = Mid(line, position, 1);
    // The delimiter that ends a word is consumed along with it.
    position = position + 1;
    if (InStr(0, kLetters, character) > 0) {
      word = word + character;
    } else if (word != "") {
      return word;
    }
    RuntimeBackgroundTask();
  }
  return word;
}
