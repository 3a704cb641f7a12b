// Times the GUI-free part of File > Open (open, count, close, order the rows) on one
// file and compares it with two command-line tools doing comparable work on the same file:
//   wc -w FILE
//   LC_ALL=C tr -cs A-Za-z '\n' < FILE | tr A-Z a-z | sort | uniq -c | sort -n
// Usage: core_benchmark FILE [RUNS] [--core-only]   (each time is the best of RUNS, default 3)

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/word_count.h"
#include "bench/peer_tools.h"
#include "framework/exceptions.h"
#include "framework/folder_item.h"
#include "framework/text_input_stream.h"

namespace {

using namespace bench;

struct CoreResult {
  double total = 0, counting = 0, filling = 0;
  std::string totals;
};

CoreResult RunCore(const char* path) {
  CoreResult result;
  const auto start = Clock::now();
  auto stream = TextInputStream::Open(FolderItem(path));
  WordCounts counts = CountWords(*stream);
  stream->Close();
  result.counting = SecondsSince(start);
  const auto fillStart = Clock::now();
  const std::vector<uint32_t> order = SortedOrder(counts);
  result.filling = SecondsSince(fillStart);
  result.total = SecondsSince(start);
  result.totals = TotalsLine(counts.UniqueWords(), counts.wordCount, counts.lineCount).ToUtf8();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [RUNS]\n", argv[0]);
    return 2;
  }
  const char* path = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  CoreResult best;
  best.total = 1e300;
  try {
    for (int run = 0; run < runs; ++run) {
      CoreResult result = RunCore(path);
      if (result.total < best.total) best = result;
    }
  } catch (const RuntimeException& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;

  if (argc > 3 && std::string(argv[3]) == "--core-only") {
    std::printf("%s\ncore: %.3f s (count %.3f s, order %.3f s), peak RSS %.1f MB\n", best.totals.c_str(),
                best.total, best.counting, best.filling, peakMegabytes);
    return 0;
  }
  const std::string file = ShellQuoted(path);
  const double wc = TimeWordCount(file, runs);
  const double pipeline = TimeToolConcordance(file, runs);

  std::printf("file:        %s\n", path);
  std::printf("result:      %s\n", best.totals.c_str());
  std::printf("core:        %.3f s (count %.3f s, order %.3f s), peak RSS %.1f MB\n", best.total, best.counting,
              best.filling, peakMegabytes);
  std::printf("wc -w:       %.3f s   core/wc = %.2f\n", wc, best.total / wc);
  std::printf("tr|sort|uniq %.3f s   core/pipeline = %.2f\n", pipeline, best.total / pipeline);
  return 0;
}
