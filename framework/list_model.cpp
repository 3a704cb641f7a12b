#include "framework/list_model.h"


#include <string>

#include "framework/exceptions.h"
#include "framework/native.h"
#include "framework/qt_string.h"

ListModel::ListModel() { SetColumnCount(1); }

int ListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }

int ListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount(); }

QVariant ListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= shownRows_ || index.column() >= ColumnCount()) {
    return {};
  }
  return ToQString(cells_[static_cast<size_t>(index.column())][static_cast<size_t>(index.row())]);
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount()) return {};
  return ToQString(headings_[static_cast<size_t>(section)]);
}

void ListModel::SetColumnCount(int32_t count) {
  if (count < 1) count = 1;
  if (count == ColumnCount()) return;
  ShowPendingRows();
  beginResetModel();
  cells_.resize(static_cast<size_t>(count), std::vector<String>(static_cast<size_t>(rows_)));
  tags_.resize(static_cast<size_t>(count));
  headings_.resize(static_cast<size_t>(count));
  endResetModel();
}

void ListModel::SetHeading(int32_t column, const String& heading) {
  if (column < 0 || column >= ColumnCount()) return;
  headings_[static_cast<size_t>(column)] = heading;
  emit headerDataChanged(Qt::Horizontal, column, column);
}

String ListModel::Heading(int32_t column) const {
  if (column < 0 || column >= ColumnCount()) return String();
  return headings_[static_cast<size_t>(column)];
}

void ListModel::AddRow(const String& text) {
  if (rows_ == INT32_MAX) throw OverflowException("The list cannot hold more rows");
  for (size_t column = 0; column < cells_.size(); ++column) cells_[column].push_back(column == 0 ? text : String());
  for (auto& columnTags : tags_) {
    if (!columnTags.empty()) columnTags.emplace_back();
  }
  ++rows_;
  ScheduleShowPendingRows();
}

void ListModel::CheckCell(int32_t row, int32_t column) const {
  if (row < 0 || row >= rows_ || column < 0 || column >= ColumnCount()) {
    throw OutOfBoundsException("List cell (" + std::to_string(row) + ", " + std::to_string(column) +
                               ") is outside the list");
  }
}

const String& ListModel::Cell(int32_t row, int32_t column) const {
  CheckCell(row, column);
  return cells_[static_cast<size_t>(column)][static_cast<size_t>(row)];
}

void ListModel::SetCell(int32_t row, int32_t column, const String& text) {
  CheckCell(row, column);
  cells_[static_cast<size_t>(column)][static_cast<size_t>(row)] = text;
  if (row < shownRows_) emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
}

Variant ListModel::CellTag(int32_t row, int32_t column) const {
  CheckCell(row, column);
  const auto& columnTags = tags_[static_cast<size_t>(column)];
  return columnTags.empty() ? Variant() : columnTags[static_cast<size_t>(row)];
}

void ListModel::SetCellTag(int32_t row, int32_t column, const Variant& tag) {
  CheckCell(row, column);
  auto& columnTags = tags_[static_cast<size_t>(column)];
  if (columnTags.empty()) columnTags.resize(static_cast<size_t>(rows_));
  columnTags[static_cast<size_t>(row)] = tag;
}

void ListModel::Reorder(const std::vector<uint32_t>& order) {
  if (order.size() != static_cast<size_t>(rows_)) throw OutOfBoundsException("Row order does not match the list");
  ShowPendingRows();
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const auto reorder = [&](auto& values) {
    if (values.empty()) return;
    std::remove_reference_t<decltype(values)> reordered;
    reordered.reserve(values.size());
    for (uint32_t oldRow : order) reordered.push_back(std::move(values[oldRow]));
    values = std::move(reordered);
  };
  for (auto& column : cells_) reorder(column);
  for (auto& column : tags_) reorder(column);
  // Keep the selection and the current row on the rows they were on.
  const QModelIndexList before = persistentIndexList();
  if (!before.isEmpty()) {
    std::vector<uint32_t> newRowOf(order.size());
    for (uint32_t newRow = 0; newRow < order.size(); ++newRow) newRowOf[order[newRow]] = newRow;
    QModelIndexList after;
    for (const QModelIndex& old : before) {
      after.append(index(static_cast<int>(newRowOf[static_cast<size_t>(old.row())]), old.column()));
    }
    changePersistentIndexList(before, after);
  }
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListModel::ShowPendingRows() {
  showScheduled_ = false;
  if (shownRows_ == rows_) return;
  beginInsertRows(QModelIndex(), shownRows_, rows_ - 1);
  shownRows_ = rows_;
  endInsertRows();
}

void ListModel::ScheduleShowPendingRows() {
  if (showScheduled_) return;
  showScheduled_ = true;
  // Rows that a command adds reach the view in one go once it ends: one insertion sizes the
  // view's per-row bookkeeping exactly, where batch after batch would keep growing it (for
  // millions of rows, tens of megabytes and a good part of the time).
  DispatchScope::RunFromEventLoop(this, [this] { ShowPendingRows(); });
}
