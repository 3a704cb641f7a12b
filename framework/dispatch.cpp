#include "framework/dispatch.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QWidget>
#include <QTimer>

#include <memory>
#include <utility>
#include <vector>

#include "framework/yield.h"

namespace {

struct EventPump {
  std::unique_ptr<QApplication> ownToolkit;
  int depth = 0;  // handlers running now
  QPointer<QWidget> commandWindow;
  // Work that came due while a handler ran; posted again when the outermost one ends.
  std::vector<std::pair<QPointer<QObject>, std::function<void()>>> workAfterHandlers;
  bool busyCursorShown = false;
  bool inputHeld = false;  // user input may wait in the toolkit's queues
};

EventPump& Pump() {
  static EventPump pump;
  return pump;
}

// Makes the event loop take one pass even when nothing new arrives: the pass delivers
// input that was held back, in the order it came.
void WakeEventLoop() {
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) dispatcher->wakeUp();
}

// The yield hook's handler: keeps windows painting during long commands without letting a
// second command start.
void ProcessPendingEvents() {
  EventPump& pump = Pump();
  if (pump.depth > 0 && !pump.busyCursorShown) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    pump.busyCursorShown = true;
  }
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  // Keys, clicks and close requests that came meanwhile stay queued inside the toolkit, and
  // nothing else would wake the event loop for them: no new event arrives to do it.
  if (pump.depth == 0) WakeEventLoop();
  else pump.inputHeld = true;
}

}  // namespace

void StartEventPump(int& argc, char** argv) {
  EventPump& pump = Pump();
  if (QApplication::instance() == nullptr) pump.ownToolkit = std::make_unique<QApplication>(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  SetBackgroundTaskHandler(&ProcessPendingEvents);
}

void StopEventPump() {
  SetBackgroundTaskHandler(nullptr);
  Pump().ownToolkit.reset();
}

int RunEventLoop() { return QApplication::exec(); }

void RuntimeQuit() { QCoreApplication::quit(); }

DispatchScope::DispatchScope() {
  EventPump& pump = Pump();
  if (pump.depth++ == 0) pump.commandWindow = QApplication::activeWindow();
}

DispatchScope::~DispatchScope() {
  EventPump& pump = Pump();
  if (--pump.depth > 0) return;
  pump.commandWindow = nullptr;
  if (pump.busyCursorShown) {
    QApplication::restoreOverrideCursor();
    pump.busyCursorShown = false;
  }
  if (pump.inputHeld) {
    pump.inputHeld = false;
    WakeEventLoop();
  }
  auto waiting = std::move(pump.workAfterHandlers);
  pump.workAfterHandlers.clear();
  for (auto& [context, work] : waiting) {
    if (context) RunFromEventLoop(context, std::move(work));
  }
}

void DispatchScope::RunFromEventLoop(QObject* context, std::function<void()> work) {
  QTimer::singleShot(0, context, [context, work = std::move(work)]() mutable {
    if (Pump().depth == 0) work();
    else Pump().workAfterHandlers.emplace_back(context, std::move(work));
  });
}

QWidget* DispatchScope::CommandWindow() { return Pump().depth > 0 ? Pump().commandWindow.data() : nullptr; }
