#include "gui/desktop/StartupProbe.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace pt4 {

bool StartupProbeOn() {
  static const bool on = std::getenv("PT4_STARTUP_PROBE") != nullptr;
  return on;
}

// The system's monotonic clock (CLOCK_MONOTONIC on Linux), which the benchmark
// reads too.
long long StartupClockNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void StartupMark(const char* stage) {
  if (!StartupProbeOn()) return;
  std::printf("stage_monotonic_ns=%s:%lld\n", stage, StartupClockNs());
}

}  // namespace pt4
