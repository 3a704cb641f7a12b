// The results window's commands as a user meets them: sorting, Close, Copy, and both
// exports through the real save dialog, failures included.

#include <gmock/gmock.h>

#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <optional>
#include <set>
#include <sstream>

#include "about_window/about_window.h"
#include "concordance_window/word_count_window.h"
#include "framework/text_output_stream.h"
#include "tests/concordance_window/results_view.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

// A real click in the middle of a column's heading.
void ClickHeading(Window& window, int column) {
  QHeaderView* header = TheWords(window).NativeView()->horizontalHeader();
  const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, middle);
  ProcessEvents();
}

std::string ClipboardBytes() { return QGuiApplication::clipboard()->text().toUtf8().toStdString(); }

// Megabytes of rows: DistinctWords(kManyWords, 6), each word once, as sorted by word.
constexpr int kManyWords = 400000;
std::string ManyRows(std::string_view separator, std::string_view rowEnd) {
  std::istringstream words(DistinctWords(kManyWords, 6));
  std::string rows;
  for (std::string word; words >> word;) rows.append(word).append(separator).append("1").append(rowEnd);
  return rows;
}

class ResultsWindow : public StartedProgram {
 protected:
  void TearDown() override {
    TextOutputStream::FailWriteForTesting(0);
    TextOutputStream::FailRenameForTesting(0);
    StartedProgram::TearDown();
  }

  // Opens a file of that text through File > Open and activates its window.
  Window& OpenText(const std::string& text, const std::string& name = "words.txt") {
    Window& window = OpenThroughDialog(folder.Write(name, text));
    Activate(window);
    lastOpened_ = &window;
    return window;
  }

  std::set<std::string> FolderContents() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) names.insert(entry.path().filename());
    return names;
  }

  TempFolder folder;
  Window* lastOpened_ = nullptr;
};

// Counts sort as numbers (10 after 2), ties keep the previous order, and the heading shows
// it. Stability on long lists is the list's own test.
using Sorting = ResultsWindow;

TEST_F(Sorting, HeadingClicksSortCountsAsNumbersAndKeepTiesInThePreviousOrder) {
  Window& window = OpenText("b b b b b b b b b b a c a c d");
  const QHeaderView* header = TheWords(window).NativeView()->horizontalHeader();
  const struct {
    std::vector<int> clicks;
    std::vector<std::string> rows;
    Qt::SortOrder order;
  } steps[] = {{{1, 0}, {"1 d", "2 a", "2 c", "10 b"}, Qt::AscendingOrder},
               {{0}, {"10 b", "2 a", "2 c", "1 d"}, Qt::DescendingOrder},
               {{1, 1, 0}, {"1 d", "2 c", "2 a", "10 b"}, Qt::AscendingOrder}};
  for (const auto& step : steps) {
    for (int column : step.clicks) ClickHeading(window, column);
    EXPECT_EQ(ShownRows(window), step.rows);
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), 0);
    EXPECT_EQ(header->sortIndicatorOrder(), step.order);
  }
}

// The handler reads the list that it is handed, here another window's: counts give their
// exact difference (9 before 12, whose texts sort the other way), words StrComp in mode 1,
// whatever their case; any other column is left to the list, with the result untouched.
TEST_F(Sorting, CompareRowsAnswersForCountsAndWordsOnly) {
  auto& window = RuntimeNewWindow<WordCountWindow>();
  Listbox& list = TheWords(RuntimeNewWindow<WordCountWindow>());
  TextColumn words;
  for (const char* word : {"Nine", "twelve", "alpha"}) words.Append(word);
  list.AddCountedRows({9, 12, 9}, std::move(words), {0, 1, 2});
  constexpr int32_t kUntouched = 12345;
  const auto compare = [&](int32_t row1, int32_t row2, int32_t column) -> std::optional<int32_t> {
    int32_t result = kUntouched;
    if (window.theWords_CompareRows(list, row1, row2, column, result)) return result;
    EXPECT_EQ(result, kUntouched) << "column " << column;
    return std::nullopt;
  };
  EXPECT_EQ(compare(0, 1, 0), -3);
  EXPECT_EQ(compare(1, 0, 0), 3);
  EXPECT_EQ(compare(0, 2, 0), 0);
  EXPECT_EQ(compare(0, 2, 1), 1);  // "Nine" after "alpha", though 'N' comes before 'a'
  EXPECT_EQ(compare(2, 0, 1), -1);
  EXPECT_EQ(compare(1, 1, 1), 0);
  for (const int32_t column : {2, -1}) EXPECT_EQ(compare(0, 1, column), std::nullopt);
}

// Sorting hundreds of thousands of rows takes a moment: meanwhile the busy cursor is up and
// the window still repaints. By count (every count 1 here) and by word.
class LongSort : public ResultsWindow, public ::testing::WithParamInterface<int> {};

TEST_P(LongSort, ShowsTheBusyCursorAndKeepsWindowsPainting) {
  Window& window = OpenText(DistinctWords(kManyWords, 6));
  ProcessEvents();
  LongCommandWatch watch(ControlNamed<StaticText>(window, "Status").NativeLabel());
  ClickHeading(window, GetParam());
  EXPECT_TRUE(watch.SawBusyCursor());
  EXPECT_TRUE(watch.SawRepaint());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(TheWords(window).SortedColumn(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Columns, LongSort, ::testing::Values(0, 1),
                         [](const auto& info) { return std::string(info.param == 0 ? "Count" : "Word"); });

using Close = ResultsWindow;

// A key goes to the focused widget, as a real key press would; the chord runs the enabling
// pass itself, so File > Close starts off disabled.
void PressCtrlW(Window& window) {
  Activate(window);
  Item("FileClose").Disable();
  QWidget* focused = QApplication::focusWidget();
  QTest::keyClick(focused != nullptr ? focused : window.NativeWindow(), Qt::Key_W, Qt::ControlModifier);
  ProcessEvents();
}

TEST_F(Close, CtrlWClosesOnlyTheActiveResultsOrAboutWindow) {
  Window& first = OpenText("the the the the the", "first.txt");
  Window& second = OpenText("other", "second.txt");
  Window& about = RuntimeNewWindow<AboutWIndow>();
  PressCtrlW(about);
  EXPECT_THAT(RuntimeOpenWindows(), ElementsAre(&first, &second));
  PressCtrlW(second);
  EXPECT_THAT(RuntimeOpenWindows(), ElementsAre(&first));

  // The window left keeps its commands.
  Activate(first);
  EXPECT_TRUE(ChooseMenuItem(Item("EditCopy")));
  EXPECT_EQ(ClipboardBytes(), "the, 5\r");
}

using Copy = ResultsWindow;

// Ctrl+C with the list focused is the menu's command, not the view's copy of the current
// cell: every row in the shown order (after a sort too, below), a row selected or not. The
// chord runs the enabling pass itself: the item starts off disabled.
TEST_F(Copy, EveryRowInTheShownOrderEndedByACarriageReturnKeepingTheSelection) {
  QTableView* view = TheWords(OpenText("c b C a c B")).NativeView();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                    view->visualRect(view->model()->index(1, 1)).center());
  ASSERT_EQ(view->selectionModel()->selectedRows().size(), 1);
  view->setFocus();
  Item("EditCopy").Disable();
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(ClipboardBytes(), "a, 1\rb, 2\rc, 3\r");
  EXPECT_EQ(view->selectionModel()->selectedRows().front().row(), 1);
}

// A click on the menu runs the enabling pass; an empty list copies as nothing.
TEST_F(Copy, OpeningTheMenuEnablesCopyAndAnEmptyListEmptiesTheClipboard) {
  QGuiApplication::clipboard()->setText("earlier");
  Window& window = OpenText("");
  Item("EditCopy").Disable();
  QMenuBar* bar = window.NativeWindow()->menuBar();
  QMenu* menu = Item("EditMenu").NativeMenu();
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(menu->menuAction()).center());
  ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 2000));
  menu->close();
  EXPECT_TRUE(Item("EditCopy").Enabled());
  Activate(window);  // a closed popup leaves no window active here
  EXPECT_TRUE(ChooseMenuItem(Item("EditCopy")));
  EXPECT_EQ(ClipboardBytes(), "");
}

// Other programs ask for plain text under either name, and get the same bytes under both.
TEST_F(Copy, RowsAreOfferedAsPlainTextAndAsUtf8Text) {
  OpenText("b a b");
  ASSERT_TRUE(ChooseMenuItem(Item("EditCopy")));
  const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(offered, nullptr);
  EXPECT_THAT(offered->formats(), ::testing::IsSupersetOf({QString("text/plain"), QString("text/plain;charset=utf-8")}));
  for (const char* format : {"text/plain", "text/plain;charset=utf-8"}) {
    EXPECT_EQ(offered->data(format).toStdString(), "a, 1\rb, 2\r") << format;
  }
}

TEST_F(Copy, MegabytesOfRowsArriveWholeUnderTheBusyCursor) {
  ClickHeading(OpenText(DistinctWords(kManyWords, 6)), 1);
  Activate(*lastOpened_);
  LongCommandWatch busy;
  EXPECT_TRUE(ChooseMenuItem(Item("EditCopy")));
  EXPECT_TRUE(busy.SawBusyCursor());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(ClipboardBytes() == ManyRows(", ", "\r")) << "the copied rows differ";
}

struct ExportFormat {
  const char* item;
  const char* defaultName;
  bool withHeading;
  const char* ascending;   // the rows of "c b c a c b" as first shown
  const char* descending;  // the same by word, descending
};

void PrintTo(const ExportFormat& format, std::ostream* out) { *out << format.item; }

class Export : public ResultsWindow, public ::testing::WithParamInterface<ExportFormat> {
 protected:
  // The text export starts with a heading naming the file it was saved to.
  std::string Heading(const std::filesystem::path& path) {
    return GetParam().withHeading ? "Concordance for " + path.string() + "\n\n" : "";
  }

  // Chooses the command and saves to `path`; the messages shown on the way.
  std::vector<std::string> SaveTo(const std::filesystem::path& path, int expectedMessages = 0,
                                  QMessageBox::StandardButton answer = QMessageBox::Yes) {
    ModalDriver driver;
    driver.Then([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(dialog, nullptr) << "Expected a file dialog";
      proposedName_ = dialog->findChild<QLineEdit*>("fileNameEdit")->text().toStdString();
      filters_ = dialog->nameFilters();
      ModalDriver::ChooseFile(path, answer, &questions_)(modal);
    });
    for (int i = 0; i < expectedMessages; ++i) driver.Then(driver.AcceptMessage());
    // Headless, a closed dialog activates no window; a user's window is active again.
    Activate(*lastOpened_);
    driver.Run([&] { EXPECT_TRUE(ChooseMenuItem(Item(GetParam().item))); });
    return Messages(driver);
  }

  // What the save dialogs showed.
  std::string proposedName_;
  QStringList filters_;
  std::vector<std::string> questions_;
};

TEST_P(Export, RowsInTheShownOrderToTheNameGivenReplacingAFileOnlyWhenTheUserAgrees) {
  Window& window = OpenText("c b c a c b");
  const auto target = folder.Path() / "plain";  // no extension is added
  EXPECT_THAT(SaveTo(target), IsEmpty());
  EXPECT_EQ(proposedName_, GetParam().defaultName);
  ASSERT_EQ(filters_.size(), 2);
  EXPECT_TRUE(filters_[0].contains("*.txt"));
  EXPECT_EQ(filters_[1], "All files (*)");
  EXPECT_EQ(ReadBytes(target), Heading(target) + GetParam().ascending);

  ClickHeading(window, 1);
  ClickHeading(window, 1);
  SaveTo(target, 0, QMessageBox::No);
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_THAT(questions_[0], ::testing::HasSubstr("plain"));
  EXPECT_EQ(ReadBytes(target), Heading(target) + GetParam().ascending);
  SaveTo(target);
  EXPECT_EQ(questions_.size(), 2u);
  EXPECT_EQ(ReadBytes(target), Heading(target) + GetParam().descending);
  EXPECT_EQ(FolderContents(), (std::set<std::string>{"plain", "words.txt"}));
}

// Cancel says nothing; an empty list writes no rows (the text export still its heading).
TEST_P(Export, CancelWritesNothingAndAnEmptyListWritesNoRows) {
  OpenText("");
  ModalDriver driver;
  driver.Then(ModalDriver::Cancel()).Run([&] { EXPECT_TRUE(ChooseMenuItem(Item(GetParam().item))); });
  EXPECT_THAT(Messages(driver), IsEmpty());
  EXPECT_EQ(FolderContents(), std::set<std::string>{"words.txt"});
  const auto empty = folder.Path() / "empty.txt";
  EXPECT_THAT(SaveTo(empty), IsEmpty());
  EXPECT_EQ(ReadBytes(empty), Heading(empty));
}

// Where the user may not write, or a folder is missing or is a file.
TEST_P(Export, ReadOnlyFileOrFolderIsLeftUntouchedWithAMessage) {
  if (RanAsUnprivilegedUser()) return;
  OpenText("c b c a c b");
  const auto readOnly = folder.Write("read-only.txt", "earlier\n");
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  std::filesystem::create_directory(folder / "locked");
  ASSERT_EQ(chmod((folder / "locked").c_str(), 0555), 0);
  folder.Write("regular", "not a folder");
  for (const auto& target : {readOnly, folder / "locked" / "out.txt", folder / "missing" / "out.txt",
                             folder / "regular" / "out.txt"}) {
    EXPECT_THAT(SaveTo(target, 1), ElementsAre("Could not create output file " + target.string()));
  }
  EXPECT_EQ(ReadBytes(readOnly), "earlier\n");
  EXPECT_EQ(FolderContents(), (std::set<std::string>{"locked", "read-only.txt", "regular", "words.txt"}));
  EXPECT_TRUE(std::filesystem::is_empty(folder / "locked"));
}

TEST_P(Export, WriteFailureMidwayKeepsTheEarlierFile) {
  // About 2.5 MB of rows: the failing write is the second of three.
  OpenText(DistinctWords(250000, 5));
  const auto target = folder.Write("existing.txt", "earlier contents\n");
  const std::set<std::string> before = FolderContents();
  TextOutputStream::FailWriteForTesting(2);
  const std::vector<std::string> messages = SaveTo(target, 1);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_THAT(messages[0], StartsWith("An unexpected error occurred: "));
  EXPECT_THAT(messages[0], ::testing::HasSubstr(std::strerror(ENOSPC)));
  EXPECT_EQ(ReadBytes(target), "earlier contents\n");
  EXPECT_EQ(FolderContents(), before);

  // Once the disk has room again the same export goes through.
  EXPECT_THAT(SaveTo(folder.Path() / "retry.txt"), IsEmpty());
  EXPECT_GT(std::filesystem::file_size(folder.Path() / "retry.txt"), 2'000'000u);
}

// Every row is written and only the move of the finished file into place fails: the user is
// told, and the earlier file stays whole with no hidden temporary file beside it.
TEST_P(Export, FailedMoveIntoPlaceKeepsTheEarlierFileAndLeavesNoTemporary) {
  OpenText("c b c a c b");
  const auto target = folder.Write("existing.txt", "earlier contents\n");
  const std::set<std::string> before = FolderContents();
  TextOutputStream::FailRenameForTesting(EACCES);
  const std::vector<std::string> messages = SaveTo(target, 1);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_THAT(messages[0], StartsWith("An unexpected error occurred: "));
  EXPECT_THAT(messages[0], ::testing::HasSubstr(std::strerror(EACCES)));
  EXPECT_EQ(ReadBytes(target), "earlier contents\n");
  EXPECT_EQ(FolderContents(), before);
}

TEST_P(Export, MegabytesOfRowsArriveWholeUnderTheBusyCursor) {
  ClickHeading(OpenText(DistinctWords(kManyWords, 6)), 1);
  const auto target = folder.Path() / "rows.txt";
  LongCommandWatch busy;
  EXPECT_THAT(SaveTo(target), IsEmpty());
  EXPECT_TRUE(busy.SawBusyCursor());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(ReadBytes(target) == Heading(target) + ManyRows(GetParam().withHeading ? "\t" : ", ", "\r\n"))
      << "the saved rows differ";
}

INSTANTIATE_TEST_SUITE_P(Formats, Export,
                         ::testing::Values(ExportFormat{"FileSaveAsCSV", "concordance csv.txt", false,
                                                        "a, 1\r\nb, 2\r\nc, 3\r\n", "c, 3\r\nb, 2\r\na, 1\r\n"},
                                           ExportFormat{"FileSaveAsText", "concordance.txt", true,
                                                        "a\t1\r\nb\t2\r\nc\t3\r\n", "c\t3\r\nb\t2\r\na\t1\r\n"}),
                         [](const auto& info) { return std::string(info.param.withHeading ? "Text" : "Csv"); });

}  // namespace
