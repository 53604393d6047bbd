#include "hardware/ExitPaths.h"

#include <csignal>
#include <cstdlib>
#include <exception>

#include "hardware/Programmer.h"
#include "hardware/StopSignal.h"

namespace pt4 {

namespace {
// exit() from a library and an uncaught exception leave the process whole, so
// the programmer is set idle and the port given back as on a normal end.
void LastResortIdle() {
  if (Programmer* p = Programmer::Active()) {
    p->EmergencyIdle();
    p->Release();
  }
}

void OnExit() {
  LastResortIdle();
}

[[noreturn]] void OnTerminate() {
  LastResortIdle();
  // The abort that follows is no crash of ours: the crash handler need not run.
  std::signal(SIGABRT, SIG_DFL);
  std::abort();
}
}  // namespace

void InstallExitPaths() {
  static bool once = false;
  if (once) return;
  once = true;
  InstallStopSignalHandlers();
  InstallCrashHandlers();
  std::atexit(OnExit);
  std::set_terminate(OnTerminate);
}

}  // namespace pt4
