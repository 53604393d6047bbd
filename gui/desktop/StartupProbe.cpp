#include "gui/desktop/StartupProbe.h"

#include <cstdio>
#include <cstdlib>

#include "hardware/Clock.h"

namespace pt4 {

bool StartupProbeOn() {
  static const bool on = std::getenv("PT4_STARTUP_PROBE") != nullptr;
  return on;
}

void StartupMark(const char* stage) {
  if (!StartupProbeOn()) return;
  std::printf("stage_monotonic_ns=%s:%lld\n", stage, static_cast<long long>(MonotonicNs()));
}

}  // namespace pt4
