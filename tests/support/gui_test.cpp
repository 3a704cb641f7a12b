#include "tests/support/gui_test.h"

#include <QAbstractButton>
#include <QCursor>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "app/concordance_menu_bar.h"
#include "app/startup.h"
#include "framework/application.h"
#include "framework/yield.h"

void StartRuntime() {
  static int argc = 1;
  static char name[] = "concordance-tests";
  static char* argv[] = {name, nullptr};
  RuntimeInit(argc, argv, kRuntimeOptions);
  RegisterClasses();
}

void StartedProgram::SetUp() {
  StartRuntime();
  strayDialogWatch_ = std::make_unique<QTimer>();
  QObject::connect(strayDialogWatch_.get(), &QTimer::timeout, [] {
    QWidget* modal = QApplication::activeModalWidget();
    if (ModalDriver::running_ > 0 || modal == nullptr || !modal->isVisible()) return;
    auto* box = qobject_cast<QMessageBox*>(modal);
    ADD_FAILURE() << "A dialog opened that no step answers: " << modal->windowTitle().toStdString() << " "
                  << (box != nullptr ? box->text().toStdString() : std::string());
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  });
  strayDialogWatch_->start(200);
  _RunFrameworkInitialization(&_Startup);
}

void StartedProgram::TearDown() {
  strayDialogWatch_.reset();
  ReleaseModuleObjects();
  ProcessEvents();
}

void ProcessEvents(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  do {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  } while (timer.elapsed() < milliseconds);
}

void ActivateNative(QWidget* widget) {
  widget->show();
  widget->raise();
  widget->activateWindow();
  QApplication::setActiveWindow(widget);
  ASSERT_TRUE(QTest::qWaitForWindowActive(widget, 2000));
}

void Activate(Window& window) { ActivateNative(window.NativeWindow()); }

MenuItem& Item(std::string_view name) { return MenuItemNamed<MenuItem>(&ConcordanceMenuBar(), name); }

ModalDriver& ModalDriver::Then(Step step) {
  steps_.push_back(std::move(step));
  return *this;
}

void ModalDriver::Run(const std::function<void()>& action) {
  size_t next = 0;
  // Guarded pointers: the next dialog may well be built where an earlier one stood. A
  // dialog answered once is not a new dialog when it is the active modal again (a file
  // dialog while it finishes, after the question it asked).
  std::vector<QPointer<QWidget>> answered;
  const auto wasAnswered = [&](QWidget* modal) { return std::find(answered.begin(), answered.end(), modal) != answered.end(); };
  const auto reject = [](QWidget* modal, const char* why) {
    ADD_FAILURE() << why << modal->windowTitle().toStdString();
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  };
  // A dialog that waits this long for an answer no step gives is rejected: a failure, not a hang.
  QElapsedTimer sinceAnswer;
  sinceAnswer.start();
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && wasAnswered(modal) && sinceAnswer.elapsed() > 20000) {
      return reject(modal, "Dialog left open: ");
    }
    if (modal == nullptr || wasAnswered(modal) || !modal->isVisible()) return;
    answered.emplace_back(modal);
    sinceAnswer.restart();
    if (next < steps_.size()) {
      steps_[next++](modal);
    } else {
      reject(modal, "Unexpected dialog: ");
    }
  });
  poll.start(5);
  {
    struct Answering {
      Answering() { ++running_; }
      ~Answering() { --running_; }
    } answering;
    action();
  }
  poll.stop();
  EXPECT_EQ(next, steps_.size()) << "Not every expected dialog appeared";
}

ModalDriver::Step ModalDriver::ChooseFile(const std::filesystem::path& path, QMessageBox::StandardButton answer,
                                          std::vector<std::string>* questions) {
  return [path, answer, questions](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr) << "Expected a file dialog";
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path.string()));
    // The question runs inside accept(), so it is answered from a timer of its own.
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || box->button(answer) == nullptr) return;
      if (questions != nullptr) questions->push_back(box->text().toStdString());
      box->button(answer)->click();
    });
    answering.start(5);
    static_cast<QDialog*>(dialog)->accept();
    answering.stop();
    if (dialog->isVisible()) dialog->reject();  // "No" leaves the dialog open: give up
  };
}

ModalDriver::Step ModalDriver::Cancel() {
  return [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); };
}

ModalDriver::Step ModalDriver::AcceptMessage() {
  return [this](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr) << "Expected a message box";
    messages_.push_back(box->text());
    box->button(QMessageBox::Ok)->click();
  };
}

Window& OpenThroughDialog(const std::filesystem::path& path) {
  const std::vector<Window*> before = RuntimeOpenWindows();
  ModalDriver().Then(ModalDriver::ChooseFile(path)).Run([] { ChooseMenuItem(Item("FileOpen")); });
  for (Window* window : RuntimeOpenWindows()) {
    if (std::find(before.begin(), before.end(), window) == before.end()) return *window;
  }
  throw std::runtime_error("File > Open opened no window for " + path.string());
}

LongCommandWatch::LongCommandWatch(QWidget* painted, std::function<bool()> during)
    : painted_(painted), during_(std::move(during)) {
  if (painted_) painted_->installEventFilter(this);
  // A zero timer runs whenever the event loop gets a turn; it asks for the next turn at once.
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (Counts()) {
      sawBusyCursor_ = true;
      if (painted_ && !sawRepaint_) painted_->update();
    }
    ExpireBackgroundTaskIntervalForTesting();
  });
  timer_.start(0);
  ExpireBackgroundTaskIntervalForTesting();
}

bool LongCommandWatch::Counts() const {
  const QCursor* cursor = QApplication::overrideCursor();
  return cursor != nullptr && cursor->shape() == Qt::WaitCursor && during_();
}

bool LongCommandWatch::eventFilter(QObject* watched, QEvent* event) {
  if (watched == painted_ && event->type() == QEvent::Paint && Counts()) sawRepaint_ = true;
  return false;
}

std::string DistinctWords(int count, int length) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    std::string word(static_cast<size_t>(length), 'a');
    for (int n = i, position = length - 1; n > 0 && position >= 0; n /= 26, --position) {
      word[static_cast<size_t>(position)] = static_cast<char>('a' + n % 26);
    }
    text += word + (i % 12 == 11 ? '\n' : ' ');
  }
  return text;
}
