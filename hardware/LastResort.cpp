#include "hardware/LastResort.h"

#include <csignal>
#include <cstdlib>
#include <exception>

#include "hardware/Programmer.h"

namespace pt4 {

namespace {
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

void InstallLastResorts() {
  static bool once = false;
  if (once) return;
  once = true;
  std::atexit(OnExit);
  std::set_terminate(OnTerminate);
}

}  // namespace pt4
