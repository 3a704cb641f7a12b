#pragma once
// The rows of a Listbox, kept column by column so that millions of rows stay small:
// a row costs one String per column (8 bytes, the text shared, not copied) plus its
// tags where any are set. New rows reach the view in batches, not one by one.

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

#include "framework/string.h"
#include "framework/variant.h"

class ListModel : public QAbstractTableModel {
 public:
  ListModel();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  int32_t ColumnCount() const { return static_cast<int32_t>(cells_.size()); }
  void SetColumnCount(int32_t count);
  void SetHeading(int32_t column, const String& heading);
  String Heading(int32_t column) const;

  int32_t RowCount() const { return rows_; }
  void AddRow(const String& text);
  const String& Cell(int32_t row, int32_t column) const;
  void SetCell(int32_t row, int32_t column, const String& text);
  Variant CellTag(int32_t row, int32_t column) const;
  void SetCellTag(int32_t row, int32_t column, const Variant& tag);

  // Puts the rows in the given order: order[i] is the old number of the new row i.
  void Reorder(const std::vector<uint32_t>& order);
  // Tells the view about rows added since the last time.
  void ShowPendingRows();

 private:
  void CheckCell(int32_t row, int32_t column) const;
  void ScheduleShowPendingRows();

  std::vector<std::vector<String>> cells_;         // [column][row]
  std::vector<std::vector<Variant>> tags_;         // [column][row], empty until a tag is set
  std::vector<String> headings_;
  int32_t rows_ = 0;
  int32_t shownRows_ = 0;  // the rows the view knows of
  bool showScheduled_ = false;
};
