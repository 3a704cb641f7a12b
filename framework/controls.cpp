#include "framework/controls.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>
#include <numeric>

#include "framework/dispatch.h"
#include "framework/exceptions.h"
#include "framework/list_model.h"
#include "framework/qt_string.h"
#include "framework/unhandled_exception.h"
#include "framework/yield.h"

namespace {

// A text size in the pixels of the 72-dpi screen the designs were made on.
float DesignPixels(float size, FontUnits unit) {
  switch (unit) {
    case FontUnits::kInch: return size * 72.0f;
    case FontUnits::kMillimeter: return size * 72.0f / 25.4f;
    case FontUnits::kDefault:
    case FontUnits::kPixel:
    case FontUnits::kPoint: break;
  }
  return size;
}

QFont ControlFont(const std::optional<PropertyValue>& fontName, float size, const FontStyle& style) {
  QFont font = QApplication::font();
  if (fontName) {
    const QString name = ToQString(PropertyString(*fontName));
    if (!name.isEmpty() && name.compare("System", Qt::CaseInsensitive) != 0) font.setFamily(name);
  }
  // The designed sizes are points of a 72-dpi screen, where a point is a pixel; as
  // pixels the text keeps fitting the boxes that the property lists give it.
  if (size > 0) font.setPixelSize(std::max(1, static_cast<int>(size + 0.5f)));
  font.setBold(style.bold);
  font.setItalic(style.italic);
  font.setUnderline(style.underline);
  return font;
}

}  // namespace

RectControl::RectControl(QWidget* widget) : widget_(widget) {}

RectControl::~RectControl() {
  // A control that never joined a window still owns its widget.
  if (window_ == nullptr) delete widget_;
}

void RectControl::AttachTo(Window& window, const String& name) {
  window_ = &window;
  name_ = name;
  widget_->setParent(window.ContentArea());
  widget_->setObjectName(ToQString(name));
  PlaceAtDesignGeometry();
}

void RectControl::SetTextUnit(FontUnits unit) {
  textUnit_ = unit;
  ApplyFont();
}

void RectControl::ApplyFont() {
  widget_->setFont(ControlFont(Property("TextFont"), DesignPixels(textSize_, textUnit_), fontStyle_));
  FontChanged();
}

void RectControl::PlaceAtDesignGeometry() {
  if (window_ != nullptr) {
    designContentWidth_ = window_->Width();
    designContentHeight_ = window_->Height();
  }
  widget_->setGeometry(left_, top_, std::max(0, width_), std::max(0, height_));
}

void RectControl::Reposition(int32_t contentWidth, int32_t contentHeight) {
  // An edge that is locked keeps its distance to the window's edge of the same side.
  const int32_t grewX = contentWidth - designContentWidth_;
  const int32_t grewY = contentHeight - designContentHeight_;
  int32_t left = left_, width = width_, top = top_, height = height_;
  if (lockRight_ && lockLeft_) width += grewX;
  else if (lockRight_) left += grewX;
  if (lockBottom_ && lockTop_) height += grewY;
  else if (lockBottom_) top += grewY;
  widget_->setGeometry(left, top, std::max(0, width), std::max(0, height));
}

void RectControl::ApplyProperty(std::string_view name, const PropertyValue& value) {
  if (name == "Left") left_ = PropertyInt32(value);
  else if (name == "Top") top_ = PropertyInt32(value);
  else if (name == "Width") width_ = PropertyInt32(value);
  else if (name == "Height") height_ = PropertyInt32(value);
  else if (name == "LockLeft") lockLeft_ = PropertyBoolean(value);
  else if (name == "LockTop") lockTop_ = PropertyBoolean(value);
  else if (name == "LockRight") lockRight_ = PropertyBoolean(value);
  else if (name == "LockBottom") lockBottom_ = PropertyBoolean(value);
  else if (name == "Visible") widget_->setVisible(PropertyBoolean(value));
  else if (name == "Enabled") widget_->setEnabled(PropertyBoolean(value));
  else if (name == "HelpTag") widget_->setToolTip(ToQString(PropertyString(value)));
  else if (name == "TabStop") widget_->setFocusPolicy(PropertyBoolean(value) ? Qt::StrongFocus : Qt::NoFocus);
  else if (name == "TextFont") ApplyFont();
  else if (name == "Bold" || name == "Italic" || name == "Underline") {
    (name == "Bold" ? fontStyle_.bold : name == "Italic" ? fontStyle_.italic : fontStyle_.underline) = PropertyBoolean(value);
    ApplyFont();
  } else return;
  if (name == "Left" || name == "Top" || name == "Width" || name == "Height") PlaceAtDesignGeometry();
  // Name repeats the name the control was added under; Index, TabPanelIndex, TabIndex,
  // AutoDeactivate, DataSource, DataField and InitialParent are kept without an effect.
}

// The list's view: keeps the column widths at their percentages and sorts on a heading click.
class ListView : public QTableView {
 public:
  explicit ListView(Listbox& owner) : owner_(owner) {}

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QTableView::resizeEvent(event);
    owner_.ApplyColumnWidths();
  }

 private:
  Listbox& owner_;
};

Listbox::Listbox() : RectControl(nullptr), model_(std::make_unique<ListModel>()) {
  auto* view = new ListView(*this);
  widget_ = view;
  view->setModel(model_.get());
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setWordWrap(false);
  view->setShowGrid(false);
  view->setTextElideMode(Qt::ElideRight);
  // Fixed row heights keep a list of millions of rows cheap to lay out.
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
  view->verticalHeader()->hide();
  view->horizontalHeader()->setSectionsClickable(true);
  view->horizontalHeader()->setHighlightSections(false);
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  view->horizontalHeader()->hide();
  QObject::connect(view->horizontalHeader(), &QHeaderView::sectionClicked, view, [this](int column) {
    DispatchScope scope;
    RuntimeDispatch([&] { SortByHeading(column); return true; }, true);
  });
}

Listbox::~Listbox() {
  // The view goes with its window; detach it from the model first.
  if (auto* view = NativeView()) view->setModel(nullptr);
}

QTableView* Listbox::NativeView() const { return static_cast<QTableView*>(widget_); }

void Listbox::AddRow(const String& text) { model_->AddRow(text); }

void Listbox::AddCountedRows(std::vector<int32_t>&& counts, TextColumn&& texts, std::vector<uint32_t>&& order) {
  if (!model_->FillNumberedTexts(0, std::move(counts), 1, std::move(texts), std::move(order)))
    throw OutOfBoundsException("Counted rows go into an empty list, each entry once, with a count for every text");
}

int32_t Listbox::ListCount() const { return model_->RowCount(); }
int32_t Listbox::ColumnCount() const { return model_->ColumnCount(); }
String Listbox::Cell(int32_t row, int32_t column) const { return model_->Cell(row, column); }
void Listbox::SetCell(int32_t row, int32_t column, const String& text) { model_->SetCell(row, column, text); }
Variant Listbox::CellTag(int32_t row, int32_t column) const { return model_->CellTag(row, column); }
void Listbox::SetCellTag(int32_t row, int32_t column, const Variant& tag) { model_->SetCellTag(row, column, tag); }

void Listbox::InstallCompareRowsHandler(CompareRowsHandler handler, std::vector<SortKey> columnKeys) {
  compareRows_ = std::move(handler);
  DeclareSortKeys(std::move(columnKeys));
}

void Listbox::DeclareSortKeys(std::vector<SortKey> columnKeys) {
  sortKeys_ = compareRows_ ? std::move(columnKeys) : std::vector<SortKey>();
}

namespace {

// The event must be one that the control's class declares.
void RequireEvent(const RectControl& control, std::string_view event) {
  const RuntimeClass* controlClass = RuntimeClassOfType(typeid(control));
  if (controlClass == nullptr || !controlClass->Declares(event)) {
    throw RuntimeException("The control " + control.Name().ToUtf8() + " has no event " + std::string(event));
  }
}

}  // namespace

void _InstallInstanceEventHandler(Listbox& list, std::string_view event, Listbox::CompareRowsHandler handler) {
  RequireEvent(list, event);
  list.InstallCompareRowsHandler(std::move(handler));
}

void _InstallInstanceEventHandler(StaticText& label, std::string_view event, StaticText::MouseDownHandler handler) {
  RequireEvent(label, event);
  label.InstallMouseDownHandler(std::move(handler));
}

std::string Listbox::RowsUtf8(const std::vector<int32_t>& columns, std::string_view separator,
                              std::string_view rowEnd) const {
  return model_->RowsUtf8(columns, separator, rowEnd);
}

void Listbox::WriteRowsUtf8(const std::vector<int32_t>& columns, std::string_view separator, std::string_view rowEnd,
                            const std::function<void(std::string_view)>& write) const {
  model_->WriteRowsUtf8(columns, separator, rowEnd, write);
}

void Listbox::SortByHeading(int32_t column) {
  const bool descending = column == sortedColumn_ && sortedAscending_;
  Sort(column, descending ? SortDirection::kDescending : SortDirection::kAscending);
}

void Listbox::Sort(int32_t column, SortDirection direction) {
  if (column < 0 || column >= ColumnCount()) return;
  const bool ascending = direction == SortDirection::kAscending;
  model_->ShowPendingRows();
  const SortKey key = static_cast<size_t>(column) < sortKeys_.size() ? sortKeys_[static_cast<size_t>(column)]
                                                                     : SortKey::kAskHandler;
  const bool sortedByKey = (key == SortKey::kTagDifference && model_->SortByNumberTags(column, direction)) ||
                           (key == SortKey::kTextIgnoringCase && model_->SortByTextIgnoringCase(column, direction));
  if (!sortedByKey) SortAskingHandler(column, direction);
  sortedColumn_ = column;
  sortedAscending_ = ascending;
  QHeaderView* header = NativeView()->horizontalHeader();
  header->setSortIndicatorShown(true);
  header->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void Listbox::SortAskingHandler(int32_t column, SortDirection direction) {
  const bool ascending = direction == SortDirection::kAscending;
  std::vector<uint32_t> order(static_cast<size_t>(ListCount()));
  std::iota(order.begin(), order.end(), 0u);
  // Ask the CompareRows handler for every pair; without an answer, compare the texts.
  const auto compare = [&](uint32_t first, uint32_t second) {
    RuntimeBackgroundTask();
    const auto row1 = static_cast<int32_t>(first), row2 = static_cast<int32_t>(second);
    int32_t result = 0;
    if (!compareRows_ || !compareRows_(*this, row1, row2, column, result)) {
      result = StrComp(Cell(row1, column), Cell(row2, column), 0);
    }
    return ascending ? result < 0 : result > 0;
  };
  std::stable_sort(order.begin(), order.end(), compare);
  model_->Reorder(order);
}

void Listbox::ApplyColumnWidths() {
  QTableView* view = NativeView();
  const int available = view->viewport()->width();
  int used = 0;
  for (int32_t column = 0; column < ColumnCount(); ++column) {
    int width;
    if (column + 1 == ColumnCount() && static_cast<size_t>(column) < columnPercentages_.size()) {
      width = std::max(0, available - used);  // the last column takes what rounding left
    } else if (static_cast<size_t>(column) < columnPercentages_.size()) {
      width = available * columnPercentages_[static_cast<size_t>(column)] / 100;
    } else {
      width = available / std::max(1, ColumnCount());
    }
    view->setColumnWidth(column, width);
    used += width;
  }
}

void Listbox::FontChanged() {
  NativeView()->verticalHeader()->setDefaultSectionSize(NativeView()->fontMetrics().height() + 4);
}

void Listbox::ApplyProperty(std::string_view name, const PropertyValue& value) {
  QTableView* view = NativeView();
  if (name == "ColumnCount") {
    model_->SetColumnCount(PropertyInt32(value));
    ApplyColumnWidths();
  } else if (name == "ColumnWidths") {
    columnPercentages_.clear();
    for (const QString& part : ToQString(PropertyString(value)).split(',', Qt::SkipEmptyParts)) {
      columnPercentages_.push_back(part.trimmed().remove('%').toInt());
    }
    ApplyColumnWidths();
  } else if (name == "HasHeading") {
    hasHeading_ = PropertyBoolean(value);
    view->horizontalHeader()->setVisible(hasHeading_);
  } else if (name == "InitialValue") {
    // Lines separated by CR or LF, cells by TAB; with a heading the first line names the columns.
    const QStringList lines = ToQString(PropertyString(value)).split(QRegularExpression("\r\n|\r|\n"));
    for (qsizetype line = 0; line < lines.size(); ++line) {
      const QStringList cells = lines[line].split('\t');
      if (line == 0 && hasHeading_) {
        for (qsizetype column = 0; column < cells.size(); ++column) model_->SetHeading(column, FromQString(cells[column]));
      } else if (!(line + 1 == lines.size() && lines[line].isEmpty())) {
        AddRow(FromQString(cells[0]));
        for (qsizetype column = 1; column < cells.size() && column < ColumnCount(); ++column) {
          SetCell(ListCount() - 1, static_cast<int32_t>(column), FromQString(cells[column]));
        }
      }
    }
  } else if (name == "ScrollbarHorizontal" || name == "ScrollBarVertical" || name == "AutoHideScrollbars") {
    const auto policy = [&](std::string_view property) {
      const auto shown = Property(property);
      if (shown && !PropertyBoolean(*shown)) return Qt::ScrollBarAlwaysOff;
      const auto autoHide = Property("AutoHideScrollbars");
      return autoHide && !PropertyBoolean(*autoHide) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
    };
    view->setHorizontalScrollBarPolicy(policy("ScrollbarHorizontal"));
    view->setVerticalScrollBarPolicy(policy("ScrollBarVertical"));
  } else if (name == "Border") {
    view->setFrameShape(PropertyBoolean(value) ? QFrame::StyledPanel : QFrame::NoFrame);
  } else if (name == "GridLinesHorizontal" || name == "GridLinesVertical") {
    const auto horizontal = Property("GridLinesHorizontal");
    const auto vertical = Property("GridLinesVertical");
    view->setShowGrid((horizontal && PropertyInt32(*horizontal) != 0) || (vertical && PropertyInt32(*vertical) != 0));
  } else if (name == "DefaultRowHeight") {
    if (PropertyInt32(value) > 0) view->verticalHeader()->setDefaultSectionSize(PropertyInt32(value));
  } else if (name == "SelectionType") {
    view->setSelectionMode(PropertyInt32(value) == 0 ? QAbstractItemView::SingleSelection
                                                      : QAbstractItemView::ExtendedSelection);
  } else if (name == "ColumnsResizable") {
    view->horizontalHeader()->setSectionResizeMode(PropertyBoolean(value) ? QHeaderView::Interactive
                                                                           : QHeaderView::Fixed);
  } else if (name == "UseFocusRing") {
    view->setAttribute(Qt::WA_MacShowFocusRect, PropertyBoolean(value));
  } else {
    RectControl::ApplyProperty(name, value);
    if (name == "Width") ApplyColumnWidths();
  }
  // HeadingIndex, _ScrollWidth, Hierarchical, EnableDrag, EnableDragReorder and
  // RequiresSelection are kept without an effect.
}

namespace {

// A label that passes mouse clicks to its control's MouseDown handler.
class ClickableLabel : public QLabel {
 public:
  explicit ClickableLabel(StaticText& owner) : owner_(owner) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (owner_.HasMouseDownHandler() && event->button() == Qt::LeftButton) {
      const QPoint at = event->position().toPoint();
      DispatchScope scope;
      RuntimeDispatch([&] { return owner_.MouseDown(at.x(), at.y()); }, false);
      event->accept();
      return;
    }
    QLabel::mousePressEvent(event);
  }

 private:
  StaticText& owner_;
};

}  // namespace

StaticText::StaticText() : RectControl(nullptr) {
  auto* label = new ClickableLabel(*this);
  widget_ = label;
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(false);
}

StaticText::~StaticText() = default;

QLabel* StaticText::NativeLabel() const { return static_cast<QLabel*>(widget_); }

void StaticText::SetText(const String& text) {
  text_ = text;
  ShowText();
}

void StaticText::ShowText() {
  QString shown = ToQString(text_);
  // A carriage return breaks the line, as on the platform the texts were written for.
  shown.replace("\r\n", "\n").replace('\r', '\n');
  NativeLabel()->setText(shown);
}

void StaticText::SetTextSize(float size) {
  textSize_ = size;
  ApplyFont();
}

void StaticText::InstallMouseDownHandler(MouseDownHandler handler) {
  mouseDown_ = std::move(handler);
  // A label that does something when clicked looks like a link.
  NativeLabel()->setCursor(mouseDown_ ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

bool StaticText::MouseDown(int32_t x, int32_t y) { return mouseDown_ ? mouseDown_(*this, x, y) : false; }

void StaticText::ApplyProperty(std::string_view name, const PropertyValue& value) {
  QLabel* label = NativeLabel();
  if (name == "Text") {
    SetText(PropertyString(value));
  } else if (name == "TextAlign") {
    textAlign_ = PropertyInt32(value);
    const Qt::Alignment horizontal = textAlign_ == 1 ? Qt::AlignHCenter : textAlign_ == 2 ? Qt::AlignRight : Qt::AlignLeft;
    label->setAlignment(horizontal | Qt::AlignTop);
  } else if (name == "TextColor") {
    const Color color = PropertyColor(value);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(color.red, color.green, color.blue));
    label->setPalette(palette);
  } else if (name == "Multiline") {
    label->setWordWrap(PropertyBoolean(value));
  } else {
    RectControl::ApplyProperty(name, value);
  }
}
