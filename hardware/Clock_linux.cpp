#include <sys/prctl.h>
#include <time.h>

#include <cerrno>

#include "hardware/Clock.h"
#include "hardware/StopSignal.h"

namespace pt4 {

namespace {
// Wake-up latency on a loaded or virtual machine can reach this; sleeping to the
// deadline less this margin and spinning the rest keeps a wait exact to microseconds.
constexpr std::int64_t kSpinMarginNs = 1'000'000;
}  // namespace

std::int64_t MonotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

RealClock::RealClock() : epoch_(MonotonicNs()) {
  // The default 50 us of timer slack would be added to every wake-up.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

std::int64_t RealClock::NowNs() const {
  return MonotonicNs() - epoch_;
}

void RealClock::SleepUntilNs(std::int64_t deadline) {
  const std::int64_t absolute = epoch_ + deadline;
  const std::int64_t wake = absolute - kSpinMarginNs;
  while (MonotonicNs() < wake) {
    if (PendingStopSignal() != 0) return;
    timespec ts{};
    ts.tv_sec = wake / 1'000'000'000;
    ts.tv_nsec = wake % 1'000'000'000;
    const int rc = clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
    if (rc != 0 && rc != EINTR) break;
  }
  while (MonotonicNs() < absolute) {
    if (PendingStopSignal() != 0) return;
  }
}

}  // namespace pt4
