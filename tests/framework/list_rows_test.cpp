// The results list as compact columns: rows added in bulk read back as the count (text and
// Int32 tag) and the word of each entry, in the order given, sorting from the headings gives exactly the order of a stable sort that asks
// the window's CompareRows handler for every pair, and a cell of megabytes is shown cut
// short while Copy still has all of it.

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QClipboard>
#include <QGuiApplication>
#include <QMainWindow>
#include <QTableView>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "concordance_window/word_count_window.h"
#include "framework/runtime.h"
#include "tests/concordance_window/results_view.h"

namespace {

struct Rows {
  std::vector<int32_t> counts;
  std::vector<std::string> words;
  std::vector<uint32_t> order;  // the order the rows are added in
};

// Rows with many equal counts, and words that share prefixes of every length around the
// 8 bytes the list sorts on at once, some empty, some repeated. `letters` is what they are
// made of.
Rows RandomRows(std::mt19937& random, int count, const std::string& letters) {
  Rows rows;
  const std::vector<std::string> stems = {"", "a", "abcdefg", "abcdefgh", "abcdefghijklmnop", "zz"};
  for (int i = 0; i < count; ++i) {
    const int kind = static_cast<int>(random() % 10);
    rows.counts.push_back(kind < 7 ? static_cast<int32_t>(1 + random() % 4) : static_cast<int32_t>(random() % 100000));
    std::string word = stems[random() % stems.size()];
    for (size_t extra = random() % 12; extra > 0; --extra) word += letters[random() % letters.size()];
    if (kind == 9 && !rows.words.empty()) word = rows.words[random() % rows.words.size()];
    rows.words.push_back(word);
  }
  rows.order.resize(rows.counts.size());
  std::iota(rows.order.begin(), rows.order.end(), 0u);
  std::shuffle(rows.order.begin(), rows.order.end(), random);
  return rows;
}

void AddInBulk(Listbox& list, Rows rows) {
  TextColumn words;
  for (const std::string& word : rows.words) words.Append(word);
  list.AddCountedRows(std::move(rows.counts), std::move(words), std::move(rows.order));
}

// One line per row: each cell's text, the type of its tag and the tag as a number.
std::string CellsLine(const std::vector<std::pair<std::string, Variant>>& cells) {
  std::string line;
  for (const auto& [text, tag] : cells) {
    line += text + "|" + std::to_string(static_cast<int>(tag.GetType())) + ":" + std::to_string(tag.ToInt32()) + "|";
  }
  return line;
}

std::vector<std::string> Contents(const Listbox& list) {
  std::vector<std::string> contents;
  for (int32_t row = 0; row < list.ListCount(); ++row) {
    std::vector<std::pair<std::string, Variant>> cells;
    for (int32_t column = 0; column < list.ColumnCount(); ++column) {
      cells.emplace_back(list.Cell(row, column).ToUtf8(), list.CellTag(row, column));
    }
    contents.push_back(CellsLine(cells));
  }
  return contents;
}

// What the rows should read as: the count as text and Int32 tag, then the word without a tag.
std::vector<std::string> Expected(const Rows& rows) {
  std::vector<std::string> contents;
  for (uint32_t entry : rows.order) {
    contents.push_back(CellsLine({{std::to_string(rows.counts[entry]), Variant(rows.counts[entry])},
                                  {rows.words[entry], Variant()}}));
  }
  return contents;
}

using ListRows = StartedProgram;

TEST_F(ListRows, BulkRowsReadAsTheirCountsAndWordsInTheGivenOrder) {
  std::mt19937 random(7);
  const Rows rows = RandomRows(random, 300, "abcxyz");
  Listbox& list = TheWords(RuntimeNewWindow<WordCountWindow>());
  AddInBulk(list, rows);
  ProcessEvents();

  std::vector<std::string> expected = Expected(rows);
  EXPECT_EQ(Contents(list), expected);
  std::string copied;
  for (uint32_t entry : rows.order) copied += rows.words[entry] + ", " + std::to_string(rows.counts[entry]) + "\r";
  EXPECT_EQ(list.RowsUtf8({1, 0}, ", ", "\r"), copied);

  // A change that the compact form cannot hold leaves every other cell as it was.
  list.AddRow("last");
  list.SetCell(3, 1, "Changed");
  list.SetCell(4, 0, "nine");
  expected[3] = CellsLine({{std::to_string(rows.counts[rows.order[3]]), Variant(rows.counts[rows.order[3]])},
                           {"Changed", Variant()}});
  expected[4] = CellsLine({{"nine", Variant(rows.counts[rows.order[4]])}, {rows.words[rows.order[4]], Variant()}});
  expected.push_back(CellsLine({{"last", Variant()}, {"", Variant()}}));
  EXPECT_EQ(Contents(list), expected);
}

class HeadingSort : public StartedProgram, public ::testing::WithParamInterface<std::string> {};

TEST_P(HeadingSort, GivesTheOrderOfAStableSortAskingTheHandler) {
  std::mt19937 random(11);
  auto& window = RuntimeNewWindow<WordCountWindow>();
  Listbox& list = TheWords(window);
  AddInBulk(list, RandomRows(random, 2000, GetParam()));

  // By word, by count, by count again (descending), then a mix, clicks as a user makes them.
  std::vector<int32_t> clicks = {1, 0, 0, 1, 1, 0};
  for (int i = 0; i < 6; ++i) clicks.push_back(static_cast<int32_t>(random() % 2));
  for (int32_t column : clicks) {
    const bool ascending = !(list.SortedColumn() == column && list.SortedAscending());
    std::vector<uint32_t> expected(static_cast<size_t>(list.ListCount()));
    std::iota(expected.begin(), expected.end(), 0u);
    std::stable_sort(expected.begin(), expected.end(), [&](uint32_t a, uint32_t b) {
      int32_t result = 0;
      EXPECT_TRUE(window.theWords_CompareRows(list, static_cast<int32_t>(a), static_cast<int32_t>(b), column, result));
      return ascending ? result < 0 : result > 0;
    });
    const std::vector<std::string> before = Contents(list);
    std::vector<std::string> wanted;
    for (uint32_t row : expected) wanted.push_back(before[row]);
    list.SortByHeading(column);
    ASSERT_EQ(Contents(list), wanted) << "column " << column << (ascending ? " ascending" : " descending");
    EXPECT_EQ(list.SortedAscending(), ascending);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Words, HeadingSort,
    // Lower-case letters the list can sort by itself; capitals and others only the handler knows.
    ::testing::Values("abcxyz", "aBc_Z~", "ab\xc3\xa9"));

TEST_F(ListRows, SortKeepsTheSelectedRowSelected) {
  std::mt19937 random(3);
  auto& window = RuntimeNewWindow<WordCountWindow>();
  Listbox& list = TheWords(window);
  AddInBulk(list, RandomRows(random, 50, "abc"));
  ProcessEvents();
  QTableView* view = list.NativeView();
  view->selectRow(10);
  const std::string selected = Contents(list)[10];
  list.SortByHeading(1);
  const QModelIndexList rows = view->selectionModel()->selectedRows();
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(Contents(list)[static_cast<size_t>(rows.front().row())], selected);
  EXPECT_EQ(view->currentIndex().row(), rows.front().row());
}

// A cell is shown whole up to 1,000 characters (not bytes), then cut there with an ellipsis.
TEST_F(ListRows, CellsOfUpToAThousandCharactersAreShownWholeAndLongerOnesCut) {
  for (const std::string letter : {"q", "\xc3\xa9"}) {
    Rows rows{{1, 1, 1}, {}, {0, 1, 2}};
    for (const int length : {999, 1000, 1001}) {
      std::string word;
      for (int i = 0; i < length; ++i) word += letter;
      rows.words.push_back(word);
    }
    const QString character = QString::fromStdString(letter);
    const QStringList expected = {character.repeated(999), character.repeated(1000),
                                  character.repeated(1000) + QChar(0x2026)};
    Listbox& list = TheWords(RuntimeNewWindow<WordCountWindow>());
    AddInBulk(list, rows);
    ProcessEvents();
    QStringList shown;
    for (int row = 0; row < 3; ++row) shown.append(list.NativeView()->model()->index(row, 1).data().toString());
    EXPECT_EQ(shown, expected) << letter;
  }
}

TEST_F(ListRows, HugeCellIsShownCutShortButCopiedWhole) {
  auto& window = RuntimeNewWindow<WordCountWindow>();
  Activate(window);
  Listbox& list = TheWords(window);
  const std::string huge(5'000'000, 'q');
  TextColumn words;
  words.Append(huge);
  list.AddCountedRows({1}, std::move(words), {0});
  ProcessEvents();

  // Painting, resizing and sorting must not lay out the whole cell.
  window.NativeWindow()->resize(700, 500);
  list.SortByHeading(1);
  list.NativeView()->viewport()->repaint();
  const QString shown = list.NativeView()->model()->index(0, 1).data().toString();
  EXPECT_LE(shown.size(), 1001);
  EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << "ends with an ellipsis";

  EXPECT_TRUE(ChooseMenuItem(Item("EditCopy")));
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), huge + ", 1\r");
}

}  // namespace
