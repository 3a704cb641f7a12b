#pragma once
// Tests that drive the real windows headless: a started program per test, menu items, and
// modal dialogs answered as a user would.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/menu_item.h"
#include "tests/framework/core_test_support.h"
#include "framework/window.h"

// The runtime up and the program's classes registered, start-up not yet run.
void StartRuntime();

// Starts the program as main() does, short of the event loop, and shuts it down afterwards.
// A modal dialog that opens while no ModalDriver runs (an error message nobody expected)
// fails the test and is closed, rather than waiting for an answer until the test times out.
class StartedProgram : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

 private:
  std::unique_ptr<QTimer> strayDialogWatch_;
};

// Lets pending events run (deferred deletions, queued rows) for a moment.
void ProcessEvents(int milliseconds = 0);
// Makes the window the active one, as a click on it would.
void Activate(Window& window);
void ActivateNative(QWidget* widget);
// The menu bar's item of that name; fails the test when there is none.
MenuItem& Item(std::string_view name);

// Answers the modal dialogs of an action, one step per dialog; a dialog left over fails.
class ModalDriver {
 public:
  using Step = std::function<void(QWidget* modal)>;
  ModalDriver& Then(Step step);
  // Runs action (which opens the dialogs) while the steps answer them.
  void Run(const std::function<void()>& action);
  const std::vector<QString>& MessageTexts() const { return messages_; }

  // Common steps. ChooseFile types the path into the file dialog and accepts it; a question
  // asked then (whether to replace a file) gets `answer`, its text kept in `questions`.
  static Step ChooseFile(const std::filesystem::path& path, QMessageBox::StandardButton answer = QMessageBox::Yes,
                         std::vector<std::string>* questions = nullptr);
  static Step Cancel();
  // Records the message box's text and presses OK.
  Step AcceptMessage();

 private:
  friend class StartedProgram;
  static inline int running_ = 0;  // drivers answering dialogs now
  std::vector<Step> steps_;
  std::vector<QString> messages_;
};

// Watches a long command from inside the event loop that it lets run now and then (the yield
// hook): whether the busy cursor was up, and whether `painted` repainted meanwhile. Only the
// moments when `during` holds count.
class LongCommandWatch : public QObject {
 public:
  explicit LongCommandWatch(QWidget* painted = nullptr, std::function<bool()> during = [] { return true; });
  bool SawBusyCursor() const { return sawBusyCursor_; }
  bool SawRepaint() const { return sawRepaint_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Counts() const;

  QPointer<QWidget> painted_;
  std::function<bool()> during_;
  QTimer timer_;
  bool sawBusyCursor_ = false;
  bool sawRepaint_ = false;
};

// Text of `count` different words of `length` letters ("aaaa", "aaab", ...), twelve a line.
std::string DistinctWords(int count, int length);

// Opens the file through File > Open: the window it opened; throws when none opened.
Window& OpenThroughDialog(const std::filesystem::path& path);
