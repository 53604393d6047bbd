#include "hardware/StopSignal.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <initializer_list>

namespace pt4 {

namespace {
volatile std::sig_atomic_t g_signal = 0;
int g_pipe[2] = {-1, -1};

extern "C" void OnStopSignal(int sig) {
  if (g_signal == 0) g_signal = sig;
  if (g_pipe[1] >= 0) {
    const char byte = static_cast<char>(sig);
    [[maybe_unused]] const ssize_t n = write(g_pipe[1], &byte, 1);
  }
}
}  // namespace

void InstallStopSignalHandlers() {
  if (g_pipe[0] < 0 && pipe(g_pipe) == 0) {
    for (int fd : g_pipe) {
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
      fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
  }
  struct sigaction sa {};
  sa.sa_handler = OnStopSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = 0;
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
}

int PendingStopSignal() {
  return g_signal;
}
int StopSignalFd() {
  return g_pipe[0];
}
void SetPendingStopSignalForTest(int sig) {
  g_signal = sig;
}

}  // namespace pt4
