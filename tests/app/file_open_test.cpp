// File > Open as a user meets it: the dialog, the filled results window, and what the user
// sees when the chosen file cannot be opened or fails while it is read.

#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include <QCursor>
#include <QFileDialog>
#include <QLabel>
#include <QMainWindow>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

#include "about_window/about_window.h"
#include "concordance_window/word_count_window.h"
#include "framework/yield.h"
#include "tests/concordance_window/results_view.h"

// Linked with --wrap=read, the framework's reads of the file come through here (the linker
// fixes the names): one can fail, as a failing disk would. Each read also lets the event
// loop in at the next chance and notes whether the busy cursor was up.
namespace {

struct ReadInjection {
  std::string path;     // the file whose reads are watched; empty: none
  int failingRead = 0;  // the n-th read of it fails with EIO; 0: none fails
  int readsSoFar = 0;
  bool sawBusyCursor = false;
};

ReadInjection injection;

bool ReadsInjectedFile(int descriptor) {
  std::error_code error;
  return !injection.path.empty() &&
         std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(descriptor), error) == injection.path;
}

}  // namespace

extern "C" ssize_t __real_read(int descriptor, void* buffer, size_t size);
extern "C" ssize_t __wrap_read(int descriptor, void* buffer, size_t size) {
  if (ReadsInjectedFile(descriptor)) {
    const QCursor* cursor = QApplication::overrideCursor();
    if (cursor != nullptr && cursor->shape() == Qt::WaitCursor) injection.sawBusyCursor = true;
    ExpireBackgroundTaskIntervalForTesting();
    if (++injection.readsSoFar == injection.failingRead) {
      errno = EIO;
      return -1;
    }
  }
  return __real_read(descriptor, buffer, size);
}

// Linked with --wrap for the counting's ScanBlock, the workers' counting comes through here.
// Once armed, every worker that starts on a chunk waits until `holdFor` has passed since the
// first one did: no chunk is counted meanwhile, so the caller's thread can only be waiting.
namespace counting {
class WordTable;
struct ScanTotals;
}  // namespace counting

namespace {

struct WorkerHold {
  std::thread::id callerThread;
  std::chrono::milliseconds holdFor{0};  // 0: workers count at once
  std::mutex mutex;
  std::optional<std::chrono::steady_clock::time_point> until;  // set by the first worker
  std::atomic<int> waiting{0};
};

WorkerHold hold;

}  // namespace

void RealScanBlock(const char* begin, const char* end, counting::WordTable& table, counting::ScanTotals& totals) asm(
    "__real__ZN8counting9ScanBlockEPKcS1_RNS_9WordTableERNS_10ScanTotalsE");
void HeldScanBlock(const char* begin, const char* end, counting::WordTable& table, counting::ScanTotals& totals) asm(
    "__wrap__ZN8counting9ScanBlockEPKcS1_RNS_9WordTableERNS_10ScanTotalsE");
void HeldScanBlock(const char* begin, const char* end, counting::WordTable& table, counting::ScanTotals& totals) {
  if (hold.holdFor.count() > 0 && std::this_thread::get_id() != hold.callerThread) {
    std::chrono::steady_clock::time_point until;
    {
      std::lock_guard lock(hold.mutex);
      if (!hold.until) hold.until = std::chrono::steady_clock::now() + hold.holdFor;
      until = *hold.until;
    }
    ++hold.waiting;
    std::this_thread::sleep_until(until);
    --hold.waiting;
  }
  RealScanBlock(begin, end, table, totals);
}

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

std::string StatusText(Window& window) {
  return ControlNamed<StaticText>(window, "Status").NativeLabel()->text().toStdString();
}

class FileOpen : public StartedProgram {
 protected:
  void TearDown() override {
    injection = ReadInjection();
    hold.holdFor = std::chrono::milliseconds(0);
    hold.until.reset();
    StartedProgram::TearDown();
  }

  TempFolder folder;
};

// The counting itself is tested on its own; here the totals and rows reach the window.
TEST_F(FileOpen, ShowsTheTotalsAndOneRowPerWordAscendingByCountUnsorted) {
  Window& window = OpenThroughDialog(folder.Write("example.txt", "The cat and the hat.\nA cat!\n"));
  EXPECT_EQ(window.NativeWindow()->windowTitle().toStdString(), "Concordance for example.txt");
  EXPECT_EQ(StatusText(window), "5 unique words, 7 words in file, 2 lines in file");
  EXPECT_THAT(ShownRows(window), ElementsAre("1 and", "1 hat", "1 a", "2 the", "2 cat"));
  EXPECT_FALSE(TheWords(window).NativeView()->horizontalHeader()->isSortIndicatorShown());
}

// Cancelling says nothing; anything that is not a regular file is refused at once, with
// nothing waiting for a writer; a file the user may not read is refused as well.
TEST_F(FileOpen, CancelAFifoOrAnUnreadableFileOpensNoWindow) {
  if (RanAsUnprivilegedUser()) return;
  const std::filesystem::path fifo = folder.Path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const std::filesystem::path unreadable = folder.Write("unreadable.txt", "words");
  ASSERT_EQ(::chmod(unreadable.c_str(), 0), 0);
  ModalDriver driver;
  const ModalDriver::Step accept = driver.AcceptMessage();
  driver.Then(ModalDriver::Cancel()).Then(ModalDriver::ChooseFile(fifo)).Then(accept);
  driver.Then(ModalDriver::ChooseFile(unreadable)).Then(accept).Run([] {
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(ChooseMenuItem(Item("FileOpen")));
  });
  EXPECT_THAT(Messages(driver), ElementsAre("Could not open the file " + fifo.string(),
                                            "Could not open the file " + unreadable.string()));
  EXPECT_THAT(RuntimeOpenWindows(), IsEmpty());
}

// While a long file is read the busy cursor is up; it is gone when the read error is
// reported and when the command ends.
TEST_F(FileOpen, ReadErrorInTheMiddleIsReportedWithoutTheBusyCursorAndTheFileOpensLater) {
  // Several blocks of text; the second read fails.
  const auto file = folder.Write("failing.txt", DistinctWords(400000, 5));
  injection.path = file.string();
  injection.failingRead = 2;
  bool busyDuringMessage = true;
  ModalDriver driver;
  const ModalDriver::Step accept = driver.AcceptMessage();
  driver.Then(ModalDriver::ChooseFile(file))
      .Then([&](QWidget* modal) {
        const QCursor* cursor = QApplication::overrideCursor();
        busyDuringMessage = cursor != nullptr && cursor->shape() == Qt::WaitCursor;
        accept(modal);
      })
      .Run([] { EXPECT_TRUE(ChooseMenuItem(Item("FileOpen"))); });
  ASSERT_EQ(Messages(driver).size(), 1u);
  EXPECT_THAT(Messages(driver)[0], StartsWith("An unexpected error occurred: "));
  EXPECT_THAT(Messages(driver)[0], ::testing::HasSubstr(std::strerror(EIO)));
  EXPECT_TRUE(injection.sawBusyCursor);
  EXPECT_FALSE(busyDuringMessage);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_THAT(RuntimeOpenWindows(), IsEmpty());

  // The program goes on: the same file opens once the disk behaves.
  injection = ReadInjection();
  Window& window = OpenThroughDialog(file);
  EXPECT_EQ(StatusText(window), "400000 unique words, 400000 words in file, 33334 lines in file");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Each command counts afresh and opens a window of its own.
TEST_F(FileOpen, OpeningOneFileTwiceGivesTwoWindowsThatShowTheSame) {
  const auto file = folder.Write("twice.txt", "The cat and the hat.\nA cat!\n");
  Window& first = OpenThroughDialog(file);
  Window& second = OpenThroughDialog(file);
  ASSERT_THAT(RuntimeOpenWindows(), ElementsAre(&first, &second));
  for (Window* window : {&first, &second}) {
    EXPECT_EQ(window->NativeWindow()->windowTitle().toStdString(), "Concordance for twice.txt");
    EXPECT_EQ(StatusText(*window), "5 unique words, 7 words in file, 2 lines in file");
    EXPECT_THAT(ShownRows(*window), ElementsAre("1 and", "1 hat", "1 a", "2 the", "2 cat"));
  }
  EXPECT_NE(TheWords(first).NativeView(), TheWords(second).NativeView());
}

// Pressed as a user would, with a results window and then an About window active; the chord
// runs the enabling pass itself, so File > Open starts off disabled.
TEST_F(FileOpen, CtrlOInAnActiveWindowShowsTheOpenDialog) {
  for (Window* window : {static_cast<Window*>(&RuntimeNewWindow<WordCountWindow>()),
                         static_cast<Window*>(&RuntimeNewWindow<AboutWIndow>())}) {
    Activate(*window);
    Item("FileOpen").Disable();
    std::optional<QFileDialog::AcceptMode> shown;
    ModalDriver()
        .Then([&](QWidget* modal) {
          auto* dialog = qobject_cast<QFileDialog*>(modal);
          ASSERT_NE(dialog, nullptr) << "Expected a file dialog";
          shown = dialog->acceptMode();
          dialog->reject();
        })
        .Run([&] {
          QWidget* focused = QApplication::focusWidget();
          QTest::keyClick(focused != nullptr ? focused : window->NativeWindow(), Qt::Key_O, Qt::ControlModifier);
        });
    EXPECT_EQ(shown, QFileDialog::AcceptOpen);
  }
}

// A large file of repeated words is counted on worker threads, which are held back for a
// moment: while the caller's thread waits for them, the busy cursor is up and other windows
// repaint.
TEST_F(FileOpen, WhileTheCountWaitsForItsWorkersTheBusyCursorIsUpAndWindowsRepaint) {
  if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "files are counted on threads only with two processors";
  std::string text;
  for (int line = 0; line < 400000; ++line) text += "the cat sat on the mat\n";  // 9 MB
  const auto file = folder.Write("large.txt", text);
  AboutWIndow& about = RuntimeNewWindow<AboutWIndow>();
  hold.callerThread = std::this_thread::get_id();
  hold.holdFor = std::chrono::milliseconds(300);
  LongCommandWatch watch(ControlNamed<StaticText>(about, "StaticText1").NativeLabel(), [] { return hold.waiting > 0; });

  Window& window = OpenThroughDialog(file);
  EXPECT_TRUE(hold.until.has_value()) << "no worker counted a chunk";
  EXPECT_TRUE(watch.SawBusyCursor());
  EXPECT_TRUE(watch.SawRepaint());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(StatusText(window), "5 unique words, 2400000 words in file, 400000 lines in file");
}

}  // namespace
