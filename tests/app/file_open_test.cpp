// File > Open as a user meets it: the dialog, the filled results window, and what the user
// sees when the chosen file cannot be opened or fails while it is read.

#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QTableView>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "framework/controls.h"
#include "framework/yield.h"
#include "tests/support/gui_test.h"

// The test executable is linked with --wrap=read, so the framework's reads of the file come
// through here: a test can make one of them fail, as a failing disk would. Each read also
// lets the event loop in at the next chance and notes whether the busy cursor was up.
// (The linker fixes these two names.)
namespace {

struct ReadInjection {
  std::string path;     // the file whose reads are watched; empty: none
  int failingRead = 0;  // the n-th read of it fails with EIO; 0: none fails
  int readsSoFar = 0;
  bool sawBusyCursor = false;
};

ReadInjection injection;

bool ReadsInjectedFile(int descriptor) {
  if (injection.path.empty()) return false;
  char link[PATH_MAX];
  const std::string proc = "/proc/self/fd/" + std::to_string(descriptor);
  const ssize_t length = ::readlink(proc.c_str(), link, sizeof link);
  return length > 0 && std::string(link, static_cast<size_t>(length)) == injection.path;
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

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

// "count word" per row, for as many rows as the view lays out: a row announced to the view
// but missing from the list would show as a blank one.
std::vector<std::string> ShownRows(Window& window) {
  ProcessEvents();
  const QTableView* view = ControlNamed<Listbox>(window, "theWords").NativeView();
  std::vector<std::string> rows;
  for (int row = 0; row < view->verticalHeader()->count(); ++row) {
    rows.push_back(view->model()->index(row, 0).data().toString().toStdString() + " " +
                   view->model()->index(row, 1).data().toString().toStdString());
  }
  return rows;
}

std::string StatusText(Window& window) {
  return ControlNamed<StaticText>(window, "Status").NativeLabel()->text().toStdString();
}

std::vector<std::string> Messages(const ModalDriver& driver) {
  std::vector<std::string> texts;
  for (const QString& text : driver.MessageTexts()) texts.push_back(text.toStdString());
  return texts;
}

class FileOpen : public StartedProgram {
 protected:
  void TearDown() override {
    injection = ReadInjection();
    StartedProgram::TearDown();
  }

  TemporaryFolder folder;
};

struct OpenCase {
  const char* name;
  std::string text;
  const char* status;
  std::vector<std::string> rows;  // ascending by count; equal counts by word
};

void PrintTo(const OpenCase& c, std::ostream* out) { *out << c.name; }

class FileOpenShows : public FileOpen, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(FileOpenShows, TotalsAndOneRowPerWordAscendingByCount) {
  Window& window = OpenThroughDialog(folder.Write("example.txt", GetParam().text));
  EXPECT_EQ(window.NativeWindow()->windowTitle().toStdString(), "Concordance for example.txt");
  EXPECT_EQ(StatusText(window), GetParam().status);
  const std::vector<std::string> shown = ShownRows(window);
  const auto count = [](const std::string& row) { return std::stoi(row); };
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end(), [&](auto& a, auto& b) { return count(a) < count(b); }));
  // Equal counts may stand in any order before the first sort.
  std::vector<std::string> rows = shown;
  std::sort(rows.begin(), rows.end(),
            [&](auto& a, auto& b) { return std::pair(count(a), a) < std::pair(count(b), b); });
  EXPECT_EQ(rows, GetParam().rows);
  EXPECT_FALSE(ControlNamed<Listbox>(window, "theWords").NativeView()->horizontalHeader()->isSortIndicatorShown());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FileOpenShows,
    ::testing::Values(
        OpenCase{"WorkedExample", "The cat and the hat.\nA cat!\n", "5 unique words, 7 words in file, 2 lines in file",
                 {"1 a", "1 and", "1 hat", "2 cat", "2 the"}},
        OpenCase{"CaseVariantsMakeOneRow", "The the\nTHE", "1 unique words, 3 words in file, 2 lines in file",
                 {"3 the"}},
        OpenCase{"NoWords", "\n12 34\n--!\n", "0 unique words, 0 words in file, 3 lines in file", {}},
        // Ł (U+0141) ends a word although its low byte is an A; long upper-case words with Z.
        OpenCase{"LettersOutsideAscii", "\xC5\x81" "a\xC5\x81" "b ZIGZAGGED\nAMAZINGLY zigzagged",
                 "4 unique words, 5 words in file, 2 lines in file", {"1 a", "1 amazingly", "1 b", "2 zigzagged"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Cancelling says nothing; anything that is not a regular file is refused at once, with
// nothing waiting for a writer.
TEST_F(FileOpen, CancelOrAFifoOpensNoWindow) {
  const std::filesystem::path path = folder.Path() / "fifo";
  ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
  ModalDriver driver;
  driver.Then(ModalDriver::Cancel()).Then(ModalDriver::ChooseFile(path)).Then(driver.AcceptMessage()).Run([] {
    EXPECT_TRUE(ChooseMenuItem(Item("FileOpen")));
    EXPECT_TRUE(ChooseMenuItem(Item("FileOpen")));
  });
  EXPECT_THAT(Messages(driver), ElementsAre("Could not open the file " + path.string()));
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
  injection = ReadInjection{file.string()};
  Window& window = OpenThroughDialog(file);
  EXPECT_EQ(StatusText(window), "400000 unique words, 400000 words in file, 33334 lines in file");
  EXPECT_TRUE(injection.sawBusyCursor);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
