// The program on a real X server with a window manager: the clipboard as other clients see
// it, input during a command, activation after dialogs, links without a browser, start-up.

#include <QAbstractButton>
#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <xcb/xcb.h>

#include <optional>

#include "framework/controls.h"
#include "framework/yield.h"
#include "tests/support/gui_test.h"

namespace {

xcb_connection_t* Connection() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t Atom(const char* name) {
  xcb_connection_t* connection = Connection();
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  free(reply);
  return atom;
}

// Sends a client message to the window through the X server, as another client would.
void SendClientMessage(QWidget* window, xcb_atom_t type, xcb_atom_t first) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = static_cast<xcb_window_t>(window->winId());
  event.type = type;
  event.data.data32[0] = first;
  event.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(Connection(), 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
  xcb_flush(Connection());
}

// Whether the X server sends the keyboard to the window.
bool HasInputFocus(QWidget* window) {
  xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(Connection(), xcb_get_input_focus(Connection()), nullptr);
  const bool focused = reply != nullptr && reply->focus == static_cast<xcb_window_t>(window->winId());
  free(reply);
  return focused;
}

// Sees the marker message come through the event loop (and keeps it from the toolkit).
class MarkerFilter : public QAbstractNativeEventFilter {
 public:
  explicit MarkerFilter(xcb_atom_t marker) : marker_(marker) { qApp->installNativeEventFilter(this); }
  ~MarkerFilter() override { qApp->removeNativeEventFilter(this); }
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
    if (reinterpret_cast<xcb_client_message_event_t*>(event)->type != marker_) return false;
    seen = true;
    return true;
  }
  bool seen = false;

 private:
  xcb_atom_t marker_;
};

// Quits the loop when the watched window gets its close event.
class CloseWatcher : public QObject {
 public:
  CloseWatcher(QWidget* window, QEventLoop& loop) : loop_(loop) { window->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Close) {
      closed = true;
      loop_.quit();
    }
    return false;
  }
  bool closed = false;

 private:
  QEventLoop& loop_;
};

// Runs a program to its end while serving this process's events (it may own the selection
// asked for): its output if it succeeded; `account` says what it answered, for failures.
std::optional<QByteArray> RunToEnd(const QString& program, const QStringList& arguments, std::string& account) {
  QProcess process;
  process.start(program, arguments);
  const bool ended = QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 10000);
  if (!ended) process.kill(), process.waitForFinished(2000);
  const QByteArray output = process.readAllStandardOutput();
  account = (program + " " + arguments.join(' ')).toStdString() + ": " +
            (ended ? "status " + std::to_string(process.exitCode()) : std::string("did not end")) + ", printed " +
            std::to_string(output.size()) + " bytes \"" + output.left(200).trimmed().toStdString() + "\", errors \"" +
            process.readAllStandardError().trimmed().toStdString() + "\"";
  if (!ended || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return std::nullopt;
  return output;
}

class OnTheDesktop : public StartedProgram {
 protected:
  void SetUp() override {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run these tests on an X server";
    StartedProgram::SetUp();
  }

  Window& OpenText(const std::string& text, const std::string& name) {
    Window& window = OpenThroughDialog(folder.Write(name, text));
    Activate(window);
    return window;
  }

  TempFolder folder;
};

// A list larger than one X request, so that it goes over in parts.
TEST_F(OnTheDesktop, CopiedRowsReachOtherClientsAsUtf8StringAndString) {
  OpenText(DistinctWords(60000, 4), "words.txt");
  ASSERT_TRUE(ChooseMenuItem(Item("EditCopy")));
  const std::string expected = QGuiApplication::clipboard()->mimeData()->data("text/plain").toStdString();
  ASSERT_GT(expected.size(), 8u);

  std::string account;
  const auto targets = RunToEnd("xclip", {"-o", "-selection", "clipboard", "-t", "TARGETS"}, account);
  ASSERT_TRUE(targets) << account;
  for (const char* target : {"UTF8_STRING", "STRING", "TEXT", "text/plain", "text/plain;charset=utf-8"}) {
    EXPECT_TRUE(targets->split('\n').contains(target))
        << target << " not offered; offered:\n" << targets->toStdString();
  }
  for (const char* target : {"UTF8_STRING", "STRING"}) {
    const auto received = RunToEnd("xclip", {"-o", "-selection", "clipboard", "-t", target}, account);
    ASSERT_TRUE(received) << account;
    EXPECT_EQ(received->size(), static_cast<qsizetype>(expected.size())) << target;
    EXPECT_TRUE(received->toStdString() == expected) << "as " << target << " the rows differ";
  }
}

TEST_F(OnTheDesktop, CloseRequestDuringACommandIsCarriedOutWhenItEnds) {
  const std::pair<const char*, std::function<void(QWidget* window)>> cases[] = {
      {"close button", [](QWidget* window) { SendClientMessage(window, Atom("WM_PROTOCOLS"), Atom("WM_DELETE_WINDOW")); }},
      // From the keyboard, through the X server's test extension; the key is in the
      // program's queue once xdotool has ended.
      {"Ctrl+W", [](QWidget*) {
         QProcess xdotool;
         xdotool.start("xdotool", {"key", "--clearmodifiers", "ctrl+w"});
         const QDeadlineTimer limit(10000);
         while (xdotool.state() != QProcess::NotRunning && !limit.hasExpired()) RuntimeBackgroundTask();
         EXPECT_EQ(xdotool.state(), QProcess::NotRunning);
       }},
  };
  for (const auto& [name, press] : cases) {
    SCOPED_TRACE(name);
    Window& window = OpenText("one two two\nthree\n", "words.txt");
    QPointer<QMainWindow> native = window.NativeWindow();
    MarkerFilter marker(Atom("CONCORDANCE_TEST_MARK"));
    bool openWhenCommandEnded = false;
    // A long command: the close is asked for early in it, and it runs on until the program
    // has read the request (the marker sent after it has come through).
    window._AddMenuHandler("EditCopy", [&] {
      press(native);
      SendClientMessage(native, Atom("CONCORDANCE_TEST_MARK"), 0);
      const QDeadlineTimer limit(10000);
      while (!marker.seen && !limit.hasExpired()) RuntimeBackgroundTask();
      openWhenCommandEnded = window.IsOpen();
      return true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return HasInputFocus(native); }, 5000)) << "the keyboard is elsewhere";
    ASSERT_TRUE(ChooseMenuItem(Item("EditCopy")));
    ASSERT_TRUE(marker.seen) << "the marker never came through";
    EXPECT_TRUE(openWhenCommandEnded) << "input was not held back during the command";

    // Back in the event loop, with no further input: the held request is carried out now,
    // not when something else happens to wake the loop.
    QEventLoop loop;
    CloseWatcher watcher(native, loop);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(watcher.closed) << "the close request waited for further input";
    ProcessEvents();
    EXPECT_TRUE(RuntimeOpenWindows().empty());
  }
}

// Dialogs answered from the keyboard, so that the window manager moves the activation.
TEST_F(OnTheDesktop, WindowThatRanASaveIsActiveAfterTheReplaceQuestion) {
  const std::filesystem::path existing = folder.Write("existing.txt", "old");
  Window& large = OpenText(DistinctWords(600000, 5), "large.txt");
  Window& small = OpenText("one two two\nthree\n", "small.txt");
  const auto typeWhenFocused = [](QWidget* modal, const QStringList& keys) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return HasInputFocus(modal); }, 5000)) << "the dialog never got the keyboard";
    QProcess::startDetached("xdotool", keys);
  };
  // The window manager errs only now and then: several saves, from both windows.
  for (Window* window : {&large, &small, &large, &large, &small, &large}) {
    Activate(*window);
    ModalDriver()
        .Then([&](QWidget* modal) {
          // The name is filled in directly: typed, it would open the completion list.
          modal->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(existing.string()));
          typeWhenFocused(modal, {"key", "Return"});
        })
        .Then([&](QWidget* modal) { typeWhenFocused(modal, {"key", "alt+y"}); })
        .Run([] { ChooseMenuItem(Item("FileSaveAsCSV")); });
    // Time for the window manager to move the activation, as it would after the dialogs.
    ProcessEvents(300);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == window->NativeWindow(); }, 5000))
        << "active afterwards: "
        << (QApplication::activeWindow() ? QApplication::activeWindow()->windowTitle().toStdString() : "none");
  }
  EXPECT_EQ(ReadBytes(existing).substr(0, 9), "aaaaa, 1\r");
}

TEST_F(OnTheDesktop, LinkWithoutABrowserSaysSoInAMessageThatShowsItsWholeTitle) {
  // No browser anywhere on the path, nor named in the environment.
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", folder.Path().string().c_str());
  qunsetenv("BROWSER");
  qunsetenv("DEFAULT_BROWSER");
  ASSERT_TRUE(ChooseMenuItem(Item("AboutMenuItem")));
  Window& about = *RuntimeOpenWindows().back();
  Activate(about);
  QLabel* link = ControlNamed<StaticText>(about, "StaticText3").NativeLabel();

  // The step is sure to run: the driver fails the test when no message appears.
  ModalDriver()
      .Then([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr) << "expected a message";
        EXPECT_EQ(box->text(), "The page https://varnholt.example/ could not be opened in a web browser.");
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        // Room for the title and the window manager's buttons beside it.
        QFont bold = box->font();
        bold.setBold(true);
        EXPECT_GE(box->width(), QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 100);
        box->button(QMessageBox::Ok)->click();
      })
      .Run([&] { QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center()); });
  qputenv("PATH", path);
  EXPECT_TRUE(about.IsOpen());
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == about.NativeWindow(); }, 5000));
}

TEST_F(OnTheDesktop, StartsAndQuitsWithCtrlQ) {
  QProcess program;
  program.start(CONCORDANCE_EXECUTABLE, {});
  ASSERT_TRUE(program.waitForStarted(5000));
  // Polls for the program's window, activates it and presses Ctrl+Q on the keyboard.
  std::string account;
  QString window;
  const QStringList search = {"search", "--onlyvisible", "--pid", QString::number(program.processId()),
                              "--name", "^Varnholt Concordance$"};
  const bool found = QTest::qWaitFor([&] {
    window = QString::fromUtf8(RunToEnd("xdotool", search, account).value_or("")).section('\n', 0, 0).trimmed();
    return !window.isEmpty();
  }, 20000);
  const bool active = found && QTest::qWaitFor([&] {
    std::string activation;
    RunToEnd("xdotool", {"windowactivate", window}, activation);
    const auto activeWindow = RunToEnd("xdotool", {"getactivewindow"}, account);
    const bool isActive = QString::fromUtf8(activeWindow.value_or("")).trimmed() == window;
    account = activation + "; " + account;
    return isActive;
  }, 10000);
  const bool keyed = active && RunToEnd("xdotool", {"key", "--clearmodifiers", "ctrl+q"}, account);
  // Polled: the xdotool runs above serve this process's events, which may have seen it end.
  const bool ended = QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 10000);
  if (!ended) program.kill(), program.waitForFinished(2000);
  ASSERT_TRUE(found) << "no window of the program appeared; last: " << account;
  ASSERT_TRUE(active) << "the program's window never became active; last: " << account;
  ASSERT_TRUE(keyed) << account;
  ASSERT_TRUE(ended) << "Ctrl+Q did not end the program; " << account;
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}

}  // namespace
