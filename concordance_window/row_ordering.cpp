#include "concordance_window/word_count_window.h"

// Counts compare as numbers through the tags (9 before 12), words by text; other
// columns are left to the list. The list is told so when the handler is installed, and
// sorts these two columns itself in the order this gives.
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
