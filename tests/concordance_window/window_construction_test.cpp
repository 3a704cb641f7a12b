// A results window as it stands right after it is built, before File > Open fills it,
// and as it follows the user's resizing.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTableView>

#include "app/concordance_menu_bar.h"
#include "concordance_window/word_count_window.h"
#include "framework/controls.h"
#include "framework/runtime.h"
#include "tests/support/gui_test.h"

namespace {

class EmptyResultsWindow : public StartedProgram {
 protected:
  // Resizes the window so that its content area (below the menu bar) has the given size.
  static void ResizeContent(Window& window, int width, int height) {
    QMainWindow* native = window.NativeWindow();
    native->resize(width, height + native->height() - window.Height());
    ProcessEvents(20);
  }
};

TEST_F(EmptyResultsWindow, IsAVisibleUntitledResizableWindowWithCloseAndMinimizeButtonsAndTheSharedMenus) {
  WordCountWindow& window = RuntimeNewWindow<WordCountWindow>();
  EXPECT_TRUE(window.IsVisible());  // shown by construction alone
  EXPECT_EQ(window.NativeWindow()->windowTitle(), "Untitled");
  EXPECT_EQ(window.Width(), 600);
  EXPECT_EQ(window.Height(), 400);

  const Qt::WindowFlags flags = window.NativeWindow()->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  ResizeContent(window, 10, 10);
  EXPECT_EQ(window.Width(), 64);
  EXPECT_EQ(window.Height(), 64);

  QMenuBar* bar = window.NativeWindow()->menuBar();
  EXPECT_TRUE(bar->isVisible());
  const QList<QAction*> menus = bar->actions();
  ASSERT_EQ(menus.size(), 2);
  EXPECT_EQ(menus[0]->menu(), ConcordanceMenuBar().Item(0).NativeMenu());
  EXPECT_EQ(menus[1]->menu(), ConcordanceMenuBar().Item(1).NativeMenu());
  EXPECT_GE(window.ContentArea()->geometry().top(), bar->geometry().bottom());
}

TEST_F(EmptyResultsWindow, ControlsShowTheirStartingTextsAndFonts) {
  WordCountWindow& window = RuntimeNewWindow<WordCountWindow>();
  QLabel* status = ControlNamed<StaticText>(window, "Status").NativeLabel();
  EXPECT_EQ(status->text(), "");
  EXPECT_TRUE(status->alignment().testFlag(Qt::AlignHCenter));
  EXPECT_EQ(status->font().pointSizeF(), QApplication::font().pointSizeF());

  QLabel* version = ControlNamed<StaticText>(window, "StaticText1").NativeLabel();
  EXPECT_EQ(version->text(), "v1");
  EXPECT_EQ(version->font().pixelSize(), 9);
  EXPECT_TRUE(version->alignment().testFlag(Qt::AlignLeft));
  EXPECT_LE(version->fontMetrics().horizontalAdvance("v1"), version->width());

  QTableView* view = ControlNamed<Listbox>(window, "theWords").NativeView();
  EXPECT_EQ(view->model()->rowCount(), 0);
  EXPECT_TRUE(view->horizontalHeader()->isVisible());
  EXPECT_EQ(view->model()->headerData(0, Qt::Horizontal).toString(), "Count");
  EXPECT_EQ(view->model()->headerData(1, Qt::Horizontal).toString(), "Word");
  EXPECT_EQ(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST_F(EmptyResultsWindow, ControlsKeepTheirMarginsAsTheWindowIsResized) {
  WordCountWindow& window = RuntimeNewWindow<WordCountWindow>();
  struct Place {
    const char* control;
    QRect at600x400, at800x600;
  };
  const Place places[] = {{"Status", QRect(20, 17, 560, 20), QRect(20, 17, 760, 20)},
                          {"theWords", QRect(20, 49, 560, 331), QRect(20, 49, 760, 531)},
                          {"StaticText1", QRect(4, 384, 18, 20), QRect(4, 584, 18, 20)}};
  QTableView* view = ControlNamed<Listbox>(window, "theWords").NativeView();
  for (const QSize size : {QSize(600, 400), QSize(800, 600), QSize(600, 400)}) {
    ResizeContent(window, size.width(), size.height());
    for (const Place& place : places) {
      EXPECT_EQ(RuntimeWindowControlByName(window, place.control)->NativeWidget()->geometry(),
                size.width() == 600 ? place.at600x400 : place.at800x600)
          << place.control << " at " << size.width();
    }
    // The count column takes a fifth, the word column the rest.
    EXPECT_NEAR(view->columnWidth(0), view->viewport()->width() / 5, 1);
    EXPECT_NEAR(view->columnWidth(0) + view->columnWidth(1), view->viewport()->width(), 1);
  }
}

TEST_F(EmptyResultsWindow, TwoWindowsHaveSeparateControlsOfTheSameNames) {
  WordCountWindow& first = RuntimeNewWindow<WordCountWindow>();
  WordCountWindow& second = RuntimeNewWindow<WordCountWindow>();
  ControlNamed<Listbox>(first, "theWords").AddRow("1");
  ControlNamed<StaticText>(first, "Status").SetText("1 unique words");
  EXPECT_EQ(ControlNamed<Listbox>(second, "theWords").ListCount(), 0);
  EXPECT_EQ(ControlNamed<StaticText>(second, "Status").Text().ToUtf8(), "");
}

}  // namespace
