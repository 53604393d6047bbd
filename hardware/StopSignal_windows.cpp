// Stop signals on Windows. Ctrl+C and Ctrl+Break are recorded like the
// terminating signals on Linux: waits notice them at once, and the pass sets the
// programmer idle before the program ends with 128 + n. (A closed console is
// ExitPaths_windows.cpp's.) There is no Ctrl+Z to wait for: a pass is never
// stopped half-way.
#include <windows.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <exception>

#include "hardware/StopSignal.h"

namespace pt4 {

namespace {
std::atomic<int> g_signal{0};
constexpr int kBreak = 21;  // SIGBREAK, as Windows' C runtime numbers it

BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
      RecordStopSignal(SIGINT);
      return TRUE;
    case CTRL_BREAK_EVENT:
      RecordStopSignal(kBreak);
      return TRUE;
    default:
      return FALSE;
  }
}
}  // namespace

void RecordStopSignal(int sig) {
  int none = 0;
  g_signal.compare_exchange_strong(none, sig);
}

void InstallStopSignalHandlers() {
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

int PendingStopSignal() {
  return g_signal.load();
}
int StopSignalFd() {
  return -1;
}
void SetPendingStopSignalForTest(int sig) {
  g_signal = sig;
}

PassSpan::PassSpan() {}
PassSpan::~PassSpan() {}
bool SuspendPending() {
  return false;
}
void SuspendNow() {}
void SetSuspendPendingForTest(bool) {}

}  // namespace pt4
