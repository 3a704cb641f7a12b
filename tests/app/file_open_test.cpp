// File > Open as a user meets it: the dialog, the filled results window, and what the user
// sees when the chosen file cannot be opened or fails while it is read.

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QCursor>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "concordance_window/word_count_window.h"
#include "framework/controls.h"
#include "framework/exceptions.h"
#include "framework/folder_item.h"
#include "framework/text_input_stream.h"
#include "tests/support/gui_test.h"

// The test executable is linked with --wrap=read, so the framework's reads of the file come
// through here: a test can make one of them fail, as a failing disk would, or make them slow.
// (The linker fixes these two names.)
namespace {

struct ReadInjection {
  std::string path;      // the file whose reads are touched; empty: none
  int failingRead = 0;   // the n-th read of it fails with EIO; 0: none fails
  int readsSoFar = 0;
  int slowReads = 0;     // the first n reads of it each take `delay` longer
  std::chrono::milliseconds delay{0};
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
    ++injection.readsSoFar;
    if (injection.readsSoFar <= injection.slowReads) std::this_thread::sleep_for(injection.delay);
    if (injection.readsSoFar == injection.failingRead) {
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
using ::testing::UnorderedElementsAre;

struct Row {
  std::string count;
  std::string word;
  bool operator==(const Row&) const = default;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.count << " " << row.word; }

// The rows as the list's view shows them.
std::vector<Row> ShownRows(Window& window) {
  ProcessEvents();
  const QAbstractItemModel* model = ControlNamed<Listbox>(window, "theWords").NativeView()->model();
  std::vector<Row> rows;
  for (int row = 0; row < model->rowCount(); ++row) {
    rows.push_back({model->index(row, 0).data().toString().toStdString(),
                    model->index(row, 1).data().toString().toStdString()});
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

std::string Title(Window& window) { return window.NativeWindow()->windowTitle().toStdString(); }


class FileOpen : public StartedProgram {
 protected:
  void TearDown() override {
    injection = ReadInjection();
    StartedProgram::TearDown();
  }

  TemporaryFolder folder;
};

TEST_F(FileOpen, WorkedExampleFillsANewWindow) {
  const auto file = folder.Write("example.txt", "The cat and the hat.\nA cat!\n");
  Window& window = OpenThroughDialog(file);

  EXPECT_EQ(Title(window), "Concordance for example.txt");
  EXPECT_EQ(StatusText(window), "5 unique words, 7 words in file, 2 lines in file");
  auto& list = ControlNamed<Listbox>(window, "theWords");
  EXPECT_EQ(list.Heading(0).ToUtf8(), "Count");
  EXPECT_EQ(list.Heading(1).ToUtf8(), "Word");

  const std::vector<Row> rows = ShownRows(window);
  ASSERT_EQ(rows.size(), 5u);
  // Equal counts may stand in any order; the counts ascend.
  EXPECT_THAT((std::vector<Row>{rows[0], rows[1], rows[2]}),
              UnorderedElementsAre(Row{"1", "and"}, Row{"1", "hat"}, Row{"1", "a"}));
  EXPECT_THAT((std::vector<Row>{rows[3], rows[4]}), UnorderedElementsAre(Row{"2", "the"}, Row{"2", "cat"}));
  for (int32_t row = 0; row < 5; ++row) {
    const Variant tag = list.CellTag(row, 0);
    EXPECT_EQ(tag.GetType(), Variant::Type::Int32);
    EXPECT_EQ(std::to_string(tag.ToInt32()), rows[static_cast<size_t>(row)].count);
  }
}

TEST_F(FileOpen, CaseVariantsOfAWordMakeOneRow) {
  Window& window = OpenThroughDialog(folder.Write("case.txt", "The the\nTHE"));
  EXPECT_EQ(StatusText(window), "1 unique words, 3 words in file, 2 lines in file");
  EXPECT_THAT(ShownRows(window), ElementsAre(Row{"3", "the"}));
  EXPECT_EQ(ControlNamed<Listbox>(window, "theWords").CellTag(0, 0).ToInt32(), 3);
}

TEST_F(FileOpen, RowsStartAscendingByCountWithoutASortIndicator) {
  Window& window = OpenThroughDialog(folder.Write("counts.txt", "three two three one two three"));
  EXPECT_THAT(ShownRows(window), ElementsAre(Row{"1", "one"}, Row{"2", "two"}, Row{"3", "three"}));
  EXPECT_FALSE(ControlNamed<Listbox>(window, "theWords").NativeView()->horizontalHeader()->isSortIndicatorShown());
}

TEST_F(FileOpen, FileWithoutWordsGivesAnEmptyList) {
  Window& window = OpenThroughDialog(folder.Write("blank.txt", "\n12 34\n--!\n"));
  EXPECT_EQ(StatusText(window), "0 unique words, 0 words in file, 3 lines in file");
  EXPECT_THAT(ShownRows(window), IsEmpty());
}

TEST_F(FileOpen, CancelOpensNothingAndSaysNothing) {
  ModalDriver driver;
  driver.Then(ModalDriver::Cancel()).Run([] { EXPECT_TRUE(ChooseMenuItem(Item("FileOpen"))); });
  EXPECT_THAT(RuntimeOpenWindows(), IsEmpty());
  EXPECT_THAT(Messages(driver), IsEmpty());
}

TEST_F(FileOpen, TwoOpensOfOneFileGiveTwoWindows) {
  const auto file = folder.Write("twice.txt", "b a b");
  Window& first = OpenThroughDialog(file);
  Window& second = OpenThroughDialog(file);
  EXPECT_NE(&first, &second);
  EXPECT_EQ(RuntimeOpenWindows().size(), 2u);
  EXPECT_EQ(ShownRows(first), ShownRows(second));
  EXPECT_EQ(Title(second), "Concordance for twice.txt");
}

TEST_F(FileOpen, CtrlOInAResultsWindowOpensAnother) {
  const auto file = folder.Write("keys.txt", "word");
  Window& first = OpenThroughDialog(file);
  Activate(first);
  ModalDriver()
      .Then(ModalDriver::ChooseFile(file))
      .Run([&] {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused != nullptr ? focused : first.NativeWindow(), Qt::Key_O, Qt::ControlModifier);
      });
  EXPECT_EQ(RuntimeOpenWindows().size(), 2u);
}

// Anything that is not a regular file is refused at once: nothing waits for a writer or a
// device, and the message names the full path.
enum class Special { Fifo, Socket, Device };

class FileOpenRefuses : public FileOpen, public ::testing::WithParamInterface<Special> {
 protected:
  std::filesystem::path MakeSpecialFile() {
    const std::filesystem::path path = folder.Path() / "special";
    switch (GetParam()) {
      case Special::Fifo:
        if (::mkfifo(path.c_str(), 0644) != 0) throw std::runtime_error("mkfifo failed");
        return path;
      case Special::Socket: {
        socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
          throw std::runtime_error("bind failed");
        return path;
      }
      case Special::Device:
        return "/dev/zero";
    }
    return {};
  }
  void TearDown() override {
    if (socket_ >= 0) ::close(socket_);
    FileOpen::TearDown();
  }
  int socket_ = -1;
};

TEST_P(FileOpenRefuses, WithTheMessageAndNoWindow) {
  const std::filesystem::path path = MakeSpecialFile();
  ModalDriver driver;
  driver.Then(ModalDriver::ChooseFile(path)).Then(driver.AcceptMessage()).Run([] {
    EXPECT_TRUE(ChooseMenuItem(Item("FileOpen")));
  });
  EXPECT_THAT(Messages(driver), ElementsAre("Could not open the file " + path.string()));
  EXPECT_THAT(RuntimeOpenWindows(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(NotRegularFiles, FileOpenRefuses,
                         ::testing::Values(Special::Fifo, Special::Socket, Special::Device));

// The open dialog never returns a folder (it goes into it), so a folder is refused by the
// stream itself.
TEST_F(FileOpen, StreamRefusesAFolder) {
  EXPECT_THROW(TextInputStream::Open(FolderItem(folder.Path())), IOException);
}

TEST_F(FileOpen, ReadErrorInTheMiddleShowsTheFrameworkMessageAndNoWindow) {
  // Several blocks of text; the second read fails.
  const auto file = folder.Write("failing.txt", DistinctWords(400000, 5));
  injection.path = file.string();
  injection.failingRead = 2;
  ModalDriver driver;
  driver.Then(ModalDriver::ChooseFile(file)).Then(driver.AcceptMessage()).Run([] {
    EXPECT_TRUE(ChooseMenuItem(Item("FileOpen")));
  });
  ASSERT_EQ(Messages(driver).size(), 1u);
  EXPECT_THAT(Messages(driver)[0], StartsWith("An unexpected error occurred: "));
  EXPECT_THAT(Messages(driver)[0], ::testing::HasSubstr(std::strerror(EIO)));
  EXPECT_GE(injection.readsSoFar, 2);
  EXPECT_THAT(RuntimeOpenWindows(), IsEmpty());

  // The program goes on: the same file opens once the disk behaves.
  injection = ReadInjection();
  Window& window = OpenThroughDialog(file);
  EXPECT_EQ(StatusText(window), "400000 unique words, 400000 words in file, 33334 lines in file");
}

// Records the override cursor's shape whenever events run during a command.
class CursorWatch {
 public:
  CursorWatch() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (const QCursor* cursor = QApplication::overrideCursor()) shapes_.push_back(cursor->shape());
    });
    timer_.start(1);
  }
  bool SawBusyCursor() const { return std::find(shapes_.begin(), shapes_.end(), Qt::WaitCursor) != shapes_.end(); }

 private:
  QTimer timer_;
  std::vector<Qt::CursorShape> shapes_;
};

TEST_F(FileOpen, LongReadShowsTheBusyCursorAndRestoresItAfterwards) {
  const auto file = folder.Write("slow.txt", DistinctWords(300000, 5));
  injection.path = file.string();
  injection.slowReads = 1;
  injection.delay = std::chrono::milliseconds(60);
  CursorWatch watch;
  OpenThroughDialog(file);
  EXPECT_TRUE(watch.SawBusyCursor());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FileOpen, BusyCursorIsGoneWhenTheReadErrorIsReported) {
  const auto file = folder.Write("slow-failing.txt", DistinctWords(300000, 5));
  injection.path = file.string();
  injection.slowReads = 1;
  injection.delay = std::chrono::milliseconds(60);
  injection.failingRead = 2;
  CursorWatch watch;
  const QCursor* cursorDuringMessage = nullptr;
  bool messageShown = false;
  ModalDriver driver;
  driver.Then(ModalDriver::ChooseFile(file))
      .Then([&](QWidget* modal) {
        messageShown = true;
        cursorDuringMessage = QApplication::overrideCursor();
        if (cursorDuringMessage != nullptr) {
          EXPECT_NE(cursorDuringMessage->shape(), Qt::WaitCursor);
        }
        driver.AcceptMessage()(modal);
      })
      .Run([] { ChooseMenuItem(Item("FileOpen")); });
  EXPECT_TRUE(messageShown);
  EXPECT_TRUE(watch.SawBusyCursor());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
