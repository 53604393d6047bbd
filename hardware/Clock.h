// The one clock behind every wait and every timestamp. The real clock never wakes
// early; the virtual clock lets a two-minute write pass run in milliseconds.
#pragma once

#include <cstdint>

namespace pt4 {

class Clock {
 public:
  virtual ~Clock() = default;
  // Nanoseconds since the clock was made.
  virtual std::int64_t NowNs() const = 0;
  // Returns at the deadline or a few microseconds after it, or earlier only when a
  // stop signal is pending (see StopSignal.h).
  virtual void SleepUntilNs(std::int64_t deadline) = 0;

  void SleepMs(std::int64_t ms) { SleepUntilNs(NowNs() + (ms > 0 ? ms : 0) * 1'000'000); }
};

class RealClock final : public Clock {
 public:
  RealClock();
  std::int64_t NowNs() const override;
  void SleepUntilNs(std::int64_t deadline) override;

 private:
  std::int64_t epoch_;
};

class VirtualClock final : public Clock {
 public:
  std::int64_t NowNs() const override { return now_; }
  void SleepUntilNs(std::int64_t deadline) override {
    if (deadline > now_) now_ = deadline;
  }
  void AdvanceNs(std::int64_t ns) { now_ += ns; }

 private:
  std::int64_t now_ = 0;
};

std::int64_t MonotonicNs();

}  // namespace pt4
