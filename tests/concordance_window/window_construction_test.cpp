// A results window as it stands right after it is built, before File > Open fills it,
// and as it follows the user's resizing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTableView>

#include "app/concordance_menu_bar.h"
#include "concordance_window/word_count_window.h"
#include "framework/controls.h"
#include "framework/list_model.h"
#include "framework/runtime.h"
#include "tests/support/gui_test.h"

using ::testing::ElementsAre;

namespace {

class EmptyResultsWindow : public StartedProgram {
 protected:
  // Resizes the window so that its content area (below the menu bar) has the given size.
  static void ResizeContent(Window& window, int width, int height) {
    QMainWindow* native = window.NativeWindow();
    const int menuBarHeight = native->height() - window.Height();
    native->resize(width, height + menuBarHeight);
    ProcessEvents(20);
  }

  static QRect Geometry(const RectControl& control) { return control.NativeWidget()->geometry(); }
};

TEST_F(EmptyResultsWindow, IsAVisibleUntitledResizableWindowWithCloseAndMinimizeButtonsOnly) {
  WordCountWindow& window = RuntimeNewWindow<WordCountWindow>();
  // Shown by construction alone.
  EXPECT_TRUE(window.IsVisible());
  EXPECT_EQ(window.Title().ToUtf8(), "Untitled");
  EXPECT_EQ(window.Width(), 600);
  EXPECT_EQ(window.Height(), 400);

  const Qt::WindowFlags flags = window.NativeWindow()->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));

  EXPECT_EQ(window.ContentArea()->minimumSize(), QSize(64, 64));
  EXPECT_EQ(window.ContentArea()->maximumSize(), QSize(32000, 32000));
  ResizeContent(window, 10, 10);
  EXPECT_EQ(window.Width(), 64);
  EXPECT_EQ(window.Height(), 64);
}

TEST_F(EmptyResultsWindow, ShowsTheSharedFileAndEditMenusInItsOwnMenuBar) {
  WordCountWindow& window = RuntimeNewWindow<WordCountWindow>();
  QMenuBar* bar = window.NativeWindow()->menuBar();
  EXPECT_TRUE(bar->isVisible());
  const QList<QAction*> menus = bar->actions();
  ASSERT_EQ(menus.size(), 2);
  EXPECT_EQ(menus[0]->menu(), ConcordanceMenuBar().Item(0).NativeMenu());
  EXPECT_EQ(menus[0]->text(), "&File");
  EXPECT_EQ(menus[1]->menu(), ConcordanceMenuBar().Item(1).NativeMenu());
  EXPECT_EQ(menus[1]->text(), "&Edit");
  // The content area starts below the menu bar, not under it.
  EXPECT_GE(window.ContentArea()->geometry().top(), bar->geometry().bottom());
}

TEST_F(EmptyResultsWindow, StartsWithAnEmptyCentredTotalsLine) {
  WordCountWindow& window = RuntimeNewWindow<WordCountWindow>();
  StaticText& status = ControlNamed<StaticText>(window, "Status");
  EXPECT_EQ(status.Text().ToUtf8(), "");
  EXPECT_EQ(status.NativeLabel()->text(), "");
  EXPECT_TRUE(status.NativeLabel()->alignment().testFlag(Qt::AlignHCenter));
  EXPECT_EQ(Geometry(status), QRect(20, 17, 560, 20));
  // No text size of its own: the toolkit's default.
  EXPECT_EQ(status.TextSize(), 0.0f);
  EXPECT_EQ(status.NativeLabel()->font().pointSizeF(), QApplication::font().pointSizeF());
}

TEST_F(EmptyResultsWindow, ListHasCountAndWordHeadingsAndNoRows) {
  WordCountWindow& window = RuntimeNewWindow<WordCountWindow>();
  Listbox& list = ControlNamed<Listbox>(window, "theWords");
  QTableView* view = list.NativeView();

  EXPECT_EQ(list.ColumnCount(), 2);
  EXPECT_EQ(list.ListCount(), 0);
  EXPECT_EQ(view->model()->rowCount(), 0);
  EXPECT_EQ(view->model()->columnCount(), 2);
  EXPECT_EQ(list.Heading(0).ToUtf8(), "Count");
  EXPECT_EQ(list.Heading(1).ToUtf8(), "Word");
  EXPECT_TRUE(view->horizontalHeader()->isVisible());
  EXPECT_EQ(view->model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Count");
  EXPECT_EQ(view->model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Word");

  EXPECT_EQ(Geometry(list), QRect(20, 49, 560, 331));
  EXPECT_NE(view->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_NE(view->frameShape(), QFrame::NoFrame);
  const int inside = view->viewport()->width();
  EXPECT_NEAR(view->columnWidth(0), inside / 5, 1);
  EXPECT_NEAR(view->columnWidth(0) + view->columnWidth(1), inside, 1);
}

TEST_F(EmptyResultsWindow, VersionLabelReadsV1InSmallTextInTheBottomLeftCorner) {
  WordCountWindow& window = RuntimeNewWindow<WordCountWindow>();
  StaticText& version = ControlNamed<StaticText>(window, "StaticText1");
  QLabel* label = version.NativeLabel();
  EXPECT_EQ(version.Text().ToUtf8(), "v1");
  EXPECT_EQ(label->text(), "v1");
  EXPECT_EQ(version.TextSize(), 9.0f);
  EXPECT_EQ(label->font().pixelSize(), 9);
  EXPECT_TRUE(label->alignment().testFlag(Qt::AlignLeft));
  EXPECT_EQ(Geometry(version), QRect(4, 384, 18, 20));
  // Readable: the text fits the label across and its line sits inside the window.
  EXPECT_LE(label->fontMetrics().horizontalAdvance("v1"), label->width());
  EXPECT_LE(label->y() + label->fontMetrics().height(), window.Height());
}

TEST_F(EmptyResultsWindow, ResizingKeepsTheMarginsOfEveryControl) {
  WordCountWindow& window = RuntimeNewWindow<WordCountWindow>();
  ResizeContent(window, 800, 600);
  ASSERT_EQ(window.Width(), 800);
  ASSERT_EQ(window.Height(), 600);

  EXPECT_EQ(Geometry(ControlNamed<StaticText>(window, "Status")), QRect(20, 17, 760, 20));
  EXPECT_EQ(Geometry(ControlNamed<Listbox>(window, "theWords")), QRect(20, 49, 760, 531));
  EXPECT_EQ(Geometry(ControlNamed<StaticText>(window, "StaticText1")), QRect(4, 584, 18, 20));
  QTableView* view = ControlNamed<Listbox>(window, "theWords").NativeView();
  EXPECT_NEAR(view->columnWidth(0), view->viewport()->width() / 5, 1);

  // And back again.
  ResizeContent(window, 600, 400);
  EXPECT_EQ(Geometry(ControlNamed<Listbox>(window, "theWords")), QRect(20, 49, 560, 331));
  EXPECT_EQ(Geometry(ControlNamed<StaticText>(window, "StaticText1")), QRect(4, 384, 18, 20));
}

TEST_F(EmptyResultsWindow, FirstRowAddedIsRowZero) {
  WordCountWindow& window = RuntimeNewWindow<WordCountWindow>();
  Listbox& list = ControlNamed<Listbox>(window, "theWords");
  list.AddRow("3");
  list.SetCell(0, 1, "apple");
  ProcessEvents(20);
  EXPECT_EQ(list.ListCount(), 1);
  EXPECT_EQ(list.Cell(0, 0).ToUtf8(), "3");
  EXPECT_EQ(list.Cell(0, 1).ToUtf8(), "apple");
  QAbstractItemModel* shown = list.NativeView()->model();
  ASSERT_EQ(shown->rowCount(), 1);
  EXPECT_EQ(shown->index(0, 0).data().toString(), "3");
  EXPECT_EQ(shown->index(0, 1).data().toString(), "apple");
  EXPECT_EQ(shown->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Count");
}

TEST_F(EmptyResultsWindow, TwoWindowsHaveSeparateControlsOfTheSameNames) {
  WordCountWindow& first = RuntimeNewWindow<WordCountWindow>();
  WordCountWindow& second = RuntimeNewWindow<WordCountWindow>();
  for (const char* name : {"theWords", "Status", "StaticText1"}) {
    EXPECT_NE(RuntimeWindowControlByName(first, name), RuntimeWindowControlByName(second, name)) << name;
    EXPECT_EQ(RuntimeWindowControlByName(first, name)->ParentWindow(), &first) << name;
  }
  ControlNamed<Listbox>(first, "theWords").AddRow("1");
  ControlNamed<StaticText>(first, "Status").SetText("1 unique words");
  EXPECT_EQ(ControlNamed<Listbox>(second, "theWords").ListCount(), 0);
  EXPECT_EQ(ControlNamed<StaticText>(second, "Status").Text().ToUtf8(), "");
}

TEST_F(EmptyResultsWindow, ClosingOneLeavesTheMenuBarAndTheOtherWindowWorking) {
  WordCountWindow& first = RuntimeNewWindow<WordCountWindow>();
  WordCountWindow& second = RuntimeNewWindow<WordCountWindow>();
  Activate(first);
  EXPECT_TRUE(ChooseMenuItem(Item("FileClose")));
  ProcessEvents(20);
  ASSERT_THAT(RuntimeOpenWindows(), ElementsAre(&second));

  MenuBar& bar = ConcordanceMenuBar();
  ASSERT_EQ(bar.Count(), 2);
  EXPECT_EQ(bar.Item(0).NativeMenu()->actions().size(), 7);
  EXPECT_EQ(bar.Item(1).NativeMenu()->actions().size(), 8);
  const QList<QAction*> shown = second.NativeWindow()->menuBar()->actions();
  ASSERT_EQ(shown.size(), 2);
  EXPECT_EQ(shown[0]->menu(), bar.Item(0).NativeMenu());

  ControlNamed<Listbox>(second, "theWords").AddRow("2");
  EXPECT_EQ(ControlNamed<Listbox>(second, "theWords").ListCount(), 1);
  Activate(second);
  RunMenuEnablingPass();
  EXPECT_TRUE(Item("FileSaveAsCSV").Enabled());
  EXPECT_TRUE(ChooseMenuItem(Item("FileClose")));
  ProcessEvents(20);
  EXPECT_TRUE(RuntimeOpenWindows().empty());
}

}  // namespace
