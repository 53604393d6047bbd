// Ways out on Windows. Ctrl+C and Ctrl+Break are recorded like the terminating
// signals on Linux: waits notice them at once, and the pass sets the programmer
// idle before the program ends with 128 + n. Closing the console, logging off
// and shutting down end the process as soon as the handler returns, so there
// the handler waits for the programmer to be given back, and as a last resort
// sends the idle writes itself. A crash (an unhandled exception) sends them too.
// There is no Ctrl+Z to wait for: a pass is never stopped half-way.
#include <windows.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <exception>

#include "hardware/LastResort.h"
#include "hardware/Programmer.h"
#include "hardware/StopSignal.h"

namespace pt4 {

namespace {
std::atomic<int> g_signal{0};
constexpr int kBreak = 21;            // SIGBREAK, as Windows' C runtime numbers it
constexpr DWORD kCloseWaitMs = 3000;  // Windows allows a handler 5 s

void Record(int sig) {
  int none = 0;
  g_signal.compare_exchange_strong(none, sig);
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
      Record(SIGINT);
      return TRUE;
    case CTRL_BREAK_EVENT:
      Record(kBreak);
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      Record(SIGTERM);
      for (DWORD waited = 0; Programmer::Active() != nullptr && waited < kCloseWaitMs; waited += 10)
        Sleep(10);
      if (Programmer* p = Programmer::Active()) p->CrashIdle();
      return TRUE;
    default:
      return FALSE;
  }
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS*) {
  if (Programmer* p = Programmer::Active()) p->CrashIdle();
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void InstallStopSignalHandlers() {
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  SetUnhandledExceptionFilter(OnCrash);
  InstallLastResorts();
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
