// File > Open: reads a text file, counts its lines, words and distinct words, and shows
// them in a new results window.

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

  for (int32_t i = 0; i <= Ubound(wordList); ++i) {
    ControlNamed<Listbox>(window, "theWords").AddRow(Str(countList[static_cast<size_t>(i)]));
    ControlNamed<Listbox>(window, "theWords").SetCellTag(i, 0, Variant(countList[static_cast<size_t>(i)]));
    ControlNamed<Listbox>(window, "theWords").SetCell(i, 1, wordList[static_cast<size_t>(i)]);
    RuntimeBackgroundTask();
  }
  return true;
}
