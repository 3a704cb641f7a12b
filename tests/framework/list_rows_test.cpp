// The results list as compact columns: rows added in bulk, sorting from the headings, and
// cells too long to show whole.

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

// A cell as its text, the type of its tag and the tag as a number.
std::string CellLine(const std::string& text, const Variant& tag) {
  return text + "|" + std::to_string(static_cast<int>(tag.GetType())) + ":" + std::to_string(tag.ToInt32()) + "|";
}

// One line per row, of its cells.
std::vector<std::string> Contents(const Listbox& list) {
  std::vector<std::string> contents(static_cast<size_t>(list.ListCount()));
  for (int32_t row = 0; row < list.ListCount(); ++row) {
    for (int32_t column = 0; column < list.ColumnCount(); ++column)
      contents[static_cast<size_t>(row)] += CellLine(list.Cell(row, column).ToUtf8(), list.CellTag(row, column));
  }
  return contents;
}

using ListRows = StartedProgram;

// Each row reads as the count (text and Int32 tag) and the word (no tag), in the order given.
TEST_F(ListRows, BulkRowsReadAsTheirCountsAndWordsInTheGivenOrder) {
  std::mt19937 random(7);
  const Rows rows = RandomRows(random, 300, "abcxyz");
  Listbox& list = TheWords(RuntimeNewWindow<WordCountWindow>());
  AddInBulk(list, rows);
  ProcessEvents();
  std::vector<std::string> expected;
  std::string copied;
  for (uint32_t entry : rows.order) {
    const int32_t count = rows.counts[entry];
    expected.push_back(CellLine(std::to_string(count), Variant(count)) + CellLine(rows.words[entry], Variant()));
    copied += rows.words[entry] + ", " + std::to_string(count) + "\r";
  }
  EXPECT_EQ(Contents(list), expected);
  EXPECT_EQ(list.RowsUtf8({1, 0}, ", ", "\r"), copied);
}

// File > Open fills the list in bulk; its design fills it a row at a time (AddRow with the
// count's text, its Int32 cell tag, then the word). Both must read, show and copy alike, and
// stay alike after changes that the compact form cannot hold.
TEST_F(ListRows, BulkRowsReadAsRowsAddedOneByOne) {
  std::mt19937 random(13);
  const Rows rows = RandomRows(random, 300, "ab\xc3\xa9");
  Listbox& bulk = TheWords(RuntimeNewWindow<WordCountWindow>());
  Listbox& plain = TheWords(RuntimeNewWindow<WordCountWindow>());
  AddInBulk(bulk, rows);
  for (int32_t i = 0; i <= static_cast<int32_t>(rows.order.size()) - 1; ++i) {
    const uint32_t entry = rows.order[static_cast<size_t>(i)];
    plain.AddRow(Str(rows.counts[entry]));
    plain.SetCellTag(i, 0, Variant(rows.counts[entry]));
    plain.SetCell(i, 1, String::FromUtf8(rows.words[entry]));
  }
  ProcessEvents();
  EXPECT_EQ(Contents(bulk), Contents(plain));
  EXPECT_EQ(bulk.RowsUtf8({1, 0}, ", ", "\r"), plain.RowsUtf8({1, 0}, ", ", "\r"));
  for (int row = 0; row < 300; row += 7) {
    for (int column = 0; column < 2; ++column) {
      EXPECT_EQ(bulk.NativeView()->model()->index(row, column).data(),
                plain.NativeView()->model()->index(row, column).data()) << row << ", " << column;
    }
  }

  for (Listbox* list : {&bulk, &plain}) {
    list->AddRow("last");
    list->SetCell(3, 1, "Changed");
    list->SetCellTag(4, 0, Variant("nine"));
    list->SetCellTag(5, 1, Variant(5));
  }
  EXPECT_EQ(Contents(bulk), Contents(plain));
  EXPECT_EQ(VariantToString(bulk.CellTag(4, 0)).ToUtf8(), "nine");
  EXPECT_EQ(bulk.CellTag(5, 1), Variant(5));
  EXPECT_EQ(bulk.CellTag(6, 0), Variant(rows.counts[rows.order[6]]));
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
    std::vector<int32_t> expected(static_cast<size_t>(list.ListCount()));
    std::iota(expected.begin(), expected.end(), 0);
    std::stable_sort(expected.begin(), expected.end(), [&](int32_t a, int32_t b) {
      int32_t result = 0;
      EXPECT_TRUE(window.theWords_CompareRows(list, a, b, column, result));
      return ascending ? result < 0 : result > 0;
    });
    const std::vector<std::string> before = Contents(list);
    std::vector<std::string> wanted;
    for (int32_t row : expected) wanted.push_back(before[static_cast<size_t>(row)]);
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
  Listbox& list = TheWords(RuntimeNewWindow<WordCountWindow>());
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
    const QString character = QString::fromStdString(letter);
    Rows rows{{1, 1, 1}, {}, {0, 1, 2}};
    for (const int length : {999, 1000, 1001}) rows.words.push_back(character.repeated(length).toStdString());
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
  EXPECT_EQ(list.NativeView()->model()->index(0, 1).data().toString(), QString(1000, u'q') + QChar(0x2026));
  EXPECT_TRUE(ChooseMenuItem(Item("EditCopy")));
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), huge + ", 1\r");
}

}  // namespace
