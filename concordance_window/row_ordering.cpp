#include "concordance_window/word_count_window.h"

#include "framework/class_registry.h"

// How the rows of theWords are ordered. File > Open first shows them ascending by count,
// equal counts in the order the words first occur; a click on a heading then sorts by that
// column, stably, in the order theWords_CompareRows gives.

// Counts compare as numbers through the tags (9 before 12), words by text; other columns
// are left to the list.
bool WordCountWindow::theWords_CompareRows(Listbox& me, int32_t row1, int32_t row2, int32_t column,
                                           int32_t& result) {
  if (column == 0) {
    result = VariantToInt32(VariantSubtract(me.CellTag(row1, 0), me.CellTag(row2, 0)));
    return true;
  }
  if (column == 1) {
    result = StrComp(me.Cell(row1, 1), me.Cell(row2, 1), 1);
    return true;
  }
  return false;
}

// The list is told what the handler compares each column by, and sorts those columns itself
// in exactly the order that asking the handler gives, with no call per pair: the counts with
// the same stable counting sort as the first order, the words by their bytes. A change to
// the handler is a change to these keys.
void WordCountWindow::InstallRowOrdering(Listbox& list) {
  _InstallInstanceEventHandler(list, "CompareRows", RuntimeCreateDelegate(&WordCountWindow::theWords_CompareRows, *this));
  list.DeclareSortKeys({Listbox::SortKey::kTagDifference,       // column 0: the counts, as numbers
                        Listbox::SortKey::kTextIgnoringCase});  // column 1: the words, StrComp mode 1
}
