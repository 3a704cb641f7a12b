// File > Open: reads a text file, counts its lines, words and distinct words, and shows
// them in a new results window.

#include "app/app.h"
#include "app/text_files.h"
#include "app/word_count.h"
#include "concordance_window/word_count_window.h"
#include "counting/count_words.h"
#include "framework/controls.h"
#include "framework/dialogs.h"
#include "framework/row_sort.h"
#include "framework/text_input_stream.h"
#include "framework/window.h"

bool App::_FileOpen_Action() {
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
  // The engine stands in for the design's line-by-line steps (CountWordsLineByLine), which
  // the tests hold it to.
  WordCounts counts = CountWords(*stream);
  stream->Close();
  stream.reset();
  // The first order: ascending by count, equal counts in the order the words first occur.
  std::vector<uint32_t> order = StableOrderByNumber(counts.occurrences, SortDirection::kAscending);

  auto& window = RuntimeNewWindow<WordCountWindow>();
  window.SetTitle(String("Concordance for ") + chosenFile->Name());
  ControlNamed<StaticText>(window, "Status").SetText(TotalsLine(counts.UniqueWords(), counts.wordCount, counts.lineCount));

  // One row per word: its count (text and tag) and the word, in the sorted order. The list
  // takes the table's columns over whole rather than three calls per row.
  ControlNamed<Listbox>(window, "theWords")
      .AddCountedRows(std::move(counts.occurrences), std::move(counts.words), std::move(order));
  return true;
}
