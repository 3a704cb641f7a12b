#include "framework/list_model.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

#include "framework/dispatch.h"
#include "framework/exceptions.h"
#include "framework/free_memory.h"
#include "framework/prefetch.h"
#include "framework/qt_string.h"
#include "framework/row_sort.h"
#include "framework/yield.h"

namespace {

// Whether the text given to ShownText is already the start of a longer one, cut short.
enum class Given { kWhole, kCutShort };

QString ShownText(QString text, Given given) {
  bool cut = given == Given::kCutShort;
  if (text.size() > ListModel::kMaxShownCharacters) {
    text.truncate(ListModel::kMaxShownCharacters);
    if (text.back().isHighSurrogate()) text.chop(1);
    cut = true;
  }
  if (cut) text += QChar(0x2026);
  return text;
}

size_t DecimalSize(int32_t value) {
  size_t size = value < 0 ? 2 : 1;
  for (int64_t rest = value < 0 ? -static_cast<int64_t>(value) : value; rest >= 10; rest /= 10) ++size;
  return size;
}

size_t Utf8Size(const String& text) {
  uint64_t scratch;
  if (text.AsciiBytes(scratch) != nullptr) return static_cast<size_t>(text.Length());
  return text.ToUtf8().size();
}

}  // namespace

ListModel::ListModel() { SetColumnCount(1); }

int ListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }

int ListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount(); }

QVariant ListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= shownRows_ || index.column() >= ColumnCount()) {
    return {};
  }
  const Column& column = columns_[static_cast<size_t>(index.column())];
  const uint32_t stored = order_[static_cast<size_t>(index.row())];
  switch (column.kind) {
    case Column::Kind::kNumbers:
      return QString::number(column.numbers[stored]);
    case Column::Kind::kTexts: {
      // A character takes at most 4 bytes: this many bytes hold every character shown.
      const std::string_view bytes = column.utf8.At(static_cast<int32_t>(stored));
      const size_t taken = std::min(bytes.size(), size_t{4} * kMaxShownCharacters);
      return ShownText(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(taken)), taken < bytes.size() ? Given::kCutShort : Given::kWhole);
    }
    case Column::Kind::kGeneric: {
      const String& text = column.texts[stored];
      if (text.Length() <= kMaxShownCharacters) return ToQString(text);
      return ShownText(ToQString(Mid(text, 1, kMaxShownCharacters)), Given::kCutShort);
    }
  }
  return {};
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
  Column empty;
  empty.texts.resize(order_.size());
  columns_.resize(static_cast<size_t>(count), empty);
  headings_.resize(static_cast<size_t>(count));
  endResetModel();
}

void ListModel::SetHeading(int32_t column, const String& heading) {
  if (column < 0 || column >= ColumnCount()) return;
  headings_[static_cast<size_t>(column)] = heading;
  emit headerDataChanged(Qt::Horizontal, column, column);
}

void ListModel::MakeGeneric(Column& column) {
  if (column.kind == Column::Kind::kGeneric) return;
  if (column.kind == Column::Kind::kNumbers) {
    column.texts.reserve(column.numbers.size());
    column.tags.reserve(column.numbers.size());
    for (int32_t number : column.numbers) {
      column.texts.push_back(Str(number));
      column.tags.emplace_back(number);
    }
    column.numbers = std::vector<int32_t>();
  } else {
    column.texts.reserve(static_cast<size_t>(column.utf8.Count()));
    for (int32_t i = 0; i < column.utf8.Count(); ++i) column.texts.push_back(String::FromUtf8(column.utf8.At(i)));
    column.utf8 = TextColumn();
    column.bytesOrderIgnoringCase = false;
  }
  column.kind = Column::Kind::kGeneric;
}

void ListModel::AddRow(const String& text) {
  if (order_.size() >= static_cast<size_t>(INT32_MAX)) throw OverflowException("The list cannot hold more rows");
  for (size_t c = 0; c < columns_.size(); ++c) {
    Column& column = columns_[c];
    if (c > 0 && column.kind == Column::Kind::kTexts) {
      column.utf8.Append("");
      continue;
    }
    MakeGeneric(column);
    column.texts.push_back(c == 0 ? text : String());
    if (!column.tags.empty()) column.tags.emplace_back();
  }
  order_.push_back(static_cast<uint32_t>(order_.size()));
  ScheduleShowPendingRows();
}

void ListModel::CheckCell(int32_t row, int32_t column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) {
    throw OutOfBoundsException("List cell (" + std::to_string(row) + ", " + std::to_string(column) +
                               ") is outside the list");
  }
}

String ListModel::StoredCell(const Column& column, uint32_t stored) const {
  switch (column.kind) {
    case Column::Kind::kNumbers: return Str(column.numbers[stored]);
    case Column::Kind::kTexts: return String::FromUtf8(column.utf8.At(static_cast<int32_t>(stored)));
    case Column::Kind::kGeneric: break;
  }
  return column.texts[stored];
}

String ListModel::Cell(int32_t row, int32_t column) const {
  CheckCell(row, column);
  return StoredCell(columns_[static_cast<size_t>(column)], order_[static_cast<size_t>(row)]);
}

void ListModel::SetCell(int32_t row, int32_t column, const String& text) {
  CheckCell(row, column);
  Column& target = columns_[static_cast<size_t>(column)];
  const uint32_t stored = order_[static_cast<size_t>(row)];
  if (target.kind != Column::Kind::kGeneric) {
    if (StoredCell(target, stored) == text) return;
    MakeGeneric(target);
  }
  target.texts[stored] = text;
  if (row < shownRows_) emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
}

Variant ListModel::CellTag(int32_t row, int32_t column) const {
  CheckCell(row, column);
  const Column& source = columns_[static_cast<size_t>(column)];
  const uint32_t stored = order_[static_cast<size_t>(row)];
  switch (source.kind) {
    case Column::Kind::kNumbers: return Variant(source.numbers[stored]);
    case Column::Kind::kTexts: return Variant();
    case Column::Kind::kGeneric: break;
  }
  return source.tags.empty() ? Variant() : source.tags[stored];
}

void ListModel::SetCellTag(int32_t row, int32_t column, const Variant& tag) {
  CheckCell(row, column);
  Column& target = columns_[static_cast<size_t>(column)];
  const uint32_t stored = order_[static_cast<size_t>(row)];
  // A tag that a compact column already holds leaves it compact.
  if (target.kind == Column::Kind::kNumbers && tag.GetType() == Variant::Type::Int32 &&
      tag.ToInt32() == target.numbers[stored]) {
    return;
  }
  if (target.kind == Column::Kind::kTexts && tag.IsNil()) return;
  MakeGeneric(target);
  if (target.tags.empty()) target.tags.resize(order_.size());
  target.tags[stored] = tag;
}

bool ListModel::FillNumberedTexts(int32_t numberColumn, std::vector<int32_t>&& numbers, int32_t textColumn,
                                  TextColumn&& texts, std::vector<uint32_t>&& order) {
  if (!order_.empty() || numberColumn == textColumn || numberColumn < 0 || numberColumn >= ColumnCount() ||
      textColumn < 0 || textColumn >= ColumnCount() || numbers.size() != static_cast<size_t>(texts.Count()) ||
      order.size() != numbers.size()) {
    return false;
  }
  // Each entry exactly once.
  std::vector<bool> seen(order.size());
  for (uint32_t entry : order) {
    if (entry >= seen.size() || seen[entry]) return false;
    seen[entry] = true;
  }
  const size_t count = order.size();
  for (int32_t c = 0; c < ColumnCount(); ++c) {
    Column& column = columns_[static_cast<size_t>(c)];
    column = Column();
    if (c != numberColumn && c != textColumn) column.texts.resize(count);
  }
  Column& numberCells = columns_[static_cast<size_t>(numberColumn)];
  numberCells.kind = Column::Kind::kNumbers;
  numberCells.numbers = std::move(numbers);
  Column& textCells = columns_[static_cast<size_t>(textColumn)];
  textCells.kind = Column::Kind::kTexts;
  textCells.utf8 = std::move(texts);
  // Without branches, so that the compiler checks many bytes at a time.
  uint8_t caseOrWide = 0;
  for (char byte : textCells.utf8.Bytes()) {
    const auto value = static_cast<uint8_t>(byte);
    caseOrWide |= static_cast<uint8_t>((value >= 0x80) | (static_cast<uint8_t>(value - 'A') < 26));
  }
  textCells.bytesOrderIgnoringCase = caseOrWide == 0;
  order_ = std::move(order);
  ScheduleShowPendingRows();
  GiveBackFreeMemory();
  return true;
}

bool ListModel::SortByNumberTags(int32_t column, SortDirection direction) {
  if (column < 0 || column >= ColumnCount()) return false;
  const Column& source = columns_[static_cast<size_t>(column)];
  if (source.kind != Column::Kind::kNumbers) return false;
  if (!source.numbers.empty()) {
    // Tags whose difference would not fit in an Int32 cannot be compared that way.
    const auto [lowest, highest] = std::minmax_element(source.numbers.begin(), source.numbers.end());
    if (static_cast<int64_t>(*highest) - *lowest > std::numeric_limits<int32_t>::max()) return false;
  }
  ShowPendingRows();
  ApplyOrder(StableOrderByNumber(source.numbers, order_, direction));
  return true;
}

bool ListModel::SortByTextIgnoringCase(int32_t column, SortDirection direction) {
  if (column < 0 || column >= ColumnCount()) return false;
  const Column& source = columns_[static_cast<size_t>(column)];
  if (source.kind != Column::Kind::kTexts || !source.bytesOrderIgnoringCase) return false;
  ShowPendingRows();
  ApplyOrder(StableOrderByBytes(source.utf8, order_, direction));
  return true;
}

void ListModel::Reorder(const std::vector<uint32_t>& order) {
  if (order.size() != order_.size()) throw OutOfBoundsException("Row order does not match the list");
  ShowPendingRows();
  std::vector<uint32_t> stored(order.size());
  for (size_t i = 0; i < order.size(); ++i) stored[i] = order_[order[i]];
  ApplyOrder(std::move(stored));
}

void ListModel::ApplyOrder(std::vector<uint32_t>&& order) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  // Keep the selection and the current row on the rows they were on.
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  if (!before.isEmpty()) {
    // Usually a handful of rows (the current one, the selected ones): one pass over the new
    // order finds them, a 64-bit mask skipping almost every row at once.
    std::vector<std::pair<uint32_t, uint32_t>> found;  // stored row, new row
    uint64_t mask = 0;
    for (const QModelIndex& old : before) {
      const uint32_t stored = order_[static_cast<size_t>(old.row())];
      found.emplace_back(stored, 0);
      mask |= uint64_t{1} << (stored & 63);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    for (uint32_t newRow = 0; newRow < order.size(); ++newRow) {
      const uint32_t stored = order[newRow];
      if ((mask >> (stored & 63) & 1) == 0) continue;
      const auto place = std::lower_bound(found.begin(), found.end(), std::make_pair(stored, uint32_t{0}));
      if (place != found.end() && place->first == stored) place->second = newRow;
    }
    for (const QModelIndex& old : before) {
      const uint32_t stored = order_[static_cast<size_t>(old.row())];
      const auto place = std::lower_bound(found.begin(), found.end(), std::make_pair(stored, uint32_t{0}));
      after.append(index(static_cast<int>(place->second), old.column()));
    }
  }
  order_ = std::move(order);
  if (!before.isEmpty()) changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  // The sort's tens of megabytes of scratch space would otherwise stay with the process.
  GiveBackFreeMemory();
}

void ListModel::ShowPendingRows() {
  showScheduled_ = false;
  if (shownRows_ == RowCount()) return;
  beginInsertRows(QModelIndex(), shownRows_, RowCount() - 1);
  shownRows_ = RowCount();
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

void ListModel::AppendCellUtf8(std::string& out, const Column& column, uint32_t stored) const {
  switch (column.kind) {
    case Column::Kind::kNumbers: {
      char digits[16];
      const auto end = std::to_chars(digits, digits + sizeof digits, column.numbers[stored]).ptr;
      out.append(digits, end);
      return;
    }
    case Column::Kind::kTexts:
      out.append(column.utf8.At(static_cast<int32_t>(stored)));
      return;
    case Column::Kind::kGeneric:
      column.texts[stored].AppendUtf8To(out);
      return;
  }
}

void ListModel::CheckColumns(const std::vector<int32_t>& columns) const {
  for (int32_t column : columns) {
    if (column < 0 || column >= ColumnCount()) CheckCell(0, column);
  }
}

void ListModel::AppendRowsUtf8(std::string& out, const std::vector<int32_t>& columns, std::string_view separator,
                               std::string_view rowEnd, const std::function<void(std::string_view)>* write) const {
  // After a sort the stored rows come in any order, and each cell is a read from far away:
  // fetching a few rows ahead (the offsets first, then the bytes they point at) keeps
  // several of those reads under way at once.
  constexpr size_t kAhead = 16;
  const auto fetchAhead = [&](size_t row) {
    for (int32_t c : columns) {
      const Column& column = columns_[static_cast<size_t>(c)];
      if (row + 2 * kAhead < order_.size()) {
        const uint32_t far = order_[row + 2 * kAhead];
        if (column.kind == Column::Kind::kNumbers) Prefetch(column.numbers.data() + far);
        else if (column.kind == Column::Kind::kTexts) Prefetch(column.utf8.Offsets().data() + far);
        else Prefetch(column.texts.data() + far);
      }
      if (row + kAhead < order_.size() && column.kind == Column::Kind::kTexts) {
        Prefetch(column.utf8.Bytes().data() + column.utf8.Offsets()[order_[row + kAhead]]);
      }
    }
  };
  for (size_t row = 0; row < order_.size(); ++row) {
    fetchAhead(row);
    const uint32_t stored = order_[row];
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) out.append(separator);
      AppendCellUtf8(out, columns_[static_cast<size_t>(columns[c])], stored);
    }
    out.append(rowEnd);
    if (write != nullptr && out.size() >= kPieceBytes) {
      (*write)(out);
      out.clear();
    }
    RuntimeBackgroundTask();
  }
}

void ListModel::WriteRowsUtf8(const std::vector<int32_t>& columns, std::string_view separator,
                              std::string_view rowEnd, const std::function<void(std::string_view)>& write) const {
  CheckColumns(columns);
  std::string piece;
  piece.reserve(kPieceBytes + 4096);
  AppendRowsUtf8(piece, columns, separator, rowEnd, &write);
  if (!piece.empty()) write(piece);
}

std::string ListModel::RowsUtf8(const std::vector<int32_t>& columns, std::string_view separator,
                                std::string_view rowEnd) const {
  CheckColumns(columns);
  // Every stored row is shown once, so the sizes add up whatever the order.
  size_t size = order_.size() * (rowEnd.size() + (columns.empty() ? 0 : (columns.size() - 1) * separator.size()));
  for (int32_t c : columns) {
    const Column& column = columns_[static_cast<size_t>(c)];
    switch (column.kind) {
      case Column::Kind::kNumbers:
        for (int32_t number : column.numbers) size += DecimalSize(number);
        break;
      case Column::Kind::kTexts:
        size += column.utf8.ByteCount();
        break;
      case Column::Kind::kGeneric:
        for (const String& text : column.texts) size += Utf8Size(text);
        break;
    }
  }
  std::string text;
  text.reserve(size);
  AppendRowsUtf8(text, columns, separator, rowEnd, nullptr);
  return text;
}
