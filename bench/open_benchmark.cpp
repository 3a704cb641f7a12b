// Times the program itself, headless: File > Open of one file from the moment the path is
// accepted in the open dialog to the filled results window, then on that window sorting by
// each column (a second click sorts descending), Edit > Copy and both exports (each from
// the accepted save dialog to the end of the command). Prints after every step the
// whole-program peak resident memory, the peak during the step, and the resident memory
// now; and times on the same file, in the same run:
//   wc -w FILE
//   LC_ALL=C sort WORDS   (WORDS: the file's distinct lower-case words, one a line, in the
//                          order they first occur: what sorting by Word orders)
//   LC_ALL=C tr -cs A-Za-z '\n' < FILE | tr A-Z a-z | sort | uniq -c | sort -n
// Usage: open_benchmark FILE [RUNS] [--no-peers]   (the tools and the two exports: best of
// RUNS, default 3; File > Open and the other commands run once, so that the memory is that of
// one window; --no-peers times the program alone, for comparing two builds of it run by turns)
// The exports and the word list go to a folder of this run's own, removed at the end.
// To measure each step's peak, the kernel's peak mark is reset before the step: a tool outside
// (time -v) then sees only the last step's peak, not the whole run's, which this prints.
//
// The dialogs are answered the way the GUI tests answer them: a timer polls for the modal
// dialog, types the path into its name field and accepts it.

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QTableView>
#include <QTimer>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/startup.h"
#include "bench/peer_tools.h"
#include "concordance_window/word_count_window.h"
#include "framework/controls.h"
#include "framework/menu_item.h"
#include "framework/runtime.h"
#include "framework/window.h"

namespace {

using namespace bench;

// A line of /proc/self/status in megabytes (0 where there is none).
double StatusMegabytes(const char* format) {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  char line[256];
  double kilobytes = 0;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::sscanf(line, format, &kilobytes) == 1) break;
  }
  std::fclose(status);
  return kilobytes / 1024.0;
}

// The resident memory now.
double CurrentMegabytes() { return StatusMegabytes("VmRSS: %lf"); }

double highestPeak = 0;  // over the whole run, however often the step peak was reset

// The peak resident memory since the last ResetStepPeak (Linux keeps it per process and
// lets it be reset; where it cannot be, this is the whole run's peak).
double StepPeakMegabytes() {
  const double peak = StatusMegabytes("VmHWM: %lf");
  highestPeak = std::max(highestPeak, peak);
  return peak;
}
void ResetStepPeak() {
  StepPeakMegabytes();
  if (std::FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", clear);
    std::fclose(clear);
  }
}

MenuItem& Item(std::string_view name) {
  MenuItem* item = _GetAppObject()->GetMenuBar()->_Lookup(name);
  if (item == nullptr) throw BenchmarkFailure("no menu item " + std::string(name));
  return *item;
}

// Chooses the menu item; the file dialog that it shows is given `path`. Returns the seconds
// from the dialog's acceptance to the end of the command.
double ChooseWithFile(std::string_view itemName, const std::filesystem::path& path) {
  std::optional<Clock::time_point> accepted;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (accepted) return;
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path.string()));
    accepted = Clock::now();
    static_cast<QDialog*>(dialog)->accept();
  });
  poll.start(2);
  if (!ChooseMenuItem(Item(itemName)) || !accepted) {
    throw BenchmarkFailure(std::string(itemName) + " did not run with " + path.string());
  }
  poll.stop();
  return SecondsSince(*accepted);
}

// Lets the view catch up with the rows it was told about, as the event loop would.
void ProcessPendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void MakeActive(Window& window) {
  window.NativeWindow()->activateWindow();
  QApplication::setActiveWindow(window.NativeWindow());
  ProcessPendingEvents();
}

double Time(const std::function<void()>& step) {
  const auto start = Clock::now();
  step();
  return SecondsSince(start);
}

double residentBefore = 0;  // at the start of the step being measured

void StartStep() {
  ProcessPendingEvents();
  residentBefore = CurrentMegabytes();
  ResetStepPeak();
}

void Report(const char* step, double seconds) {
  const double stepPeak = StepPeakMegabytes();
  std::printf("%-28s %8.3f s   peak RSS %7.1f MB   during step %7.1f MB (+%6.1f)   now %7.1f MB\n", step,
              seconds, highestPeak, stepPeak, stepPeak - residentBefore, CurrentMegabytes());
  std::fflush(stdout);
}

// The file's distinct lower-case words, one a line, in the order they first occur.
std::filesystem::path WriteDistinctWords(const std::string& quotedFile, const std::filesystem::path& folder) {
  const std::filesystem::path words = folder / "distinct-words.txt";
  const std::string command = "LC_ALL=C tr -cs A-Za-z '\\n' < " + quotedFile + " | LC_ALL=C tr A-Z a-z | awk 'NF && !seen[$0]++' > " +
                              ShellQuoted(words.string());
  if (std::system(command.c_str()) != 0) throw BenchmarkFailure("could not list the words of " + quotedFile);
  return words;
}

// A new folder under the system's temporary folder, removed with all it holds when this ends,
// so that runs side by side keep to their own files.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "concordance-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw BenchmarkFailure("could not make a folder like " + pattern);
    path = pattern;
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::filesystem::path& Path() const { return path; }

 private:
  std::filesystem::path path;
};

enum class Peers { kTimed, kSkipped };

struct PeerTimes {
  double wc = 0, pipeline = 0, sortWords = 0;
};

// The tools first: their best run then stands on a file already in the page cache, as the
// program's single run does.
PeerTimes TimePeers(const std::filesystem::path& file, const std::filesystem::path& outputFolder, int runs) {
  const std::string quoted = ShellQuoted(file.string());
  PeerTimes times;
  times.wc = TimeWordCount(quoted, runs);
  times.pipeline = TimeToolConcordance(quoted, runs);
  const std::filesystem::path words = WriteDistinctWords(quoted, outputFolder);
  times.sortWords = TimeCommand("LC_ALL=C sort " + ShellQuoted(words.string()) + " > /dev/null", runs);
  std::filesystem::remove(words);
  return times;
}

void Run(const std::filesystem::path& file, int runs, Peers peers) {
  const TemporaryFolder temporary;
  const std::filesystem::path& outputFolder = temporary.Path();
  const PeerTimes peerTimes = peers == Peers::kTimed ? TimePeers(file, outputFolder, runs) : PeerTimes{};

  std::printf("file: %s\n", file.c_str());
  StartStep();
  Report("started", 0);
  // File > Open once, so that the peak memory is that of one window.
  StartStep();
  const double opened = ChooseWithFile("FileOpen", file);
  const double residentBeforeView = CurrentMegabytes();
  Window* window = RuntimeOpenWindows().back();
  // The window is filled once its view shows every row.
  const double shown = Time([&] {
    const Listbox& rows = ControlNamed<Listbox>(*window, "theWords");
    do ProcessPendingEvents();
    while (rows.NativeView()->model()->rowCount() < rows.ListCount());
  });
  const double open = opened + shown;
  Listbox& list = ControlNamed<Listbox>(*window, "theWords");
  std::printf("result: %s, %d rows shown\n", ControlNamed<StaticText>(*window, "Status").Text().ToUtf8().c_str(),
              list.NativeView()->model()->rowCount());
  Report("File > Open", open);
  std::printf("  of which the view's rows     %7.1f MB\n", CurrentMegabytes() - residentBeforeView);

  QHeaderView* header = list.NativeView()->horizontalHeader();
  const auto clickHeading = [&](int column) {
    StartStep();
    return Time([&] {
      emit header->sectionClicked(column);
      ProcessPendingEvents();
    });
  };
  // The first sort by Word is timed from the rows as File > Open left them.
  Report("sort by Word (first)", clickHeading(1));
  Report("sort by Word, descending", clickHeading(1));
  Report("sort by Count (from Word)", clickHeading(0));
  Report("sort by Count, descending", clickHeading(0));
  Report("sort by Word (from Count)", clickHeading(1));

  MakeActive(*window);
  StartStep();
  Report("Edit > Copy", Time([] { ChooseMenuItem(Item("EditCopy")); }));

  // Each export: the best of `runs`, every run writing a new file.
  const auto timeExport = [&](std::string_view itemName, const std::filesystem::path& path) {
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
      std::filesystem::remove(path);
      MakeActive(*window);
      StartStep();
      best = std::min(best, ChooseWithFile(itemName, path));
    }
    return best;
  };
  Report("Save As CSV", timeExport("FileSaveAsCSV", outputFolder / "concordance csv.txt"));
  Report("Save As Text", timeExport("FileSaveAsText", outputFolder / "concordance.txt"));

  if (peers == Peers::kTimed) {
    std::printf("wc -w                        %8.3f s   open/wc       = %.2f\n", peerTimes.wc, open / peerTimes.wc);
    std::printf("tr|tr|sort|uniq|sort         %8.3f s   open/pipeline = %.2f\n", peerTimes.pipeline,
                open / peerTimes.pipeline);
    std::printf("LC_ALL=C sort (the words)    %8.3f s\n", peerTimes.sortWords);
  }
  std::printf("peak RSS of the whole run    %8.1f MB   (the peak mark was reset before each step: time -v\n"
              "                                          and the like see only the last step's peak)\n",
              highestPeak);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = RunsArgument(argc, argv, "FILE [RUNS] [--no-peers]");
  const Peers peers = argc > 3 && std::string_view(argv[3]) == "--no-peers" ? Peers::kSkipped : Peers::kTimed;
  const std::filesystem::path file = std::filesystem::absolute(argv[1]);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);

  int toolkitArgc = 1;
  char* toolkitArgv[] = {argv[0], nullptr};
  RuntimeInit(toolkitArgc, toolkitArgv, kRuntimeOptions);
  RegisterClasses();
  _RunFrameworkInitialization(&_Startup);

  // A failure is carried out here, so that the application goes down in order, as after a
  // run that worked, and the status is 1.
  int status = 0;
  try {
    Run(file, runs, peers);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
    status = 1;
  }
  ReleaseModuleObjects();
  const int runtimeStatus = RuntimeExit();
  return status != 0 ? status : runtimeStatus;
}
