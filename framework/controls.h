#pragma once
// Controls: the rectangle control base with its locked edges, the multi-column list and
// the label. Controls build on windows, which hold them.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/row_sort.h"
#include "framework/set_properties.h"
#include "framework/string.h"
#include "framework/text_column.h"
#include "framework/variant.h"
#include "framework/window.h"

class QWidget;
class QTableView;
class QLabel;
class ListModel;

// The Bold, Italic and Underline properties of a control's text.
struct FontStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

// The unit in which a control's text size counts. The default is points, as on screen
// everywhere else; the others are kept for designs that name them.
enum class FontUnits : int32_t { kDefault = 0, kPixel = 1, kPoint = 2, kInch = 3, kMillimeter = 4 };

class RectControl : public PropertyTarget, public WindowControl {
 public:
  ~RectControl() override;
  RectControl(const RectControl&) = delete;
  RectControl& operator=(const RectControl&) = delete;

  const String& Name() const override { return name_; }
  Window* ParentWindow() const { return window_; }

  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool LockLeft() const { return lockLeft_; }
  bool LockTop() const { return lockTop_; }
  bool LockRight() const { return lockRight_; }
  bool LockBottom() const { return lockBottom_; }

  FontUnits TextUnit() const { return textUnit_; }
  void SetTextUnit(FontUnits unit);

  QWidget* NativeWidget() const { return widget_; }

  // Called by the window: adopts the control under its name, and moves it after the
  // content area was resized from designWidth x designHeight to width x height.
  void AttachTo(Window& window, const String& name) override;
  void Reposition(int32_t contentWidth, int32_t contentHeight) override;

 protected:
  explicit RectControl(QWidget* widget);
  void ApplyProperty(std::string_view name, const PropertyValue& value) override;
  // Gives the widget the font that TextFont, the text size, Bold, Italic and Underline make.
  void ApplyFont();
  virtual void FontChanged() {}

  QWidget* widget_;  // owned by the window's content area once attached
  float textSize_ = 0;  // 0: the toolkit's default size
  FontStyle fontStyle_;

 private:
  void PlaceAtDesignGeometry();

  Window* window_ = nullptr;
  String name_;
  int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  int32_t designContentWidth_ = 0, designContentHeight_ = 0;
  bool lockLeft_ = false, lockTop_ = false, lockRight_ = false, lockBottom_ = false;
  FontUnits textUnit_ = FontUnits::kDefault;
};

class Listbox : public RectControl {
 public:
  // Returns true when it has decided the order; result < 0 puts row1 first.
  using CompareRowsHandler =
      std::function<bool(Listbox& list, int32_t row1, int32_t row2, int32_t column, int32_t& result)>;

  // What a CompareRows handler compares a column by, when it says so: the list then sorts
  // that column itself, in exactly the order that asking the handler for every pair gives.
  enum class SortKey {
    kAskHandler,
    kTagDifference,     // result = VariantToInt32(VariantSubtract(tag of row1, tag of row2))
    kTextIgnoringCase,  // result = StrComp(text of row1, text of row2, 1)
  };

  Listbox();
  ~Listbox() override;

  // The i-th row added to an empty list is row i. O(1).
  void AddRow(const String& text);
  // Adds one row per entry of `counts` and `texts`, in `order` (row i holds entry order[i]):
  // its count in column 0, as the decimal text and as the Int32 tag, and its text in column
  // 1. The same rows as AddRow(Str(count)), SetCellTag(row, 0, count) and SetCell(row, 1,
  // text) would make, but held in a few bytes a row; takes the three over. The list must be
  // empty and `order` must name every entry once (OutOfBoundsException otherwise).
  void AddCountedRows(std::vector<int32_t>&& counts, TextColumn&& texts, std::vector<uint32_t>&& order);
  int32_t ListCount() const;
  int32_t ColumnCount() const;
  String Cell(int32_t row, int32_t column) const;
  void SetCell(int32_t row, int32_t column, const String& text);
  Variant CellTag(int32_t row, int32_t column) const;
  void SetCellTag(int32_t row, int32_t column, const Variant& tag);

  // columnKeys[c] tells what the handler compares column c by; missing entries ask it.
  void InstallCompareRowsHandler(CompareRowsHandler handler, std::vector<SortKey> columnKeys = {});
  // What the installed handler compares each column by, as InstallCompareRowsHandler takes it.
  void DeclareSortKeys(std::vector<SortKey> columnKeys);
  // Sorts as a click on the column's heading does: ascending, or the other way round when
  // the list is already sorted by that column. Rows that compare equal keep their order.
  void SortByHeading(int32_t column);
  // Sorts by the column in the given direction, in the order the CompareRows handler gives.
  void Sort(int32_t column, SortDirection direction);
  int32_t SortedColumn() const { return sortedColumn_; }
  bool SortedAscending() const { return sortedAscending_; }
  // Every row in the shown order as UTF-8: the texts of `columns` joined by `separator`,
  // then `rowEnd`. In one string of exactly its size, or handed to `write` piece by piece.
  std::string RowsUtf8(const std::vector<int32_t>& columns, std::string_view separator, std::string_view rowEnd) const;
  void WriteRowsUtf8(const std::vector<int32_t>& columns, std::string_view separator, std::string_view rowEnd,
                     const std::function<void(std::string_view)>& write) const;

  QTableView* NativeView() const;
  ListModel& Model() const { return *model_; }

 protected:
  void ApplyProperty(std::string_view name, const PropertyValue& value) override;
  void FontChanged() override;

 private:
  void ApplyColumnWidths();
  void SortAskingHandler(int32_t column, SortDirection direction);

  std::unique_ptr<ListModel> model_;
  CompareRowsHandler compareRows_;
  std::vector<SortKey> sortKeys_;
  std::vector<int32_t> columnPercentages_;
  int32_t sortedColumn_ = -1;
  bool sortedAscending_ = true;
  bool hasHeading_ = false;
  friend class ListView;
};

// Installs the handler of one of the list's events by the event's name: "CompareRows". An
// event that the control's class does not have fails loudly.
void _InstallInstanceEventHandler(Listbox& list, std::string_view event, Listbox::CompareRowsHandler handler);

class StaticText : public RectControl {
 public:
  using MouseDownHandler = std::function<bool(StaticText& label, int32_t x, int32_t y)>;

  StaticText();
  ~StaticText() override;

  const String& Text() const { return text_; }
  void SetText(const String& text);
  float TextSize() const { return textSize_; }
  void SetTextSize(float size);
  // 0 left, 1 centred, 2 right.
  int32_t TextAlign() const { return textAlign_; }

  void InstallMouseDownHandler(MouseDownHandler handler);
  bool HasMouseDownHandler() const { return static_cast<bool>(mouseDown_); }
  // What a click at (x, y) does; returns the handler's result.
  bool MouseDown(int32_t x, int32_t y);

  QLabel* NativeLabel() const;

 protected:
  void ApplyProperty(std::string_view name, const PropertyValue& value) override;

 private:
  void ShowText();

  String text_;
  int32_t textAlign_ = 0;
  MouseDownHandler mouseDown_;
};

// Installs the handler of one of the label's events by the event's name: "MouseDown".
void _InstallInstanceEventHandler(StaticText& label, std::string_view event, StaticText::MouseDownHandler handler);
