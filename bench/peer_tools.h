#pragma once
// Timing helpers shared by the benchmarks: a clock, and the peer tools they are measured
// against on the same file in the same run.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace bench {

using Clock = std::chrono::steady_clock;

// A peer command that failed, or any other reason a run cannot go on. It is thrown rather than
// the process ended on the spot, so that the benchmark can take down what it built first.
class BenchmarkFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

inline std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// RUNS, the second argument (default 3); with no FILE argument, prints `usage` and exits.
inline int RunsArgument(int argc, char** argv, const char* usage) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s %s\n", argv[0], usage);
    std::exit(2);
  }
  return argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
}

inline double TimeCommand(const std::string& command, int runs) {
  double best = 1e300;
  for (int run = 0; run < runs; ++run) {
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    const double seconds = SecondsSince(start);
    if (status != 0) throw BenchmarkFailure("command failed (" + std::to_string(status) + "): " + command);
    best = std::min(best, seconds);
  }
  return best;
}

// The two peers: counting words, and a whole concordance made by the standard tools.
inline double TimeWordCount(const std::string& quotedFile, int runs) {
  return TimeCommand("wc -w " + quotedFile + " > /dev/null", runs);
}
inline double TimeToolConcordance(const std::string& quotedFile, int runs) {
  return TimeCommand("LC_ALL=C tr -cs A-Za-z '\\n' < " + quotedFile + " | tr A-Z a-z | sort | uniq -c | sort -n > /dev/null",
                     runs);
}

}  // namespace bench
