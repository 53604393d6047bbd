// Closing the console, logging off and shutting down end the process as soon as
// the handler returns, so the handler waits for the programmer to be given back,
// and as a last resort sends the idle writes itself. A crash (an unhandled
// exception) sends them too.
#include <windows.h>

#include <csignal>

#include "hardware/ExitPaths.h"
#include "hardware/Programmer.h"
#include "hardware/StopSignal.h"

namespace pt4 {

namespace {
constexpr DWORD kCloseWaitMs = 3000;  // Windows allows a handler 5 s

BOOL WINAPI OnConsoleClosing(DWORD event) {
  switch (event) {
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      RecordStopSignal(SIGTERM);
      for (DWORD waited = 0; Programmer::Active() != nullptr && waited < kCloseWaitMs; waited += 10)
        Sleep(10);
      if (Programmer* p = Programmer::Active()) p->CrashIdle();
      return TRUE;
    default:
      return FALSE;  // Ctrl+C and Ctrl+Break: the stop-signal handler's
  }
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS*) {
  if (Programmer* p = Programmer::Active()) p->CrashIdle();
  return EXCEPTION_CONTINUE_SEARCH;
}
}  // namespace

void InstallCrashHandlers() {
  SetConsoleCtrlHandler(OnConsoleClosing, TRUE);
  SetUnhandledExceptionFilter(OnCrash);
}

}  // namespace pt4
