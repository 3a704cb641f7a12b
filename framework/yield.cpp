#include "framework/yield.h"

#include <chrono>

namespace {
void (*installedHandler)() = nullptr;
std::chrono::steady_clock::time_point lastCall = std::chrono::steady_clock::now();
constexpr std::chrono::milliseconds kInterval{50};
}  // namespace

namespace background_task_detail {
void CheckClock() {
  const auto now = std::chrono::steady_clock::now();
  if (now - lastCall < kInterval) return;
  lastCall = now;
  if (installedHandler != nullptr) installedHandler();
}
}  // namespace background_task_detail

void SetBackgroundTaskHandler(void (*handler)()) {
  installedHandler = handler;
  lastCall = std::chrono::steady_clock::now();
}

void ExpireBackgroundTaskIntervalForTesting() { lastCall = std::chrono::steady_clock::time_point(); }
