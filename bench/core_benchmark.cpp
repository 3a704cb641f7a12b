// Times the GUI-free part of File > Open (open, count, close, order the rows) on one file, on
// one thread and on as many as the machine has, next to `wc -w` on the same file in the same
// run (and, with --pipeline, a whole concordance made by the standard tools:
//   LC_ALL=C tr -cs A-Za-z '\n' < FILE | tr A-Z a-z | sort | uniq -c | sort -n).
// Each measurement runs in a child process of its own, so that its peak resident memory is its
// own; each time is the best of RUNS (default 3).
// Usage: core_benchmark FILE [RUNS] [--pipeline]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/word_count.h"
#include "bench/peer_tools.h"
#include "counting/count_words.h"
#include "framework/exceptions.h"
#include "framework/folder_item.h"
#include "framework/row_sort.h"
#include "framework/text_input_stream.h"

namespace {

using namespace bench;

struct Measurement {
  double counting = 0;  // open, count, close
  double ordering = 0;  // the first order of the rows
  double peakMegabytes = 0;
  char totals[160] = {};
  bool failed = false;
};

Measurement MeasureOnce(const char* path, unsigned threads) {
  Measurement result;
  const auto start = Clock::now();
  auto stream = TextInputStream::Open(FolderItem(path));
  WordCounts counts = CountWords(*stream, CountOptions{.threads = threads});
  stream->Close();
  result.counting = SecondsSince(start);
  const auto orderStart = Clock::now();
  const std::vector<uint32_t> order = StableOrderByNumber(counts.occurrences, SortDirection::kAscending);
  result.ordering = SecondsSince(orderStart);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  result.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
  const std::string totals = TotalsLine(counts.UniqueWords(), counts.wordCount, counts.lineCount).ToUtf8();
  std::snprintf(result.totals, sizeof result.totals, "%s", totals.c_str());
  return result;
}

Measurement MeasureInChild(const char* path, unsigned threads) {
  int channel[2];
  if (pipe(channel) != 0) throw BenchmarkFailure("no pipe to a child");
  const pid_t child = fork();
  if (child < 0) throw BenchmarkFailure("no child process");
  if (child == 0) {
    Measurement result;
    try {
      result = MeasureOnce(path, threads);
    } catch (const RuntimeException& error) {
      std::fprintf(stderr, "%s\n", error.what());
      result.failed = true;
    }
    const ssize_t written = write(channel[1], &result, sizeof result);
    _exit(written == static_cast<ssize_t>(sizeof result) ? 0 : 1);
  }
  close(channel[1]);
  Measurement result;
  if (read(channel[0], &result, sizeof result) != static_cast<ssize_t>(sizeof result)) result.failed = true;
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (result.failed) throw BenchmarkFailure(std::string("counting failed: ") + path);
  return result;
}

Measurement Best(const char* path, unsigned threads, int runs) {
  Measurement best;
  best.counting = 1e300;
  for (int run = 0; run < runs; ++run) {
    const Measurement result = MeasureInChild(path, threads);
    if (result.counting < best.counting) best = result;
  }
  return best;
}

void Run(const char* path, int runs, bool withPipeline) {
  const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
  const std::string file = ShellQuoted(path);
  const double wc = TimeWordCount(file, runs);
  const Measurement one = Best(path, 1, runs);
  const Measurement many = Best(path, hardware, runs);

  std::printf("file:        %s\n", path);
  std::printf("result:      %s\n", one.totals);
  if (std::strcmp(one.totals, many.totals) != 0) std::printf("MISMATCH:    %s with threads\n", many.totals);
  std::printf("wc -w:       %.3f s\n", wc);
  std::printf("count, 1 thread:    %.3f s = %.2fx wc -w, peak RSS %.1f MB (with ordering)\n", one.counting,
              one.counting / wc, one.peakMegabytes);
  std::printf("count, %u threads:   %.3f s = %.2fx wc -w, peak RSS %.1f MB (with ordering)\n", hardware, many.counting,
              many.counting / wc, many.peakMegabytes);
  std::printf("first row order:    %.3f s\n", many.ordering);
  if (withPipeline) {
    const double pipeline = TimeToolConcordance(file, runs);
    std::printf("tr|sort|uniq:       %.3f s; count with threads + order = %.2fx of it\n", pipeline,
                (many.counting + many.ordering) / pipeline);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = RunsArgument(argc, argv, "FILE [RUNS] [--pipeline]");
  const bool withPipeline = argc > 3 && std::strcmp(argv[3], "--pipeline") == 0;
  try {
    Run(argv[1], runs, withPipeline);
  } catch (const BenchmarkFailure& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
    return 1;
  }
  return 0;
}
