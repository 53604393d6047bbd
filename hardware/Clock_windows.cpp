// The clock on Windows: QueryPerformanceCounter for the time, a high-resolution
// waitable timer to the deadline less a margin, then a spin. Never short; the
// plain Sleep, at the default timer tick of 15.6 ms, would stretch a 5 ms
// settling wait threefold.
#include <windows.h>

#include "hardware/Clock.h"
#include "hardware/StopSignal.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace pt4 {

namespace {
// A waitable timer wakes within about half a millisecond when it is of the high
// resolution kind; the rest of the wait is spun.
constexpr std::int64_t kSpinMarginNs = 1'000'000;

std::int64_t Frequency() {
  static const std::int64_t f = [] {
    LARGE_INTEGER v;
    QueryPerformanceFrequency(&v);
    return static_cast<std::int64_t>(v.QuadPart);
  }();
  return f;
}

// One timer for the thread that waits; the high-resolution kind where Windows
// has it (10 version 1803 on), else the ordinary one.
HANDLE Timer() {
  thread_local HANDLE timer = [] {
    HANDLE t = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                      TIMER_ALL_ACCESS);
    return t != nullptr ? t : CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
  }();
  return timer;
}
}  // namespace

std::int64_t MonotonicNs() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  const std::int64_t f = Frequency();
  const std::int64_t whole = now.QuadPart / f, part = now.QuadPart % f;
  return whole * 1'000'000'000 + part * 1'000'000'000 / f;
}

RealClock::RealClock() : epoch_(MonotonicNs()) {}

std::int64_t RealClock::NowNs() const {
  return MonotonicNs() - epoch_;
}

void RealClock::SleepUntilNs(std::int64_t deadline) {
  const std::int64_t absolute = epoch_ + deadline;
  for (std::int64_t left; (left = absolute - kSpinMarginNs - MonotonicNs()) > 0;) {
    if (PendingStopSignal() != 0) return;
    HANDLE timer = Timer();
    LARGE_INTEGER due;
    due.QuadPart = -(left / 100);  // relative, in units of 100 ns
    if (timer == nullptr || !SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) break;
    WaitForSingleObject(timer, INFINITE);
  }
  while (MonotonicNs() < absolute) {
    if (PendingStopSignal() != 0) return;
  }
}

}  // namespace pt4
