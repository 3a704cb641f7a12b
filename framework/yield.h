#pragma once
// The yield hook. Long loops call RuntimeBackgroundTask once per pass; it is cheap enough
// for a per-character loop and lets the event loop run about every 50 ms.

#include <cstdint>

// The hook looks at the clock once in this many passes (a power of two, so that the count is
// checked with a mask).
constexpr uint32_t kPassesPerClockCheck = 4096;

namespace background_task_detail {
inline uint32_t passCounter = 0;
void CheckClock();
}  // namespace background_task_detail

inline void RuntimeBackgroundTask() {
  if ((++background_task_detail::passCounter & (kPassesPerClockCheck - 1)) == 0) background_task_detail::CheckClock();
}

// The same as calling RuntimeBackgroundTask `passes` times, for loops that count their passes
// and report them in one go.
inline void RuntimeBackgroundTasks(uint32_t passes) {
  const uint32_t before = background_task_detail::passCounter;
  const uint32_t after = before + passes;
  background_task_detail::passCounter = after;
  if (before / kPassesPerClockCheck != after / kPassesPerClockCheck || passes >= kPassesPerClockCheck) background_task_detail::CheckClock();
}

// The event-loop layer installs its handler here; nullptr removes it.
void SetBackgroundTaskHandler(void (*handler)());
// For tests: the next check runs the handler however little time has passed.
void ExpireBackgroundTaskIntervalForTesting();
