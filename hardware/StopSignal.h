// The terminating signals (INT, TERM, HUP, QUIT, USR1, USR2, ALRM) are only
// recorded: waits notice them at once, and the code that owns the programmer
// sets it idle before the process ends with 128 + n. SIGPIPE is ignored, so a
// closed pipe is an ordinary write error. A stop (TSTP, TTIN, TTOU) waits for
// the pass to reach the end of an address; the pass sets the programmer idle
// before the process stops. The paths that cannot wait (crashes, exit() from a
// library) are ExitPaths.h's.
#pragma once

#include "base/Stop.h"

namespace pt4 {

// Installs the handlers (without SA_RESTART, so sleeps wake up) and a self-pipe
// that an event loop can watch. InstallExitPaths calls it.
void InstallStopSignalHandlers();
// What the handlers do: keeps `sig` unless an earlier one is pending. Safe in a
// signal handler.
void RecordStopSignal(int sig);
// The signal number that asked the process to stop, or 0.
int PendingStopSignal();
// Read end of the self-pipe, or -1 before InstallStopSignalHandlers.
int StopSignalFd();
// For tests: behave as if signal `sig` had arrived (0 clears).
void SetPendingStopSignalForTest(int sig);

// A pass marks its span, so that a stop signal waits for a safe point in it.
class PassSpan {
 public:
  PassSpan();
  ~PassSpan();
  PassSpan(const PassSpan&) = delete;
  PassSpan& operator=(const PassSpan&) = delete;
};
// True when a stop (Ctrl+Z) arrived during the pass and waits for it.
bool SuspendPending();
// Stops the process as the stop signal asked; returns when it is continued.
// The caller has set the programmer idle.
void SuspendNow();
// For tests: behave as if a stop signal had arrived during the pass.
void SetSuspendPendingForTest(bool on);

}  // namespace pt4
