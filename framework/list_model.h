#pragma once
// The rows of a Listbox, kept column by column, with one permutation giving the order they
// are shown in. A column is held in the most compact form that its content fits:
//   numbers: one Int32 per row; the text is its decimal form and the tag the Int32 itself;
//   texts:   UTF-8 end to end in one block, no tags;
//   generic: a String per row, and a Variant tag per row once any tag is set.
// A change that a compact column cannot hold turns it into a generic one. Sorting moves
// only the permutation; texts are made when the view or a caller asks for them. New rows
// reach the view in one batch, not one by one.

#include <QAbstractTableModel>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/row_sort.h"
#include "framework/string.h"
#include "framework/text_column.h"
#include "framework/variant.h"

class ListModel : public QAbstractTableModel {
 public:
  // The view shows at most this many characters of a cell, the rest cut off with an
  // ellipsis: laying out a whole cell of megabytes would freeze it.
  static constexpr int32_t kMaxShownCharacters = 1000;

  ListModel();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  int32_t ColumnCount() const { return static_cast<int32_t>(columns_.size()); }
  void SetColumnCount(int32_t count);
  void SetHeading(int32_t column, const String& heading);

  int32_t RowCount() const { return static_cast<int32_t>(order_.size()); }
  void AddRow(const String& text);
  String Cell(int32_t row, int32_t column) const;
  void SetCell(int32_t row, int32_t column, const String& text);
  Variant CellTag(int32_t row, int32_t column) const;
  void SetCellTag(int32_t row, int32_t column, const Variant& tag);

  // Fills an empty list with numbers.size() rows: row i holds numbers[order[i]] in
  // `numberColumn` (text and Int32 tag) and texts.At(order[i]) in `textColumn`, every
  // other cell empty. Takes the three over. False, changing nothing, when the list is not
  // empty or the arguments do not match.
  bool FillNumberedTexts(int32_t numberColumn, std::vector<int32_t>&& numbers, int32_t textColumn, TextColumn&& texts,
                         std::vector<uint32_t>&& order);

  // Stable sorts by a column's Int32 tags (as their difference compares them) or by its
  // texts as StrComp mode 1 compares them. False, changing nothing, when the column is not
  // held in a form that this can sort exactly.
  bool SortByNumberTags(int32_t column, SortDirection direction);
  bool SortByTextIgnoringCase(int32_t column, SortDirection direction);
  // Puts the rows in the given order: order[i] is the old number of the new row i.
  void Reorder(const std::vector<uint32_t>& order);
  // Tells the view about rows added since the last time.
  void ShowPendingRows();

  // Every row in the shown order as UTF-8: the cells of `columns` joined by `separator`,
  // then `rowEnd`. Handed to `write` in pieces of about a megabyte; the yield hook runs
  // between rows.
  void WriteRowsUtf8(const std::vector<int32_t>& columns, std::string_view separator, std::string_view rowEnd,
                     const std::function<void(std::string_view)>& write) const;
  // The same in one string of exactly the right size.
  std::string RowsUtf8(const std::vector<int32_t>& columns, std::string_view separator, std::string_view rowEnd) const;

 private:
  struct Column {
    enum class Kind { kGeneric, kNumbers, kTexts };
    Kind kind = Kind::kGeneric;
    std::vector<String> texts;     // generic, by stored row
    std::vector<Variant> tags;     // generic, empty until a tag is set
    std::vector<int32_t> numbers;  // numbers
    TextColumn utf8;               // texts
    // texts: every byte ASCII and none A-Z, so StrComp mode 1 orders them byte by byte.
    bool bytesOrderIgnoringCase = false;
  };

  void CheckCell(int32_t row, int32_t column) const;
  void ScheduleShowPendingRows();
  static void MakeGeneric(Column& column);
  String StoredCell(const Column& column, uint32_t stored) const;
  void AppendCellUtf8(std::string& out, const Column& column, uint32_t stored) const;
  static constexpr size_t kPieceBytes = size_t{1} << 20;
  // OutOfBoundsException unless every one of `columns` is in the list.
  void CheckColumns(const std::vector<int32_t>& columns) const;
  // The rows as RowsUtf8 makes them, appended to `out`; with `write`, handed to it and
  // cleared whenever `out` reaches kPieceBytes.
  void AppendRowsUtf8(std::string& out, const std::vector<int32_t>& columns, std::string_view separator,
                      std::string_view rowEnd, const std::function<void(std::string_view)>* write) const;
  // Installs the new order (stored row numbers), keeping the selection and the current
  // row on the rows they were on.
  void ApplyOrder(std::vector<uint32_t>&& order);

  std::vector<Column> columns_;
  std::vector<uint32_t> order_;  // shown row -> stored row
  std::vector<String> headings_;
  int32_t shownRows_ = 0;  // the rows the view knows of
  bool showScheduled_ = false;
};
