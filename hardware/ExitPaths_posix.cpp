#include <csignal>

#include "hardware/ExitPaths.h"
#include "hardware/Programmer.h"

namespace pt4 {

namespace {
constexpr int kCrashes[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// After a crash the heap, the trace's buffer or the simulator's files may be half
// changed: only the ready idle writes go out, then the signal does its work.
extern "C" void OnCrash(int sig) {
  if (Programmer* p = Programmer::Active()) p->CrashIdle();
  std::signal(sig, SIG_DFL);
  raise(sig);
}
}  // namespace

void InstallCrashHandlers() {
  struct sigaction crash {};
  crash.sa_handler = OnCrash;
  sigemptyset(&crash.sa_mask);
  crash.sa_flags = SA_RESETHAND | SA_NODEFER;
  for (int sig : kCrashes) sigaction(sig, &crash, nullptr);
}

}  // namespace pt4
