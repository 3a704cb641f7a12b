#pragma once
// What a user sees of a results window, and the messages a command showed.

#include <QHeaderView>
#include <QTableView>

#include <string>
#include <vector>

#include "framework/controls.h"
#include "tests/support/gui_test.h"

inline Listbox& TheWords(Window& window) { return ControlNamed<Listbox>(window, "theWords"); }

// "count word" per row, for as many rows as the view lays out: a row announced to the view
// but missing from the list would show as a blank one.
inline std::vector<std::string> ShownRows(Window& window) {
  ProcessEvents();
  const QTableView* view = TheWords(window).NativeView();
  std::vector<std::string> rows;
  for (int row = 0; row < view->verticalHeader()->count(); ++row) {
    rows.push_back(view->model()->index(row, 0).data().toString().toStdString() + " " +
                   view->model()->index(row, 1).data().toString().toStdString());
  }
  return rows;
}

inline std::vector<std::string> Messages(const ModalDriver& driver) {
  std::vector<std::string> texts;
  for (const QString& text : driver.MessageTexts()) texts.push_back(text.toStdString());
  return texts;
}
