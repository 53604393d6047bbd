// A stop asked for by a signal (Ctrl+C, a terminal closed, a log-off), noticed
// at a safe point and carried out to the front end, which ends with the
// signal's status. It is not an Error: nothing failed, the user asked to stop,
// and no handler that wraps a file's or the port's error may catch it.
#pragma once

#include <exception>

namespace pt4 {

// The signal that asked to stop, 0 when none did. Kept by the signal handlers
// (hardware/StopSignal.h), which the front ends reach through operations/.
int PendingStopSignal();

class StopRequested : public std::exception {
 public:
  explicit StopRequested(int sig) : signal_(sig) {}
  int Signal() const { return signal_; }
  const char* what() const noexcept override { return "stopped by a signal"; }

 private:
  int signal_;
};

inline void ThrowIfStopRequested() {
  if (const int sig = PendingStopSignal()) throw StopRequested(sig);
}

}  // namespace pt4
