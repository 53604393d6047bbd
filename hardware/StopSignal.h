// SIGINT, SIGTERM and SIGHUP must never leave a chip at programming voltage. The
// handler only records the signal; waits notice it at once and the code that owns
// the programmer sets it idle before the process ends.
#pragma once

#include <exception>

namespace pt4 {

// Installs the handlers (without SA_RESTART, so sleeps wake up) and a self-pipe
// that an event loop can watch.
void InstallStopSignalHandlers();
// The signal number that asked the process to stop, or 0.
int PendingStopSignal();
// Read end of the self-pipe, or -1 before InstallStopSignalHandlers.
int StopSignalFd();
// For tests: behave as if signal `sig` had arrived (0 clears).
void SetPendingStopSignalForTest(int sig);

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
