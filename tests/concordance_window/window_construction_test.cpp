// A results window as it stands right after it is built, before File > Open fills it,
// and as it follows the user's resizing.

#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTableView>

#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "concordance_window/word_count_window.h"
#include "framework/controls.h"
#include "framework/runtime.h"
#include "tests/support/gui_test.h"

namespace {

using EmptyResultsWindow = StartedProgram;

// Resizes the window so that its content area (below the menu bar) has the given size.
void ResizeContent(Window& window, int width, int height) {
  QMainWindow* native = window.NativeWindow();
  native->resize(width, height + native->height() - window.Height());
  ProcessEvents(20);
}

TEST_F(EmptyResultsWindow, IsAVisibleUntitledWindowWithTheSharedMenusAndControlsThatFollowItsSize) {
  WordCountWindow& window = RuntimeNewWindow<WordCountWindow>();
  EXPECT_TRUE(window.IsVisible());  // shown by construction alone
  EXPECT_EQ(window.NativeWindow()->windowTitle(), "Untitled");

  QMenuBar* bar = window.NativeWindow()->menuBar();
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->actions().size(), 2);
  EXPECT_GE(window.ContentArea()->geometry().top(), bar->geometry().bottom());

  QLabel* version = ControlNamed<StaticText>(window, "StaticText1").NativeLabel();
  EXPECT_EQ(version->text(), "v1");
  EXPECT_EQ(version->font().pixelSize(), 9);  // points of a 72-dpi screen: one a pixel
  EXPECT_LE(version->fontMetrics().horizontalAdvance("v1"), version->width());
  QTableView* view = ControlNamed<Listbox>(window, "theWords").NativeView();
  EXPECT_TRUE(view->horizontalHeader()->isVisible());
  EXPECT_EQ(view->model()->headerData(0, Qt::Horizontal).toString(), "Count");
  EXPECT_EQ(view->model()->headerData(1, Qt::Horizontal).toString(), "Word");

  // The status line and the list grow with the window, the version label keeps to the
  // bottom left corner (hanging 4 below the bottom edge), whichever way the window grows,
  // and the window goes no smaller than 64 by 64.
  const auto place = [&](const char* control) { return ControlNamed<RectControl>(window, control).NativeWidget()->geometry(); };
  ResizeContent(window, 600, 400);
  const QRect status = place("Status"), list = place("theWords"), corner = place("StaticText1");
  EXPECT_EQ(status, QRect(20, 17, 560, 20));
  EXPECT_EQ(list, QRect(20, 49, 560, 331));
  EXPECT_EQ(corner, QRect(4, 384, 18, 20));
  for (const auto& [wider, taller] : {std::pair{200, 200}, {0, 150}, {150, 0}, {0, 0}}) {
    SCOPED_TRACE(std::to_string(wider) + " wider, " + std::to_string(taller) + " taller");
    ResizeContent(window, 600 + wider, 400 + taller);
    EXPECT_EQ(place("Status"), status.adjusted(0, 0, wider, 0));
    EXPECT_EQ(place("theWords"), list.adjusted(0, 0, wider, taller));
    EXPECT_EQ(place("StaticText1"), corner.translated(0, taller));
    // The count column takes a fifth, the word column the rest.
    EXPECT_NEAR(view->columnWidth(0), view->viewport()->width() / 5, 1);
    EXPECT_NEAR(view->columnWidth(0) + view->columnWidth(1), view->viewport()->width(), 1);
  }
  ResizeContent(window, 10, 10);
  EXPECT_EQ(window.Width(), 64);
  EXPECT_EQ(window.Height(), 64);
}

// -1 and the smallest Int32 come back as they were designed, not as large unsigned numbers.
TEST_F(EmptyResultsWindow, ControlsKeepTheirNegativeDesignValues) {
  WordCountWindow& window = RuntimeNewWindow<WordCountWindow>();
  const auto value = [&](const char* control, const char* property) {
    const auto found = ControlNamed<RectControl>(window, control).Property(property);
    return found ? std::optional<int32_t>(PropertyInt32(*found)) : std::nullopt;
  };
  for (const char* control : {"theWords", "Status", "StaticText1"}) {
    EXPECT_EQ(value(control, "Index"), std::numeric_limits<int32_t>::min()) << control;
  }
  for (const char* property : {"HeadingIndex", "DefaultRowHeight", "_ScrollWidth"}) {
    EXPECT_EQ(value("theWords", property), -1) << property;
  }
}


// A text size counts in its unit: the designs' points are pixels of a 72-dpi screen, and an
// inch or a millimetre is converted to them.
TEST_F(EmptyResultsWindow, ATextSizeCountsInItsUnit) {
  StaticText& label = ControlNamed<StaticText>(RuntimeNewWindow<WordCountWindow>(), "StaticText1");
  const std::pair<FontUnits, float> sizes[] = {
      {FontUnits::kDefault, 9.0f}, {FontUnits::kPoint, 9.0f}, {FontUnits::kPixel, 9.0f},
      {FontUnits::kInch, 0.25f},   {FontUnits::kMillimeter, 6.35f}};
  const int expectedPixels[] = {9, 9, 9, 18, 18};
  for (size_t i = 0; i < std::size(sizes); ++i) {
    label.SetTextSize(sizes[i].second);
    label.SetTextUnit(sizes[i].first);
    EXPECT_EQ(label.TextUnit(), sizes[i].first);
    EXPECT_EQ(label.NativeLabel()->font().pixelSize(), expectedPixels[i]) << i;
  }
}

}  // namespace
