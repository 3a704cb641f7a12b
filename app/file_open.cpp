// File > Open: reads a text file, counts its lines, words and distinct words, and shows
// them in a new results window.

#include <numeric>

#include "app/app.h"
#include "app/text_files.h"
#include "app/word_count.h"
#include "concordance_window/word_count_window.h"
#include "framework/controls.h"
#include "framework/array.h"
#include "framework/dialogs.h"
#include "framework/text_input_stream.h"
#include "framework/window.h"
#include "framework/yield.h"

bool App::_FileOpen_Action() {
  std::vector<String> wordList;
  std::vector<int32_t> countList;

  const std::unique_ptr<FolderItem> chosenFile = GetOpenFolderItem(TextFiles::All());
  if (chosenFile == nullptr) return true;

  std::unique_ptr<TextInputStream> stream;
  try {
    stream = TextInputStream::Open(*chosenFile);
  } catch (...) {
    MsgBox(String("Could not open the file ") + chosenFile->AbsolutePath());
    return true;
  }

  // A read error leaves from here: no window exists yet, and the framework tells the user.
  WordCounts counts = CountWords(*stream);
  stream->Close();
  stream.reset();

  FillSortedArrays(counts.wordCounts, wordList, countList);
  const int32_t uniqueWords = counts.wordCounts.Count();
  // The table has served; dropping it before the rows are added keeps the peak low.
  counts.wordCounts = Dictionary();

  auto& window = RuntimeNewWindow<WordCountWindow>();
  window.SetTitle(String("Concordance for ") + chosenFile->Name());
  ControlNamed<StaticText>(window, "Status").SetText(TotalsLine(uniqueWords, counts.wordCount, counts.lineCount));

  // One row per word: its count (text and tag) and the word, in the sorted order. Handed to
  // the list in one go, as columns, rather than three calls per row.
  TextColumn words;
  for (const String& word : wordList) words.Append(word.ToUtf8());
  wordList = std::vector<String>();
  std::vector<uint32_t> order(countList.size());
  std::iota(order.begin(), order.end(), 0u);
  ControlNamed<Listbox>(window, "theWords").AddCountedRows(std::move(countList), std::move(words), std::move(order));
  return true;
}
